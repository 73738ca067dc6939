#include "search/unit10.h"

#include "shell/app.h"

namespace kx {

TForm10::TForm10(App& a) : ui::Window("Form10", "Form10", 922, 640), app(a) {
}

}  // namespace kx
