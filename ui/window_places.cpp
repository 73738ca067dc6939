#include "ui/window_places.h"

#include <memory>

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace kx::ui {

namespace {

// None until main or the driver says where: nothing is read or written.
std::unique_ptr<QSettings>& settings() {
  static std::unique_ptr<QSettings> s;
  return s;
}

QString key(const std::string& formName, const char* what) {
  return QStringLiteral("windows/%1/%2").arg(QString::fromStdString(formName), QLatin1String(what));
}

}  // namespace

void keepWindowPlacesOfUser() {
  settings() = std::make_unique<QSettings>(QStringLiteral("korvelix"), QStringLiteral("korvelix"));
}

void keepWindowPlacesIn(const std::string& iniFile) {
  settings() = std::make_unique<QSettings>(QFile::decodeName(iniFile.c_str()),
                                           QSettings::IniFormat);
}

namespace detail {

void restorePlace(QWidget* window, const std::string& formName) {
  QSettings* s = settings().get();
  if (!s || !s->contains(key(formName, "pos"))) return;
  const QPoint pos = s->value(key(formName, "pos")).toPoint();
  // A screen since unplugged would hide the window: its corner must be on one.
  if (!QGuiApplication::screenAt(pos)) return;
  window->move(pos);
  const QSize size = s->value(key(formName, "size")).toSize();
  // The fixed layouts keep their size; a window the user may resize gets its own back.
  if (size.isValid() && window->minimumSize() != window->maximumSize()) window->resize(size);
}

void rememberPlace(const QWidget* window, const std::string& formName) {
  QSettings* s = settings().get();
  if (!s || !window->isVisible()) return;
  s->setValue(key(formName, "pos"), window->pos());
  s->setValue(key(formName, "size"), window->size());
  s->sync();
}

}  // namespace detail

}  // namespace kx::ui
