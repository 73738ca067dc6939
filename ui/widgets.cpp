// Label, button, edit box and memo on their Qt widgets.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/controls.h"
#include "ui/encoding.h"
#include "ui/widget_support.h"

namespace kx::ui {

namespace {

// What the box now holds as Shift-JIS: the bytes last set while the user has
// not changed the text, else the typed text converted (and the user told of
// anything that became 〓, which then shows in the box too).
template <class Box, class SetText>
std::string readTyped(Box* box, const QString& now, std::string& bytes, std::u16string& shown,
                      SetText setText) {
  if (now.toStdU16String() == shown) return bytes;
  int replaced = 0;
  bytes = fromUnicode(now, &replaced);
  if (replaced > 0) {
    setText(box, toUnicode(bytes));
    detail::tellReplaced(replaced);
  }
  return bytes;
}

}  // namespace

Label::Label(Window& w, std::string name) : Control(w, std::move(name), new QLabel(w.widget())) {
  auto* label = static_cast<QLabel*>(widget_);
  label->setTextFormat(Qt::PlainText);  // a "<" in a name is text, not markup
  detail::setAutoSize(label, true);
  detail::installMouseClicks(this);
  label->adjustSize();
}

void Label::setCaption(const std::string& sjis) {
  text_ = sjis;
  static_cast<QLabel*>(widget_)->setText(toUnicode(sjis));
  detail::fitIfAutoSize(widget_);
}

Button::Button(Window& w, std::string name)
    : Control(w, std::move(name), new QPushButton(w.widget())) {
  QObject::connect(static_cast<QPushButton*>(widget_), &QPushButton::clicked, widget_,
                   [this] { click(); });
}

void Button::setCaption(const std::string& sjis) {
  text_ = sjis;
  // "&" would mark a shortcut key; the caption shows it as written.
  static_cast<QPushButton*>(widget_)->setText(toUnicode(sjis).replace(u'&', QStringLiteral("&&")));
}

Edit::Edit(Window& w, std::string name) : Control(w, std::move(name), new QLineEdit(w.widget())) {}

void Edit::setText(const std::string& sjis) {
  auto* box = static_cast<QLineEdit*>(widget_);
  box->setText(toUnicode(sjis));
  bytes_ = sjis;
  shown_ = box->text().toStdU16String();
}

std::string Edit::text() const {
  auto* box = static_cast<QLineEdit*>(widget_);
  std::string out = readTyped(box, box->text(), bytes_, shown_,
                              [](QLineEdit* b, const QString& t) { b->setText(t); });
  shown_ = box->text().toStdU16String();
  return out;
}

void Edit::setReadOnly(bool ro) { static_cast<QLineEdit*>(widget_)->setReadOnly(ro); }

void Edit::typeUtf8(const std::string& utf8) {
  static_cast<QLineEdit*>(widget_)->setText(
      QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

Memo::Memo(Window& w, std::string name)
    : Control(w, std::move(name), new QPlainTextEdit(w.widget())) {
  auto* box = static_cast<QPlainTextEdit*>(widget_);
  // Fixed boxes of one to a few lines: no scroll bars eating their width,
  // and a small margin so a line fills the box as it is laid out.
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->document()->setDocumentMargin(1);
}

void Memo::setText(const std::string& sjis) {
  auto* box = static_cast<QPlainTextEdit*>(widget_);
  box->setPlainText(toUnicode(sjis));
  bytes_ = sjis;
  shown_ = box->toPlainText().toStdU16String();
}

void Memo::setLines(const std::vector<std::string>& sjisLines) {
  std::string all;
  for (size_t i = 0; i < sjisLines.size(); ++i) {
    if (i > 0) all += '\n';
    all += sjisLines[i];
  }
  setText(all);
}

std::string Memo::text() const {
  auto* box = static_cast<QPlainTextEdit*>(widget_);
  std::string out = readTyped(box, box->toPlainText(), bytes_, shown_,
                              [](QPlainTextEdit* b, const QString& t) { b->setPlainText(t); });
  shown_ = box->toPlainText().toStdU16String();
  return out;
}

void Memo::setReadOnly(bool ro) { static_cast<QPlainTextEdit*>(widget_)->setReadOnly(ro); }

void Memo::typeUtf8(const std::string& utf8) {
  static_cast<QPlainTextEdit*>(widget_)->setPlainText(
      QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

}  // namespace kx::ui
