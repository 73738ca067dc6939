#include "records/unit6.h"

#include "shell/app.h"

namespace kx {

TForm6::TForm6(App& a) : ui::Window("Form6", "UPDATE", 870, 600), app(a) {
}

}  // namespace kx
