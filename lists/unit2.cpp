#include "lists/unit2.h"

#include "shell/app.h"

namespace kx {

TForm2::TForm2(App& a) : ui::Window("Form2", "NAME LIST", 960, 560), app(a) {
}

}  // namespace kx
