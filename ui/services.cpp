#include "ui/services.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpacerItem>
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
bool openLocal(const std::string& sjisName) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(workingPath(sjisName)));
}

// The title bar puts the window's icon and buttons beside the caption, in a
// font of the window manager's choosing; a box only as wide as a short text
// would cut the caption. Room for it in a large bold font, plus the rest.
int captionRoom(const QString& caption) {
  QFont font = QApplication::font();
  font.setBold(true);
  font.setPixelSize(16);
  constexpr int kIconAndButtons = 150;
  return QFontMetrics(font).horizontalAdvance(caption) + kIconAndButtons;
}

}  // namespace

void Services::openFile(const std::string& name) {
  if (!exists(name))
    show(kMissingFileMessage + name);
  else if (!desktopOpen(name))
    show(fromUtf8(kRefusedOpenMessage) + name);
}

void Services::browseFolder(const std::string& name) {
  if (!exists(name))
    show(kMissingFileMessage + name);
  else if (!desktopBrowse(name))
    show(fromUtf8(kRefusedOpenMessage) + name);
}

void DesktopServices::show(const std::string& text) {
  // No window system yet, or one nobody sees (offscreen): a box would wait
  // for an OK that never comes, so the text goes to the terminal.
  if (!qobject_cast<QApplication*>(QCoreApplication::instance()) ||
      QGuiApplication::platformName() == QLatin1String("offscreen")) {
    std::fprintf(stderr, "%s\n", toUnicode(text).toLocal8Bit().constData());
    return;
  }
  const QString caption = QStringLiteral("KORVELIX");
  QMessageBox box(QMessageBox::NoIcon, caption, toUnicode(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  box.setFont(detail::toQFont(Font{}));
  // QMessageBox lays itself out anew when shown and ignores a minimum width
  // set on it; a spacer across its grid is kept.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(captionRoom(caption), 0, QSizePolicy::Minimum,
                                  QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
  box.exec();
}

bool DesktopServices::ask(const std::string& question) {
  // Nobody to answer (no window system, or offscreen): the careful answer.
  if (!qobject_cast<QApplication*>(QCoreApplication::instance()) ||
      QGuiApplication::platformName() == QLatin1String("offscreen")) {
    std::fprintf(stderr, "%s\n", toUnicode(question).toLocal8Bit().constData());
    return false;
  }
  QMessageBox box(QMessageBox::Question, QStringLiteral("KORVELIX"), toUnicode(question),
                  QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  box.setFont(detail::toQFont(Font{}));
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

bool DesktopServices::desktopOpen(const std::string& name) { return openLocal(name); }

bool DesktopServices::desktopBrowse(const std::string& name) { return openLocal(name); }

bool DesktopServices::exists(const std::string& name) { return fileExists(name); }

std::string DesktopServices::pickPath(Pick kind, const std::string& start) {
  const QString from = QFile::decodeName(QByteArray::fromStdString(start));
  QWidget* parent = QApplication::activeWindow();
  QString chosen;
  if (kind == Pick::Folder) {
    chosen = QFileDialog::getExistingDirectory(parent, QString(), from);
  } else {
    // One dialog for a file to read or to write: an existing file is
    // chosen, or a new name typed; the caller says what happens to it.
    const QString filter = from.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)
                               ? QStringLiteral("PDF (*.pdf);;* (*)")
                               : QStringLiteral("vCard (*.vcf);;* (*)");
    QFileDialog dialog(parent, QString(), from, filter);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (QFileInfo(from).isFile()) dialog.selectFile(from);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
      chosen = dialog.selectedFiles().constFirst();
  }
  return QFile::encodeName(chosen).toStdString();
}

bool DesktopServices::choosePrinter(QPrinter& printer) {
  QPrintDialog dialog(&printer, QApplication::activeWindow());
  return dialog.exec() == QDialog::Accepted;
}

void RecordingServices::record(Event e) {
  events.push_back(e);
  // The listener gets its own copy: it may record more events meanwhile.
  if (listener) listener(e);
}

void RecordingServices::show(const std::string& text) {
  record({Event::Msg, text});
}

bool RecordingServices::ask(const std::string& question) {
  record({Event::Ask, question});
  return answer;
}

bool RecordingServices::desktopOpen(const std::string& name) {
  record({Event::Open, name});
  return !refused.contains(name);
}

bool RecordingServices::desktopBrowse(const std::string& name) {
  record({Event::Browse, name});
  return !refused.contains(name);
}

bool RecordingServices::exists(const std::string& name) { return fileExists(name); }

std::string RecordingServices::pickPath(Pick kind, const std::string&) {
  record({Event::Pick, kind == Pick::Folder ? "FOLDER" : "FILE"});
  return {};
}

bool RecordingServices::choosePrinter(QPrinter&) {
  record({Event::Pick, "PRINTER"});
  return false;
}

std::string pathText(const std::string& path) {
  return fromUnicode(QFile::decodeName(QByteArray::fromStdString(path)));
}

Services& services() {
  static DesktopServices desktop;
  return current ? *current : desktop;
}

void setServices(Services* s) { current = s; }

}  // namespace kx::ui
