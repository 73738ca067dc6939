#include "forms/unit9.h"

#include <filesystem>

#include "exchange/exchange_file.h"
#include "exchange/vcard/vcard.h"
#include "forms/app.h"
#include "forms/unit1.h"
#include "forms/unit7.h"
#include "store/sjis_unicode.h"
#include "ui/jpeg.h"
#include "ui/services.h"

namespace kx {

namespace {

// Where the path box starts: beside the store files.
constexpr const char* kDefaultVcardFile = "korvelix.vcf";
constexpr const char* kNoPathMessage = "ﾌｧｲﾙ名またはﾌｫﾙﾀﾞ名を入力してください";

}  // namespace

TForm9::TForm9(App& a) : ui::Window("Form9", "IMPORT", 582, 392), app(a) {
  setFont(ui::Font{ui::Font::Proportional, 12, false, false, 0x000000});
  Label1 = addLabel("Label1", 24, 12, "KORVELIX.SDXからのインポート");
  Label1->setFont(ui::Font{ui::Font::Proportional, 24, true, false, 0x000000});
  Label2 = addLabel("Label2", 24, 56);
  Label3 = addLabel("Label3", 24, 80);
  // The choice stays as last made between openings; overwrite comes first.
  RadioGroup1 = addRadioGroup("RadioGroup1", 24, 128, 393, 57, "IMPORT",
                              {"上書き", "追加", "キャンセル"}, 3);
  RadioGroup1->setItemIndex(0);
  Button1 = addButton("Button1", 448, 152, 97, 33, "OK");
  Button1->onClick([this] { Button1Click(); });
  // No CLOSE here: Escape is the close box, never OK.
  onEscape([this] { close(); });

  // vCard, under the exchange file's controls, which keep their places.
  Label4 = addLabel("Label4", 24, 204, "vCard (.vcf)");
  Label4->setFont(ui::Font{ui::Font::Proportional, 16, true, false, 0x000000});
  Label5 = addLabel("Label5", 24, 235, "ﾌｧｲﾙ/ﾌｫﾙﾀﾞ名");
  Edit1 = addEdit("Edit1", 112, 232, 297);
  Edit1->setText(kDefaultVcardFile);
  Button2 = addButton("Button2", 416, 230, 25, 25, "...");
  Button2->onClick([this] { Button2Click(); });
  RadioGroup2 = addRadioGroup("RadioGroup2", 24, 266, 193, 57, "範囲", {"全件", "選択分"}, 2);
  RadioGroup2->setItemIndex(0);
  RadioGroup3 = addRadioGroup("RadioGroup3", 224, 266, 193, 57, "形式", {"1ﾌｧｲﾙ", "ﾌｫﾙﾀﾞ"}, 2);
  RadioGroup3->setItemIndex(0);
  Button3 = addButton("Button3", 448, 258, 97, 33, "VCARD EXPORT");
  Button3->onClick([this] { Button3Click(); });
  Button4 = addButton("Button4", 448, 298, 97, 33, "VCARD IMPORT");
  Button4->onClick([this] { Button4Click(); });
  // The export's version: 4.0 for CardDAV and folders, 3.0 for a phone.
  RadioGroup4 = addRadioGroup("RadioGroup4", 24, 328, 393, 49, sjisText(u8"版"),
                              {sjisText(u8"4.0（CardDAV・フォルダ）"), sjisText(u8"3.0（携帯電話）")}, 2);
  RadioGroup4->setItemIndex(0);
}

void TForm9::Button1Click() {
  const int item = RadioGroup1->itemIndex();
  if (item == 0 || item == 1) {
    ImportOptions options;
    options.busy = [this](bool shown) { app.Form7->setBusy(shown); };
    options.countLine = [this](const std::string& text) { Label2->setCaption(text); };
    const ImportMode mode = item == 0 ? ImportMode::Overwrite : ImportMode::Append;
    const int result = importExchange(app.store, app.cur, app.dir, mode, app.services, options);
    app.services.show(result == 0 ? "IMPORT COMPLETED" : "IMPORT FAILED");
  }
  close();
  app.Form1->refreshCount();
}

std::string TForm9::vcardPath() {
  const std::string path = Edit1->fileName();
  if (path.empty()) app.services.show(kNoPathMessage);
  return path;
}

// A relative path names a place in the store's folder, wherever the
// program was started.
std::string TForm9::inStoreFolder(const std::string& path) const {
  return (std::filesystem::path(app.dir) / path).lexically_normal().string();
}

// The picker follows the form chosen: a folder of cards, or one file, to
// write or to read.
void TForm9::Button2Click() {
  const auto kind = RadioGroup3->itemIndex() == 1 ? ui::Services::Pick::Folder
                                                  : ui::Services::Pick::File;
  const std::string chosen = app.services.pickPath(kind, inStoreFolder(Edit1->fileName()));
  if (!chosen.empty()) Edit1->setFileName(chosen);
}

void TForm9::Button3Click() {
  const std::string path = vcardPath();
  if (path.empty()) return;
  VcardExportOptions options;
  options.selectedOnly = RadioGroup2->itemIndex() == 1;
  options.folder = RadioGroup3->itemIndex() == 1;
  // The secrets leave only when the user has them on screen.
  options.secrets = app.cur.secretMode == 1;
  options.version = RadioGroup4->itemIndex() == 1 ? 3 : 4;
  // A file that is there already is replaced only when the user says so.
  if (!options.folder && std::filesystem::is_regular_file(inStoreFolder(path)) &&
      !app.services.ask(sjisText(u8"同じ名前のファイルがあります。置き換えますか？\n") +
                        ui::pathText(path)))
    return;
  app.Form7->showBusy();
  const int result = exportVcards(app.store, app.dir, inStoreFolder(path), options, app.services);
  app.Form7->hideBusy();
  if (result != 0) {
    app.services.show("VCARD EXPORT FAILED");
    return;
  }
  app.services.show(std::string("VCARD EXPORT COMPLETED\n") + (options.folder ? "FOLDER=" : "FILE=") +
                    ui::pathText(path));
}

// As the exchange import's OK: the window closes and the main menu's count
// follows, whatever the outcome.
void TForm9::Button4Click() {
  const std::string path = vcardPath();
  if (path.empty()) return;
  VcardImportOptions options;
  options.busy = [this](bool shown) { app.Form7->setBusy(shown); };
  options.photoDecodes = ui::jpegDecodes;
  const int result =
      importVcards(app.store, app.cur, app.dir, inStoreFolder(path), app.services, options);
  app.services.show(result == 0 ? "VCARD IMPORT COMPLETED" : "VCARD IMPORT FAILED");
  close();
  app.Form1->refreshCount();
}

}  // namespace kx
