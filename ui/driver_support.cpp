#include "ui/driver_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaEnum>
#include <QPlainTextEdit>
#include <QPointer>

#include "ui/encoding.h"
#include "ui/toolkit.h"

namespace kx::ui {

std::string controlText(const Control& c) {
  if (auto* l = dynamic_cast<const Label*>(&c)) return l->caption();
  if (auto* b = dynamic_cast<const Button*>(&c)) return b->caption();
  if (auto* e = dynamic_cast<const Edit*>(&c)) return e->text();
  if (auto* m = dynamic_cast<const Memo*>(&c)) return m->text();
  if (auto* g = dynamic_cast<const RadioGroup*>(&c)) return g->caption();
  return {};
}

std::string driverText(const std::string& sjis) { return toDriverText(sjis); }

std::string driverInput(std::string_view utf8) { return fromUtf8(utf8); }

TypeResult typeText(Control& c, const std::string& utf8) {
  if (auto* e = dynamic_cast<Edit*>(&c)) {
    if (static_cast<QLineEdit*>(e->widget())->isReadOnly()) return TypeResult::ReadOnly;
    e->typeUtf8(utf8);
    return TypeResult::Typed;
  }
  if (auto* m = dynamic_cast<Memo*>(&c)) {
    if (static_cast<QPlainTextEdit*>(m->widget())->isReadOnly()) return TypeResult::ReadOnly;
    m->typeUtf8(utf8);
    return TypeResult::Typed;
  }
  return TypeResult::NotEditable;
}

void activate(Window& w) {
  if (!w.isShown() || QApplication::activeWindow() == w.widget()) return;
  w.widget()->activateWindow();
  processPendingEvents();
}

KeyResult pressKey(Window& w, Control* c, const std::string& keyName) {
  bool known = false;
  const int key = QMetaEnum::fromType<Qt::Key>().keyToValue(("Key_" + keyName).c_str(), &known);
  if (!known) return KeyResult::UnknownKey;
  activate(w);
  if (c) c->setFocus();
  QWidget* target = QApplication::focusWidget();
  if (!target || target->window() != w.widget()) target = c ? c->widget() : w.widget();
  const Qt::KeyboardModifiers mods = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
  // Printable keys carry their character, so that they type into a box.
  const QString text = key >= 0x20 && key <= 0x7E ? QString(QChar(key)).toLower() : QString();
  // A handler run by the press may delete or hide the target: the release
  // goes only where it still can.
  QPointer<QWidget> guard(target);
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QApplication::sendEvent(target, &press);
  if (guard) {
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(guard, &release);
  }
  return KeyResult::Pressed;
}

std::string focusedControl() {
  const QWidget* f = QApplication::focusWidget();
  if (!f) return {};
  for (const Window* w : Window::all()) {
    if (f->window() != w->widget()) continue;
    // A radio button has the focus for its group.
    for (const QWidget* p = f; p && p != w->widget(); p = p->parentWidget()) {
      const std::string name = p->objectName().toStdString();
      if (const Control* c = w->find(name); c && c->widget() == p) return w->name() + "." + name;
    }
  }
  return {};
}

}  // namespace kx::ui
