#include "forms/unit9.h"

#include "ui/encoding.h"
#include "ui/services.h"

namespace kx {

namespace {

using ui::fromUtf8;

// Where the path box starts: beside the store files.
constexpr const char* kDefaultVcardFile = "korvelix.vcf";
constexpr const char8_t* kNoPathMessage = u8"ﾌｧｲﾙ名またはﾌｫﾙﾀﾞ名を入力してください";

}  // namespace

TForm9::TForm9(Session& s, Navigator& n)
    : ui::Window("Form9", "IMPORT", 582, 392), session(s), navigator(n) {
  setFont(ui::Font{ui::Font::Proportional, 12, false, false, 0x000000});
  Label1 = addLabel("Label1", 24, 12, fromUtf8(u8"KORVELIX.SDXからのインポート"));
  Label1->setFont(ui::Font{ui::Font::Proportional, 24, true, false, 0x000000});
  Label2 = addLabel("Label2", 24, 56);
  Label3 = addLabel("Label3", 24, 80);
  // The choice stays as last made between openings; overwrite comes first.
  RadioGroup1 = addRadioGroup("RadioGroup1", 24, 128, 393, 57, "IMPORT",
                              {fromUtf8(u8"上書き"), fromUtf8(u8"追加"),
                               fromUtf8(u8"キャンセル")},
                              3);
  RadioGroup1->setItemIndex(0);
  Button1 = addButton("Button1", 448, 152, 97, 33, "OK");
  Button1->onClick([this] { Button1Click(); });
  // No CLOSE here: Escape is the close box, never OK.
  onEscape([this] { close(); });

  // vCard, under the exchange file's controls, which keep their places.
  Label4 = addLabel("Label4", 24, 204, "vCard (.vcf)");
  Label4->setFont(ui::Font{ui::Font::Proportional, 16, true, false, 0x000000});
  Label5 = addLabel("Label5", 24, 235, fromUtf8(u8"ﾌｧｲﾙ/ﾌｫﾙﾀﾞ名"));
  Edit1 = addEdit("Edit1", 112, 232, 297);
  Edit1->setText(kDefaultVcardFile);
  Button2 = addButton("Button2", 416, 230, 25, 25, "...");
  Button2->onClick([this] { Button2Click(); });
  RadioGroup2 = addRadioGroup("RadioGroup2", 24, 266, 193, 57, fromUtf8(u8"範囲"),
                              {fromUtf8(u8"全件"), fromUtf8(u8"選択分")}, 2);
  RadioGroup2->setItemIndex(0);
  RadioGroup3 = addRadioGroup("RadioGroup3", 224, 266, 193, 57, fromUtf8(u8"形式"),
                              {fromUtf8(u8"1ﾌｧｲﾙ"), fromUtf8(u8"ﾌｫﾙﾀﾞ")}, 2);
  RadioGroup3->setItemIndex(0);
  Button3 = addButton("Button3", 448, 258, 97, 33, "VCARD EXPORT");
  Button3->onClick([this] { Button3Click(); });
  Button4 = addButton("Button4", 448, 298, 97, 33, "VCARD IMPORT");
  Button4->onClick([this] { Button4Click(); });
  // The export's version: 4.0 for CardDAV and folders, 3.0 for a phone.
  RadioGroup4 = addRadioGroup("RadioGroup4", 24, 328, 393, 49, fromUtf8(u8"版"),
                              {fromUtf8(u8"4.0（CardDAV・フォルダ）"), fromUtf8(u8"3.0（携帯電話）")},
                              2);
  RadioGroup4->setItemIndex(0);
  Button5 = addButton("Button5", 448, 218, 97, 33, "SYNC");
  Button5->onClick([this] { Button5Click(); });
  const std::string last = session.lastSyncFolder();
  if (!last.empty()) {
    Edit1->setFileName(last);
    RadioGroup3->setItemIndex(1);
  }
}

void TForm9::open() {
  Label3->setCaption(fromUtf8(u8"上書ﾌｧｲﾙ名=korvelix.sdx\n追加ﾌｧｲﾙ名=import.sdx"));
  show();
}

// As the vCard import: the window closes and the main menu's count follows,
// whatever the outcome.
void TForm9::Button1Click() {
  const int item = RadioGroup1->itemIndex();
  if (item == 0 || item == 1) {
    const int result = session.importExchangeFile(
        item == 0 ? ImportMode::Overwrite : ImportMode::Append,
        [this](const std::string& text) { Label2->setCaption(text); });
    ui::services().show(result == 0 ? "IMPORT COMPLETED" : "IMPORT FAILED");
    close();
    if (result == 0) navigator.offerDuplicatesOfImport();
    return;
  }
  close();
}

std::string TForm9::vcardPath() {
  const std::string path = Edit1->fileName();
  if (path.empty()) ui::services().show(fromUtf8(kNoPathMessage));
  return path;
}

// The picker follows the form chosen: a folder of cards, or one file, to
// write or to read.
void TForm9::Button2Click() {
  const auto kind = RadioGroup3->itemIndex() == 1 ? ui::Services::Pick::Folder
                                                  : ui::Services::Pick::File;
  const std::string chosen =
      ui::services().pickPath(kind, session.inStoreFolder(Edit1->fileName()));
  if (!chosen.empty()) Edit1->setFileName(chosen);
}

void TForm9::Button3Click() {
  const std::string path = vcardPath();
  if (path.empty()) return;
  const bool toFolder = RadioGroup3->itemIndex() == 1;
  // A file that is there already is replaced only when the user says so.
  if (!toFolder && session.fileExists(path) &&
      !ui::services().ask(fromUtf8(u8"同じ名前のファイルがあります。置き換えますか？\n") +
                          ui::pathText(path)))
    return;
  if (session.exportVcards(path, RadioGroup2->itemIndex() == 1, toFolder,
                           RadioGroup4->itemIndex() == 1 ? 3 : 4) != 0) {
    ui::services().show("VCARD EXPORT FAILED");
    return;
  }
  ui::services().show(std::string("VCARD EXPORT COMPLETED\n") +
                      (toFolder ? "FOLDER=" : "FILE=") + ui::pathText(path));
}

void TForm9::Button4Click() {
  const std::string path = vcardPath();
  if (path.empty()) return;
  // A card import that went through has said so in its summary.
  const int result = session.importVcards(path);
  if (result != 0) ui::services().show("VCARD IMPORT FAILED");
  close();
  if (result == 0) navigator.offerDuplicatesOfImport();
}

// Both ways with the folder in the box; a sync that would delete much asks
// first. The window closes as after an import.
void TForm9::Button5Click() {
  const std::string path = vcardPath();
  if (path.empty()) return;
  SyncResult result = session.syncFolder(path, false);
  if (result == SyncResult::MassDelete &&
      ui::services().ask(fromUtf8(u8"多くのデータを削除します。同期を続けますか?")))
    result = session.syncFolder(path, true);
  ui::services().show(result == SyncResult::Done ? "SYNC COMPLETED" : "SYNC FAILED");
  close();
}

}  // namespace kx
