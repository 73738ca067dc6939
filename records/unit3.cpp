#include "records/unit3.h"

#include "shell/app.h"

namespace kx {

TForm3::TForm3(App& a) : ui::Window("Form3", "PERSONAL INFORMATION", 878, 590), app(a) {
  app.cur.exkeymode = 1;  // FormCreate: name order until a list says otherwise
}

}  // namespace kx
