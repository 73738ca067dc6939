// Top-level windows: fixed size, caption, close box, background clicks, and
// the registry the driver finds them in.
#include <algorithm>
#include <stdexcept>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include "ui/controls.h"
#include "ui/encoding.h"
#include "ui/widget_support.h"
#include "ui/window_places.h"

namespace kx::ui {

namespace {

// Longest wait for a window just shown to be on screen before it is painted.
constexpr int kExposeWaitMs = 2000;

class WindowWidget : public QWidget {
 public:
  explicit WindowWidget(Window* owner) : owner_(owner) {}

 protected:
  // The close box closes the way Window::close() does: hook, then hide.
  void closeEvent(QCloseEvent* e) override {
    e->ignore();
    owner_->close();
  }
  void mousePressEvent(QMouseEvent* e) override {
    pressed_ = e->button() == Qt::LeftButton;
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    const bool click = pressed_ && e->button() == Qt::LeftButton &&
                       rect().contains(e->position().toPoint());
    pressed_ = false;
    if (click) owner_->backgroundClick();
  }
  // Keys the focused control leaves alone come here; Escape is the window's.
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Escape) {
      e->accept();
      owner_->escape();
      return;
    }
    QWidget::keyPressEvent(e);
  }

 private:
  Window* owner_;
  bool pressed_ = false;
};

std::vector<Window*>& registry() {
  static std::vector<Window*> windows;
  return windows;
}

std::string& note() {
  static std::string text;
  return text;
}

}  // namespace

struct Window::Impl {
  WindowWidget* widget = nullptr;
};

Window::Window(std::string formName, const std::string& sjisCaption, int width, int height)
    : impl_(std::make_unique<Impl>()), name_(std::move(formName)) {
  impl_->widget = new WindowWidget(this);
  QWidget* w = impl_->widget;
  w->setObjectName(QString::fromStdString(name_));
  // Only the main menu's closing ends the program (quitApplication), never
  // the last window to be hidden.
  w->setAttribute(Qt::WA_QuitOnClose, false);
  w->setFixedSize(width, height);
  setFont(Font{});
  setCaption(sjisCaption);
  registry().push_back(this);
}

Window::~Window() {
  auto& all = registry();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
  // Widgets first: the controls' event hooks point at the controls.
  delete impl_->widget;
  impl_->widget = nullptr;
}

void Window::setCaption(const std::string& sjis) {
  caption_ = sjis;
  impl_->widget->setWindowTitle(toUnicode(caption()));
}

void Window::setTitleNote(const std::string& sjis) {
  if (note() == sjis) return;
  note() = sjis;
  for (Window* w : registry()) w->impl_->widget->setWindowTitle(toUnicode(w->caption()));
}

const std::string& Window::titleNote() { return note(); }

void Window::setFont(const Font& f) {
  detail::applyFont(impl_->widget, f);
  for (const auto& c : controls_) detail::fitIfAutoSize(c->widget());
}

Window::Place Window::place() const {
  const QWidget* w = impl_->widget;
  return {w->x(), w->y(), w->width(), w->height()};
}

void Window::moveTo(int left, int top) { impl_->widget->move(left, top); }

void Window::show() {
  if (!placed_) {
    placed_ = true;
    detail::restorePlace(impl_->widget, name_);
  }
  impl_->widget->show();
  // The offscreen platform (driver, tests) has no stacking and says so.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    impl_->widget->raise();
    impl_->widget->activateWindow();
  }
}

void Window::hide() {
  detail::rememberPlace(impl_->widget, name_);
  impl_->widget->hide();
}

void Window::close() {
  // Hidden even when the hook fails: a window that cannot be closed would
  // trap the user.
  const auto fn = onClose_;
  if (fn) guarded(fn);
  hide();
}

bool Window::isShown() const { return impl_->widget->isVisible(); }

