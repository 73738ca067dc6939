#include "lists/unit5.h"

#include "shell/app.h"

namespace kx {

TForm5::TForm5(App& a) : ui::Window("Form5", "COMPANY LIST", 1080, 560), app(a) {
  app.cur.exkeymode = 2;  // FormCreate
}

}  // namespace kx
