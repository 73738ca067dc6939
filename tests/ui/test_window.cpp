#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>

#include <QCoreApplication>
#include <QIcon>
#include <QWidget>
#include <gtest/gtest.h>

#include "ui/controls.h"
#include "ui/folders.h"
#include "ui/services.h"
#include "ui/toolkit.h"
#include "ui_test_support.h"

namespace kx::ui {
namespace {

using test::sjis;
using test::U;

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { setServices(&rec); }
  void TearDown() override { setServices(nullptr); }
  RecordingServices rec;
};

TEST_F(WindowTest, NameCaptionSizeAndRegistry) {
  const std::string caption = sjis(u8"データベース更新中") + "\x82";
  {
    Window a("Form1", "MENU", 482, 430);
    Window b("Form7", caption, 383, 38);
    EXPECT_EQ(a.widget()->objectName(), "Form1");
    EXPECT_EQ(b.caption(), caption);
    EXPECT_EQ(b.widget()->windowTitle(), U(u"データベース更新中\uFFFD"));
    EXPECT_EQ(a.widget()->size(), QSize(482, 430));
    EXPECT_EQ(a.widget()->minimumSize(), a.widget()->maximumSize());
    ASSERT_EQ(Window::all().size(), 2u);
    EXPECT_EQ(Window::all()[0], &a);
    EXPECT_EQ(Window::all()[1], &b);
    EXPECT_EQ(Window::byName("Form7"), &b);
    EXPECT_EQ(Window::byName("Form9"), nullptr);

    Label* l = a.addLabel("Label1", 0, 0, "x");
    EXPECT_EQ(a.find("Label1"), l);
    EXPECT_EQ(&l->window(), &a);
    EXPECT_EQ(a.find("Label2"), nullptr);
    EXPECT_THROW(a.addButton("Label1", 0, 0, 10, 10, "y"), std::logic_error);
    EXPECT_EQ(a.widget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
  }
  EXPECT_TRUE(Window::all().empty());
}

TEST_F(WindowTest, CloseRunsTheHookByCloseAndCloseBoxButNotByHide) {
  Window w("Form3", "PERSONAL INFORMATION", 300, 200);
  int closes = 0;
  w.onClose([&] { ++closes; });
  w.show();
  w.hide();
  EXPECT_EQ(closes, 0);
  EXPECT_FALSE(w.isShown());

  w.show();
  w.close();
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(w.isShown());

  w.show();
  w.widget()->close();  // the close box
  EXPECT_EQ(closes, 2);
  EXPECT_FALSE(w.isShown());
}

TEST_F(WindowTest, FailingCloseHookIsReportedAndTheWindowStillCloses) {
  Window w("Form2", "NAME LIST", 300, 200);
  w.onClose([] { throw std::runtime_error("close failed"); });
  w.show();
  w.widget()->close();
  EXPECT_FALSE(w.isShown());
  ASSERT_EQ(rec.events.size(), 1u);
  EXPECT_EQ(rec.events[0].text, "close failed");
}

TEST_F(WindowTest, ShowAndPaintLeavesTheWindowShown) {
  Window w("Form7", "busy", 383, 38);
  w.showAndPaint();
  EXPECT_TRUE(w.isShown());
}

TEST_F(WindowTest, GuardTurnsEscapingExceptionsIntoMessages) {
  const std::string text = sjis(u8"読めません");
  guarded([&] { throw std::runtime_error(text); });
  guarded([] { throw 42; });
  guarded([] {});
  ASSERT_EQ(rec.events.size(), 2u);
  EXPECT_EQ(rec.events[0].kind, RecordingServices::Event::Msg);
  EXPECT_EQ(rec.events[0].text, text);
  EXPECT_EQ(rec.events[1].text, sjis(u8"予期しないエラーが発生しました"));

  // A handler's exception stops at the control; the next click works.
  Window w("Form1", "MENU", 200, 100);
  int ok = 0;
  Button* b = w.addButton("Button1", 0, 0, 89, 25, "OK");
  b->onClick([&] {
    if (++ok == 1) throw std::out_of_range("first");
  });
  b->click();
  b->click();
  EXPECT_EQ(ok, 2);
  ASSERT_EQ(rec.events.size(), 3u);
  EXPECT_EQ(rec.events[2].text, "first");

  // A handler may replace itself while it runs.
  b->onClick([&] { b->onClick([&] { ok = 100; }); });
  b->click();
  b->click();
  EXPECT_EQ(ok, 100);
}

TEST_F(WindowTest, QuitIsRequestedOnce) {
  quitApplication();
  EXPECT_TRUE(quitRequested());
}

// A fresh temporary directory as the working directory for one test.
class InTempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/kx_ui_services_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    std::filesystem::current_path(dir);
  }
  void TearDown() override {
    std::filesystem::current_path(before);
    std::filesystem::remove_all(dir);
  }
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::path dir;
};

using ServicesInDir = InTempDir;