void Window::showAndPaint() {
  show();
  QWidget* w = impl_->widget;
  // The window system (a window manager first, where there is one) maps the
  // window and then sends its expose; a repaint before that goes nowhere, and
  // the long work that follows would leave the window black. So wait for the
  // expose, a bounded time: a window manager may never map it (another
  // workspace). User input stays queued meanwhile: no handler may run inside
  // the one that is busy.
  QDeadlineTimer deadline(kExposeWaitMs);
  auto exposed = [w] { return w->windowHandle() && w->windowHandle()->isExposed(); };
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  while (!exposed() && !deadline.hasExpired()) {
    QThread::msleep(2);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  w->repaint();
  // Hands the painted picture to the window system now, not after the work.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Window::backgroundClick() {
  const auto fn = bgClick_;
  if (fn) guarded(fn);
}

void Window::escape() {
  const auto fn = escape_;
  if (fn) guarded(fn);
}

namespace {

// Checked before the control is made: its widget would outlive a refusal.
void requireNewName(const Window& w, const std::string& name) {
  if (w.find(name)) throw std::logic_error(w.name() + " already has a control named " + name);
}

template <class C>
C* adopt(std::vector<std::unique_ptr<Control>>& controls, std::unique_ptr<C> c) {
  C* raw = c.get();
  controls.push_back(std::move(c));
  return raw;
}

}  // namespace

Label* Window::addLabel(const std::string& name, int left, int top, const std::string& caption) {
  requireNewName(*this, name);
  auto* l = adopt(controls_, std::make_unique<Label>(*this, name));
  l->widget()->move(left, top);
  l->setCaption(caption);
  return l;
}

Button* Window::addButton(const std::string& name, int left, int top, int width, int height,
                          const std::string& caption) {
  requireNewName(*this, name);
  auto* b = adopt(controls_, std::make_unique<Button>(*this, name));
  b->setGeometry(left, top, width, height);
  b->setCaption(caption);
  return b;
}

Edit* Window::addEdit(const std::string& name, int left, int top, int width, int height) {
  requireNewName(*this, name);
  auto* e = adopt(controls_, std::make_unique<Edit>(*this, name));
  e->setGeometry(left, top, width, height);
  return e;
}

Memo* Window::addMemo(const std::string& name, int left, int top, int width, int height) {
  requireNewName(*this, name);
  auto* m = adopt(controls_, std::make_unique<Memo>(*this, name));
  m->setGeometry(left, top, width, height);
  return m;
}

RadioGroup* Window::addRadioGroup(const std::string& name, int left, int top, int width,
                                  int height, const std::string& caption,
                                  const std::vector<std::string>& items, int columns) {
  requireNewName(*this, name);
  auto* r = adopt(controls_, std::make_unique<RadioGroup>(*this, name));
  r->setGeometry(left, top, width, height);
  r->setCaption(caption);
  r->setItems(items, columns);
  return r;
}

Image* Window::addImage(const std::string& name, int left, int top, int width, int height) {
  requireNewName(*this, name);
  auto* i = adopt(controls_, std::make_unique<Image>(*this, name));
  i->setGeometry(left, top, width, height);
  return i;
}

Control* Window::find(const std::string& controlName) const {
  for (const auto& c : controls_)
    if (c->name() == controlName) return c.get();
  return nullptr;
}

QWidget* Window::widget() const { return impl_->widget; }

const std::vector<Window*>& Window::all() { return registry(); }

namespace {
std::function<Window*(const std::string&)>& lateBuilder() {
  static std::function<Window*(const std::string&)> build;
  return build;
}
}  // namespace

void Window::setLateBuilder(std::function<Window*(const std::string&)> build) {
  lateBuilder() = std::move(build);
}

Window* Window::byName(const std::string& formName) {
  for (Window* w : registry())
    if (w->name() == formName) return w;
  return lateBuilder() ? lateBuilder()(formName) : nullptr;
}

}  // namespace kx::ui
