#include "ui/driver_support.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTextCharFormat>
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

namespace {

// A composition as the input method frameworks' Qt front ends show it: the
// text underlined (a conversion's segment highlighted instead), the cursor
// at its end.
void sendPreedit(QWidget* target, const QString& text, bool converted) {
  QTextCharFormat format;
  if (converted) {
    format.setBackground(target->palette().highlight());
    format.setForeground(target->palette().highlightedText());
  } else {
    format.setFontUnderline(true);
  }
  QList<QInputMethodEvent::Attribute> attributes;
  if (!text.isEmpty())
    attributes.append({QInputMethodEvent::TextFormat, 0, static_cast<int>(text.size()), format});
  attributes.append({QInputMethodEvent::Cursor, static_cast<int>(text.size()), 1, QVariant()});
  QInputMethodEvent event(text, attributes);
  QApplication::sendEvent(target, &event);
}

}  // namespace

TypeResult compose(Window& w, Control& c, const std::string& preedit, const std::string& commit) {
  auto* box = dynamic_cast<QLineEdit*>(c.widget());
  if (!box || !dynamic_cast<Edit*>(&c)) return TypeResult::NotEditable;
  if (box->isReadOnly()) return TypeResult::ReadOnly;
  activate(w);
  c.setFocus();
  const QString shown = QString::fromUtf8(preedit.data(), static_cast<qsizetype>(preedit.size()));
  const QString committed = QString::fromUtf8(commit.data(), static_cast<qsizetype>(commit.size()));
  for (qsizetype n = 1; n <= shown.size(); ++n) sendPreedit(box, shown.left(n), false);
  if (!committed.isEmpty()) {
    if (committed != shown) sendPreedit(box, committed, true);
    QInputMethodEvent event;
    event.setCommitString(committed);
    QApplication::sendEvent(box, &event);
  }
  sendPreedit(box, QString(), false);  // the composition ends (or is cancelled)
  processPendingEvents();
  return TypeResult::Typed;
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
