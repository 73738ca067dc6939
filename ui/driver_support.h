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

// Gives edit box c the keyboard focus and delivers one input-method
// composition as fcitx5 and ibus deliver it: PREEDIT shown as the
// composition a character at a time, COMMIT shown as its conversion when it
// differs, then committed; an empty COMMIT cancels the composition. Both
// texts are UTF-8.
TypeResult compose(Window& w, Control& c, const std::string& preedit, const std::string& commit);

// Makes window w the active one, the one that gets the keyboard, as a click
// into it does.
void activate(Window& w);

enum class KeyResult { Pressed, UnknownKey };

// Activates w, gives control c (when given) the keyboard focus, then presses
// and releases the key named by Qt's key name without "Key_" ("Return",
// "Enter" for the keypad's, "Escape", "Tab", "F8" ...) where the focus is.
KeyResult pressKey(Window& w, Control* c, const std::string& keyName);

// The control that has the keyboard focus as "FORM.CONTROL", or empty.
std::string focusedControl();

}  // namespace kx::ui
