#include "forms/unit9.h"

#include "exchange/exchange_file.h"
#include "forms/unit7.h"
#include "forms/app.h"
#include "forms/unit1.h"

namespace kx {

TForm9::TForm9(App& a) : ui::Window("Form9", "IMPORT", 582, 234), app(a) {
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

}  // namespace kx
