// Label, button, edit box and memo on their Qt widgets.
#include <optional>

#include <QFile>
#include <QFontMetricsF>
#include <QRawFont>
#include <QtMath>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "store/kana.h"
#include "ui/controls.h"
#include "ui/encoding.h"
#include "ui/widget_support.h"

namespace kx::ui {

namespace {

using Convert = std::string (*)(const QString&, int*);

// Brings bytes up to what the box now holds: the bytes last set stay while
// the user has not changed the text, else the typed text is converted (and
// the user told of anything that became 〓, which then shows in the box too).
template <class Box, class SetText>
void readTyped(Box* box, const QString& now, std::string& bytes, const std::u16string& shown,
               SetText setText, Convert convert) {
  if (now.toStdU16String() == shown) return;
  int replaced = 0;
  bytes = convert(now, &replaced);
  if (replaced > 0) {
    setText(box, toUnicode(bytes));
    detail::tellReplaced(replaced);
  }
}

// A fixed-pitch label's size for one line of text, summed from its
// characters' advances: what QLabel would size it to, without laying the
// text out (a list page's lines would otherwise be shaped twice, for their
// size and again to paint them). Empty when only the layout can tell: a
// control character or a mark, or a character the font lacks (the font it
// falls back on can make the line taller).
std::optional<QSize> fixedPitchLineSize(const QWidget* label, const QString& text) {
  const QFont& font = label->font();
  if (font.styleHint() != QFont::Monospace || text.isEmpty()) return std::nullopt;
  const QRawFont raw = QRawFont::fromFont(font);
  const QFontMetricsF metrics(font);
  qreal width = 0;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if (u < 0x20 || (u >= 0x7F && u < 0xA0) || c.isSurrogate() || c.isMark() ||
        c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph ||
        !raw.supportsCharacter(c))
      return std::nullopt;
    width += metrics.horizontalAdvance(c);
  }
  return QSize(qCeil(width), qCeil(metrics.ascent() + metrics.descent()));
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
  // The same text again (a redraw in place, a page of blank lines) would
  // only be laid out and sized again to the same result.
  if (sjis == text_) return;
  text_ = sjis;
  auto* label = static_cast<QLabel*>(widget_);
  label->setText(toUnicode(sjis));
  if (!detail::isAutoSize(label)) return;
  if (const auto size = fixedPitchLineSize(label, label->text()))
    label->resize(*size);
  else
    label->adjustSize();
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

Edit::Edit(Window& w, std::string name) : Control(w, std::move(name), new QLineEdit(w.widget())) {
  // Return and the keypad's Enter alike.
  QObject::connect(static_cast<QLineEdit*>(widget_), &QLineEdit::returnPressed, widget_,
                   [this] { enter(); });
}

void Edit::setText(const std::string& sjis) {
  auto* box = static_cast<QLineEdit*>(widget_);
  box->setText(toUnicode(sjis));
  bytes_ = sjis;
  shown_ = box->text().toStdU16String();
  set_ = shown_;
}

bool Edit::typedSinceSet() const {
  return static_cast<QLineEdit*>(widget_)->text().toStdU16String() != set_;
}

void Edit::markUnchanged() { set_ = static_cast<QLineEdit*>(widget_)->text().toStdU16String(); }

std::string Edit::text() const {
  auto* box = static_cast<QLineEdit*>(widget_);
  readTyped(box, box->text(), bytes_, shown_,
            [](QLineEdit* b, const QString& t) { b->setText(t); },
            kana_ ? &kanaKeyFromUnicode : &fromUnicode);
  shown_ = box->text().toStdU16String();
  // Set text folds as typed text does (a key stored before keys were folded
  // reads as the key it stands for), and so does text read before the box
  // became a kana box. Half-width text is left as it is.
  return kana_ ? halfWidthKana(bytes_) : bytes_;
}

void Edit::setReadOnly(bool ro) { static_cast<QLineEdit*>(widget_)->setReadOnly(ro); }

void Edit::enter() {
  const auto fn = enter_;
  if (fn) guarded(fn);
}

void Edit::typeUtf8(const std::string& utf8) {
  static_cast<QLineEdit*>(widget_)->setText(
      QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

std::string Edit::fileName() const {
  return QFile::encodeName(static_cast<QLineEdit*>(widget_)->text()).toStdString();
}

void Edit::setFileName(const std::string& path) {
  static_cast<QLineEdit*>(widget_)->setText(QFile::decodeName(QByteArray::fromStdString(path)));
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
  readTyped(box, box->toPlainText(), bytes_, shown_,
            [](QPlainTextEdit* b, const QString& t) { b->setPlainText(t); }, &fromUnicode);
  shown_ = box->toPlainText().toStdU16String();
  return bytes_;
}

void Memo::setReadOnly(bool ro) { static_cast<QPlainTextEdit*>(widget_)->setReadOnly(ro); }

void Memo::typeUtf8(const std::string& utf8) {
  static_cast<QPlainTextEdit*>(widget_)->setPlainText(
      QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

}  // namespace kx::ui
