#include "forms/unit7.h"

#include "ui/encoding.h"

namespace kx {

TForm7::TForm7(Session&, Navigator&)
    : ui::Window("Form7", ui::fromUtf8(u8"データベース更新中"), 383, 38) {
  // The title bar cannot carry the notice's large type, so the window body
  // repeats the caption.
  ui::Label* notice = addLabel("Notice", 8, 4, caption());
  notice->setFont(ui::Font{ui::Font::Proportional, 24, true, false, 0x000000});
}

}  // namespace kx
