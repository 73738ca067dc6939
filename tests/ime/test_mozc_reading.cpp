// A name typed through a real input method, fcitx5 with mozc, into a real
// window on a virtual X display (with_mozc.sh): the keys go in through the
// X server as a user's would, and the reading box fills with the kana the
// input method composed.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <gtest/gtest.h>

#include "ui/controls.h"
#include "ui/reading_capture.h"
#include "ui/services.h"
#include "ui/toolkit.h"
#include "ui_test_support.h"

namespace kx::ui {
namespace {

// Runs xdotool with the arguments and lets the window handle what arrives
// until it ends and a moment more.
void xdotool(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral("xdotool"), args);
  ASSERT_TRUE(p.waitForStarted());
  while (p.state() != QProcess::NotRunning) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    p.waitForFinished(20);
  }
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < 600) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

TEST(MozcReading, NameTypedThroughTheInputMethodFillsTheReading) {
  RecordingServices rec;
  setServices(&rec);
  Window w("Form8", "ADD RECORD", 400, 100);
  Edit* kanji = w.addEdit("Edit2", 10, 10, 300);
  Edit* reading = w.addEdit("Edit1", 10, 40, 300);
  reading->setKana(true);
  captureReading(*kanji, *reading);
  w.show();
  w.widget()->activateWindow();
  kanji->setFocus();
  const QString id = QString::number(w.widget()->winId());
  xdotool({"windowactivate", "--sync", id});
  xdotool({"windowfocus", "--sync", id});
  // もりた, converted and committed; a full-width space; けん converted.
  xdotool({"type", "--delay", "60", "morita"});
  xdotool({"key", "space"});
  xdotool({"key", "Return"});
  xdotool({"key", "space"});
  xdotool({"type", "--delay", "60", "ken"});
  xdotool({"key", "space"});
  xdotool({"key", "Return"});
  EXPECT_EQ(kanji->text().substr(0, 6), test::sjis(u8"森田　"));
  EXPECT_EQ(reading->text(), test::sjis(u8"ﾓﾘﾀ ｹﾝ"));
  setServices(nullptr);
}

}  // namespace
}  // namespace kx::ui
