#include "records/unit8.h"

#include "shell/app.h"

namespace kx {

TForm8::TForm8(App& a) : ui::Window("Form8", "ADD RECORD", 872, 600), app(a) {
}

}  // namespace kx
