#include "ui/print_backend.h"

#include <QGuiApplication>

#include <cstdio>

#include "ui/print_render.h"
#include "ui/print_settings.h"

namespace kx::ui {

namespace {

// The command's own lines are its output; Qt's notes (a missing runtime
// folder and the like) are not, only its real failures.
void criticalOnly(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

}  // namespace

OffscreenGui::OffscreenGui(int& argc, char** argv) {
  qInstallMessageHandler(criticalOnly);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  app_ = std::make_unique<QGuiApplication>(argc, argv);
}

OffscreenGui::~OffscreenGui() = default;

print::PrintBackend printBackend() {
  print::PrintBackend b;
  b.remembered = loadRemembered;
  b.fontMissing = missingFontMessage;
  b.glyphs = glyphCheck;
  b.writePdf = [](const std::string& path, print::Sheet sheet, int pages,
                  const std::function<print::Page(int)>& pageAt, bool guides) {
    return writePdf(path, sheet, pages, pageAt, RenderOptions{guides});
  };
  return b;
}

}  // namespace kx::ui
