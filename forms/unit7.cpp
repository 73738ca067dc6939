#include "forms/unit7.h"

#include "forms/app.h"

namespace kx {

TForm7::TForm7(App& a) : ui::Window("Form7", "データベース更新中", 383, 38), app(a) {
  // The title bar cannot carry the notice's large type, so the window body
  // repeats the caption.
  ui::Label* notice = addLabel("Notice", 8, 4, "データベース更新中");
  notice->setFont(ui::Font{ui::Font::Proportional, 24, true, false, 0x000000});
}

void TForm7::showBusy() { showAndPaint(); }

void TForm7::hideBusy() { hide(); }

}  // namespace kx
