#include "ui/toolkit.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "ui/controls.h"

namespace kx::ui {

struct Toolkit::Impl {
  Impl(int& argc, char** argv) : app(argc, argv) {}
  QApplication app;
};

Toolkit::Toolkit(int& argc, char** argv) : impl_(std::make_unique<Impl>(argc, argv)) {
  // Only the main menu's closing ends the program, not the last window shown.
  QApplication::setQuitOnLastWindowClosed(false);
  applyProgramIcon();
  loadQtTranslations(QLocale::system().name().toStdString());
}

Toolkit::~Toolkit() = default;

int Toolkit::exec() {
  if (quitRequested()) return 0;
  return QApplication::exec();
}

void applyProgramIcon() {
  // Built into the program (CMakeLists.txt), so it needs no installed file.
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/korvelix/korvelix.svg")));
  QGuiApplication::setDesktopFileName(QStringLiteral("korvelix"));
}

bool loadQtTranslations(const std::string& localeName) {
  static QTranslator* installed = nullptr;
  if (installed) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
    installed = nullptr;
  }
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QLocale(QString::fromStdString(localeName)), QStringLiteral("qtbase"),
                        QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return false;
  installed = translator.release();
  QCoreApplication::installTranslator(installed);
  return true;
}

void processPendingEvents() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace kx::ui
