#include "ui/driver_support.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include "ui/encoding.h"

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

}  // namespace kx::ui