TEST_F(ServicesInDir, OpenAndBrowseTellTheUserOfMissingOrRefusedNames) {
  std::filesystem::create_directory("PSNL0001");
  std::ofstream("PSNL0001.TXT") << "x";
  std::ofstream("PSNL0002.JPG") << "x";
  RecordingServices rec;
  std::vector<std::string> heard;
  rec.listener = [&](const RecordingServices::Event& e) { heard.push_back(e.text); };
  rec.refused = {"PSNL0002.JPG"};
  rec.show("hello");
  rec.openFile("PSNL0001.TXT");
  rec.browseFolder("PSNL0001");
  rec.openFile("PSNL0009.TXT");    // missing: the desktop is not asked
  rec.browseFolder("PSNL0009");
  rec.openFile("PSNL0002.JPG");    // asked, and it refuses
  using K = RecordingServices::Event;
  std::vector<std::pair<K::Kind, std::string>> got;
  for (const auto& e : rec.events) got.emplace_back(e.kind, e.text);
  EXPECT_EQ(got, (std::vector<std::pair<K::Kind, std::string>>{
                     {K::Msg, "hello"},
                     {K::Open, "PSNL0001.TXT"},
                     {K::Browse, "PSNL0001"},
                     {K::Msg, "FILE NOT FOUND: PSNL0009.TXT"},
                     {K::Msg, "FILE NOT FOUND: PSNL0009"},
                     {K::Open, "PSNL0002.JPG"},
                     {K::Msg, sjis(u8"開くためのプログラムがありません: PSNL0002.JPG")}}));
  EXPECT_EQ(heard.size(), rec.events.size());

  setServices(&rec);
  services().show("x");
  EXPECT_EQ(rec.events.size(), 8u);
  setServices(nullptr);
  EXPECT_NE(&services(), static_cast<Services*>(&rec));
}

TEST_F(ServicesInDir, ExistsLooksInTheWorkingDirectory) {
  namespace fs = std::filesystem;
  fs::create_directory("PSNL0007");
  std::ofstream(dir / "PSNL0007.TXT") << "x";
  // A name in Shift-JIS is the file of that name on disk (UTF-8).
  std::ofstream(dir / reinterpret_cast<const char*>(u8"写真.TXT")) << "x";

  RecordingServices rec;
  DesktopServices desk;
  for (Services* s : {static_cast<Services*>(&rec), static_cast<Services*>(&desk)}) {
    EXPECT_TRUE(s->exists("PSNL0007"));
    EXPECT_TRUE(s->exists("PSNL0007.TXT"));
    EXPECT_TRUE(s->exists(sjis(u8"写真.TXT")));
    EXPECT_FALSE(s->exists("PSNL0008"));
    EXPECT_FALSE(s->exists(""));
  }
  EXPECT_TRUE(rec.events.empty());
}

using Folders = InTempDir;

TEST_F(Folders, EnterFolderCreatesItOrSaysWhyNot) {
  namespace fs = std::filesystem;
  EXPECT_EQ(enterFolder("a/b"), std::nullopt);
  EXPECT_EQ(fs::current_path(), dir / "a/b");
  EXPECT_EQ(enterFolder(dir.string()), std::nullopt);  // an existing one
  EXPECT_EQ(fs::current_path(), dir);

  std::ofstream("plain") << "x";
  const auto failure = enterFolder("plain/store");
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->rfind("CAN NOT OPEN FOLDER plain/store\n", 0), 0u) << *failure;
  EXPECT_EQ(fs::current_path(), dir);
}

TEST(UserDataFolder, FollowsXdgDataHome) {
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_DATA_HOME", "/tmp/kx-data-home", 1);
  EXPECT_EQ(userDataFolder(), "/tmp/kx-data-home/korvelix");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(userDataFolder(), std::string(std::getenv("HOME")) + "/.local/share/korvelix");
  if (old) setenv("XDG_DATA_HOME", saved.c_str(), 1);
}

TEST(ProgramIcon, EveryWindowCarriesIt) {
  applyProgramIcon();
  Window w("Form11", "PHOTO", 100, 100);
  // Built in and drawable: the icon resource and the SVG icon engine are there.
  EXPECT_FALSE(w.widget()->windowIcon().pixmap(32, 32).isNull());
}

}  // namespace
}  // namespace kx::ui

namespace kx::ui {
namespace {

// Qt's standard buttons and pickers speak the desktop's language.
TEST(QtTranslations, JapaneseLoadsAndAnUnknownLanguageKeepsEnglish) {
  const auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
  ASSERT_TRUE(loadQtTranslations("ja_JP"));
  EXPECT_NE(yes(), QStringLiteral("&Yes"));
  EXPECT_TRUE(yes().contains(QString::fromUtf8(u8"はい"))) << yes().toStdString();
  EXPECT_FALSE(loadQtTranslations("xx_XX"));
  EXPECT_EQ(yes(), QStringLiteral("&Yes"));
}

}  // namespace
}  // namespace kx::ui
