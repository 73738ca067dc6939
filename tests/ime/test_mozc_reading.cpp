// A name typed through a real input method, fcitx5 with mozc, into the add
// form on a virtual X display (with_mozc.sh): the keys go in through the X
// server as a user's would, the reading box fills with the kana the input
// method composed, and ADD and EXECUTE store it as the name's key.
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "forms/windows.h"
#include "session/session.h"
#include "ui/controls.h"
#include "ui/services.h"
#include "ui_test_support.h"

namespace kx::ui {
namespace {

// Runs xdotool with the arguments and lets the windows handle what arrives
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

TEST(MozcReading, NameTypedThroughTheInputMethodIsStoredWithItsReading) {
  char pattern[] = "/tmp/kx_mozc_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::filesystem::path dir = pattern;
  for (const char* name : {"KORVELIX.DAT", "KORVELIX.k1", "KORVELIX.k2"})
    std::ofstream(dir / name, std::ios::binary);
  RecordingServices rec;
  setServices(&rec);
  {
    Session session(dir.string(), rec);
    Windows windows(session);
    windows.start();
    windows.openAddForm();
    Window* form = Window::byName("Form8");
    ASSERT_NE(form, nullptr);
    form->find("Edit2")->setFocus();
    const QString id = QString::number(form->widget()->winId());
    xdotool({"windowactivate", "--sync", id});
    xdotool({"windowfocus", "--sync", id});
    // もりた converted and committed, a full-width space, けん converted.
    xdotool({"type", "--delay", "60", "morita"});
    xdotool({"key", "space"});
    xdotool({"key", "Return"});
    xdotool({"key", "space"});
    xdotool({"type", "--delay", "60", "ken"});
    xdotool({"key", "space"});
    xdotool({"key", "Return"});
    EXPECT_EQ(static_cast<Edit*>(form->find("Edit1"))->text(), test::sjis(u8"ﾓﾘﾀ ｹﾝ"));
    form->find("Button2")->click();  // ADD
    form->find("Button3")->click();  // EXECUTE
  }
  setServices(nullptr);
  std::ifstream k1(dir / "KORVELIX.k1", std::ios::binary);
  const std::string keys{std::istreambuf_iterator<char>(k1), {}};
  EXPECT_EQ(keys, "0000" + test::sjis(u8"ﾓﾘﾀ ｹﾝ") + "\r\n");  // as typed, unpadded
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kx::ui
