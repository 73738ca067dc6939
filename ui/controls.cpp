// The control base class, the handler guard, fonts and mouse clicks.
#include "ui/controls.h"

#include <exception>
#include <string>

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QWidget>

#include "ui/encoding.h"
#include "ui/services.h"
#include "ui/widget_support.h"
#include "ui/window_places.h"

namespace kx::ui {

namespace detail {

namespace {

constexpr char kAutoSize[] = "kxAutoSize";
constexpr std::u8string_view kUnexpected = u8"予期しないエラーが発生しました";

class MouseClicks : public QObject {
 public:
  MouseClicks(Control* c) : QObject(c->widget()), control_(c) {}

  bool eventFilter(QObject* watched, QEvent* e) override {
    switch (e->type()) {
      case QEvent::MouseButtonPress:
        pressed_ = static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton;
        return true;
      case QEvent::MouseButtonRelease: {
        auto* m = static_cast<QMouseEvent*>(e);
        const bool inside = static_cast<QWidget*>(watched)->rect().contains(m->position().toPoint());
        const bool click = pressed_ && m->button() == Qt::LeftButton && inside;
        pressed_ = false;
        if (click) control_->click();
        return true;
      }
      case QEvent::MouseButtonDblClick:
        // The release that follows a double click is no click of its own.
        pressed_ = false;
        if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) control_->dblClick();
        return true;
      default:
        return false;
    }
  }

 private:
  Control* control_;
  bool pressed_ = false;
};

void report(const std::string& text) noexcept {
  try {
    services().show(text);
  } catch (...) {
    // Nothing may escape into the event loop, not even from the message box.
  }
}

}  // namespace

QFont toQFont(const Font& f) {
  QFont q(f.family == Font::Fixed ? QStringLiteral("IPAGothic") : QStringLiteral("IPAPGothic"));
  q.setStyleHint(f.family == Font::Fixed ? QFont::Monospace : QFont::SansSerif);
  // Whole-pixel horizontal hinting would round a half-width character of an
  // odd pixel size up (21 px: 11, not 10.5) and byte-counted columns would
  // drift; vertical-only hinting keeps the true advances.
  if (f.family == Font::Fixed) q.setHintingPreference(QFont::PreferVerticalHinting);
  q.setPixelSize(f.pixels > 0 ? f.pixels : 12);
  q.setBold(f.bold);
  q.setItalic(f.italic);
  return q;
}

void applyFont(QWidget* w, const Font& f) {
  w->setFont(toQFont(f));
  const QColor colour(QRgb(f.rgb & 0xFFFFFFu));
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, colour);
  p.setColor(QPalette::Text, colour);
  p.setColor(QPalette::ButtonText, colour);
  w->setPalette(p);
}

void installMouseClicks(Control* c) { c->widget()->installEventFilter(new MouseClicks(c)); }

void setAutoSize(QWidget* w, bool on) { w->setProperty(kAutoSize, on); }

bool isAutoSize(const QWidget* w) { return w->property(kAutoSize).toBool(); }

void fitIfAutoSize(QWidget* w) {
  if (isAutoSize(w)) w->adjustSize();
}

bool runGuarded(const std::function<void()>& fn) {
  try {
    if (fn) fn();
    return true;
  } catch (const std::exception& e) {
    const std::string what = e.what();
    report(what.empty() ? fromUtf8(kUnexpected) : what);
  } catch (...) {
    report(fromUtf8(kUnexpected));
  }
  return false;
}

void tellReplaced(int count) {
  report(fromUtf8(u8"Shift-JISで表せない文字が") + std::to_string(count) +
         fromUtf8(u8"文字あったため、〓に置き換えました"));
}

}  // namespace detail

Control::Control(Window& w, std::string name, QWidget* widget)
    : window_(&w), name_(std::move(name)), widget_(widget) {
  widget_->setObjectName(QString::fromStdString(name_));
  // Set visible from the start (it appears when its window does), so the
  // visible flag reads true whatever the window's own state.
  widget_->setVisible(true);
}

// The widget belongs to the window's widget tree, which deletes it.
Control::~Control() = default;

void Control::setVisible(bool v) { widget_->setVisible(v); }

bool Control::isVisible() const { return !widget_->isHidden(); }

void Control::setGeometry(int left, int top, int width, int height) {
  detail::setAutoSize(widget_, false);
  widget_->setGeometry(left, top, width, height);
}

void Control::setFont(const Font& f) {
  detail::applyFont(widget_, f);
  detail::fitIfAutoSize(widget_);
}

void Control::setFocus() { widget_->setFocus(Qt::OtherFocusReason); }

void Control::click() {
  // A copy: the handler may replace itself while it runs.
  const auto fn = click_;
  if (fn) guarded(fn);
}

void Control::dblClick() {
  const auto fn = dblClick_;
  if (fn) guarded(fn);
}

void guarded(const std::function<void()>& fn) { detail::runGuarded(fn); }

namespace {
bool quitFlag = false;
}

void quitApplication() {
  for (const Window* w : Window::all()) detail::rememberPlace(w->widget(), w->name());
  quitFlag = true;
  if (QCoreApplication::instance()) QCoreApplication::quit();
}

bool quitRequested() { return quitFlag; }

}  // namespace kx::ui
