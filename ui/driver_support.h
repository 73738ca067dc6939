// What the automation driver needs from the widgets beyond the controls'
// own interface, kept here so the driver itself stays free of Qt.
#pragma once

#include <string>
#include <string_view>

#include "ui/controls.h"

namespace kx::ui {

// The caption or text of a control as Shift-JIS: a label's or button's
// caption, an edit box's or memo's text (memo lines joined by "\n"), a radio
// group's caption; empty for an image.
std::string controlText(const Control& c);

// Shift-JIS -> the driver's printed UTF-8 (escapes \\, \n, \r, \xHH).
std::string driverText(const std::string& sjis);

// The driver's UTF-8 input (a file name, say) -> Shift-JIS.
std::string driverInput(std::string_view utf8);

enum class TypeResult { Typed, NotEditable, ReadOnly };

// Replaces the text of an edit box or memo with UTF-8 text as a user typing
// it would; a read-only box takes nothing, as it takes no keys.
TypeResult typeText(Control& c, const std::string& utf8);

}  // namespace kx::ui
