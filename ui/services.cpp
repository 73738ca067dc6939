#include "ui/services.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QUrl>

#include "ui/controls.h"
#include "ui/encoding.h"
#include "ui/widget_support.h"

namespace kx::ui {

namespace {

Services* current = nullptr;

// The program names its files in Shift-JIS; the file system names them in
// the locale's encoding (UTF-8).
QString workingPath(const std::string& sjisName) {
  return QDir::current().absoluteFilePath(toUnicode(sjisName));
}

bool fileExists(const std::string& sjisName) {
  if (sjisName.empty()) return false;
  std::error_code ec;
  return std::filesystem::exists(QFile::encodeName(workingPath(sjisName)).toStdString(), ec);
}

// The default action of the desktop for a local file or folder: no command
// line is built, so no name can be taken for an option or a command.
void openLocal(const std::string& sjisName) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(workingPath(sjisName)));
}

}  // namespace

void DesktopServices::show(const std::string& text) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    // No window system yet: the text still reaches the user.
    std::fprintf(stderr, "%s\n", toUnicode(text).toLocal8Bit().constData());
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("KORVELIX"), toUnicode(text),
                  QMessageBox::Ok, QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  box.setFont(detail::toQFont(Font{}));
  box.exec();
}

void DesktopServices::openFile(const std::string& name) { openLocal(name); }

void DesktopServices::browseFolder(const std::string& name) { openLocal(name); }

bool DesktopServices::exists(const std::string& name) { return fileExists(name); }

void RecordingServices::record(Event e) {
  events.push_back(e);
  // The listener gets its own copy: it may record more events meanwhile.
  if (listener) listener(e);
}

void RecordingServices::show(const std::string& text) {
  record({Event::Msg, text});
}

void RecordingServices::openFile(const std::string& name) {
  record({Event::Open, name});
}

void RecordingServices::browseFolder(const std::string& name) {
  record({Event::Browse, name});
}

bool RecordingServices::exists(const std::string& name) { return fileExists(name); }

Services& services() {
  static DesktopServices desktop;
  return current ? *current : desktop;
}

void setServices(Services* s) { current = s; }

}  // namespace kx::ui
