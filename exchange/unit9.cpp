#include "exchange/unit9.h"

#include "shell/app.h"

namespace kx {

TForm9::TForm9(App& a) : ui::Window("Form9", "IMPORT", 582, 234), app(a) {
}

}  // namespace kx
