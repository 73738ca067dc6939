#include "exchange/unit12.h"

#include "shell/app.h"

namespace kx {

TForm12::TForm12(App& a) : ui::Window("Form12", "CSV-INPUT", 651, 359), app(a) {
}

}  // namespace kx
