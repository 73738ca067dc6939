// What the control classes share inside ui/: fonts, mouse clicks on widgets
// that have no click signal, label auto-size, the guard, the notice for
// characters Shift-JIS cannot hold.
#pragma once

#include <functional>

#include <QFont>

class QWidget;

namespace kx::ui {

class Control;
struct Font;

namespace detail {

QFont toQFont(const Font& f);
// Font and text colour; the colour reaches labels, boxes and buttons alike.
void applyFont(QWidget* w, const Font& f);

// Labels and images: a press and release inside the widget is a click, a
// double click is a double click. Mouse presses stop here either way, so a
// click on a label never counts as one on the window behind it.
void installMouseClicks(Control* c);

// A label sizes itself to its text until it is given a geometry.
void setAutoSize(QWidget* w, bool on);
bool isAutoSize(const QWidget* w);
void fitIfAutoSize(QWidget* w);

// guarded() that also says whether fn ran to its end.
bool runGuarded(const std::function<void()>& fn);

// Tells the user that `count` typed characters became 〓.
void tellReplaced(int count);

}  // namespace detail
}  // namespace kx::ui
