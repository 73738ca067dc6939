#include "records/unit11.h"

#include "shell/app.h"

namespace kx {

TForm11::TForm11(App& a) : ui::Window("Form11", "PHOTO", 392, 393), app(a) {
}

}  // namespace kx
