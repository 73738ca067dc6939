// Input-method compositions replayed into real edit boxes event by event,
// as fcitx5 with mozc delivered them to a Qt 6 line edit (recorded under
// Xvfb, the attributes kept): romaji shown as kana while typed, a
// conversion shown in segments with the cursor at its start, the commit
// with an empty preedit followed by an empty composition, a selection
// reconverted in place, an escape back to the kana and a cancel.
#include "ui/reading_capture.h"

#include <vector>

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextCharFormat>
#include <gtest/gtest.h>

#include "ui/controls.h"
#include "ui/driver_support.h"
#include "ui/services.h"
#include "ui_test_support.h"

namespace kx::ui {
namespace {

using test::sjis;

QString q(std::u8string_view s) {
  return QString::fromUtf8(reinterpret_cast<const char*>(s.data()), static_cast<qsizetype>(s.size()));
}

class ReadingCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    setServices(&rec);
    kanji = w.addEdit("Edit2", 10, 10, 200);
    reading = w.addEdit("Edit1", 10, 40, 200);
    reading->setKana(true);
    captureReading(*kanji, *reading);
  }
  void TearDown() override { setServices(nullptr); }
  QLineEdit* box() const { return static_cast<QLineEdit*>(kanji->widget()); }

  // A composition as shown: kana with the cursor at their end, or a
  // conversion in segments of the given lengths with the cursor at its start.
  void preedit(std::u8string_view text, std::initializer_list<int> segments = {}) {
    const QString t = q(text);
    QList<QInputMethodEvent::Attribute> a;
    QTextCharFormat format;
    format.setFontUnderline(true);
    int at = 0;
    const std::vector<int> parts =
        segments.size() ? std::vector<int>(segments) : std::vector<int>{int(t.size())};
    for (int n : parts) {
      if (n > 0) a.append({QInputMethodEvent::TextFormat, at, n, format});
      at += n;
    }
    a.append({QInputMethodEvent::Cursor, segments.size() ? 0 : int(t.size()), 1, QVariant()});
    QInputMethodEvent e(t, a);
    QApplication::sendEvent(box(), &e);
  }
  // The commit, then the empty composition that follows it.
  void commit(std::u8string_view text) {
    QInputMethodEvent e;
    e.setCommitString(q(text));
    QApplication::sendEvent(box(), &e);
    preedit(u8"");
  }
  // Text taken back into the composition by a replacement range, as the
  // frameworks deliver an input method's deletion of surrounding text.
  void takeBack(int from, int length) {
    QInputMethodEvent e;
    e.setCommitString(QString(), from, length);
    QApplication::sendEvent(box(), &e);
  }
  // Romaji typed a letter at a time, each step as mozc shows it.
  void typed(std::initializer_list<std::u8string_view> steps) {
    for (std::u8string_view s : steps) preedit(s);
  }
  void key(Qt::Key k, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
    QApplication::sendEvent(box(), &press);
  }

  RecordingServices rec;
  Window w{"Form8", "", 300, 100};
  Edit* kanji = nullptr;
  Edit* reading = nullptr;
};

TEST_F(ReadingCapture, NameTypedAndConvertedInOneGo) {
  typed({u8"ｍ", u8"も", u8"もｒ", u8"もり", u8"もりｔ", u8"もりた", u8"もりたｋ", u8"もりたけ",
         u8"もりたけｎ"});
  preedit(u8"森田けん", {2, 2});  // Space: the pending n converts as ん
  commit(u8"森田けん");
  EXPECT_EQ(kanji->text(), sjis(u8"森田けん"));
  EXPECT_EQ(reading->text(), sjis(u8"ﾓﾘﾀｹﾝ"));
}

TEST_F(ReadingCapture, SeveralConversionsWithTheSpaceBetween) {
  typed({u8"ｍ", u8"も", u8"もｒ", u8"もり", u8"もりｔ", u8"もりた"});
  preedit(u8"森田", {2});
  commit(u8"森田");
  commit(u8"　");  // Space with nothing composed: a full-width space
  typed({u8"ｋ", u8"け", u8"けｎ"});
  preedit(u8"県", {1});
  commit(u8"県");
  EXPECT_EQ(kanji->text(), sjis(u8"森田　県"));
  EXPECT_EQ(reading->text(), sjis(u8"ﾓﾘﾀ ｹﾝ"));
}

TEST_F(ReadingCapture, AReconvertedSelectionKeepsItsReading) {
  typed({u8"も", u8"もり", u8"もりた"});
  preedit(u8"森田", {2});
  commit(u8"森田");
  key(Qt::Key_Space, QStringLiteral(" "));  // direct input: a half-width space
  typed({u8"け", u8"けん"});
  preedit(u8"健", {1});
  commit(u8"健");
  box()->setSelection(0, 2);  // Shift+Left twice from 森田's end, then Henkan
  preedit(u8"");
  preedit(u8"森田", {2});
  preedit(u8"守田", {2});  // the next candidate
  commit(u8"守田");
  EXPECT_EQ(kanji->text(), sjis(u8"守田 健"));
  EXPECT_EQ(reading->text(), sjis(u8"ﾓﾘﾀ ｹﾝ"));
  // Taken back by a replacement range instead, it keeps its reading too.
  box()->setCursorPosition(2);
  takeBack(-2, 2);
  preedit(u8"守田", {2});
  preedit(u8"森田", {2});
  commit(u8"森田");
  EXPECT_EQ(kanji->text(), sjis(u8"森田 健"));
  EXPECT_EQ(reading->text(), sjis(u8"ﾓﾘﾀ ｹﾝ"));
}

TEST_F(ReadingCapture, ACancelledConversionLeavesNothingBehind) {
  typed({u8"ｍ", u8"も", u8"もｒ", u8"もり", u8"もりｔ", u8"もりた"});
  preedit(u8"森田", {2});
  preedit(u8"もりた");  // Escape: back to the kana
  preedit(u8"");        // Escape again: the composition is gone
  EXPECT_EQ(kanji->text(), "");
  EXPECT_EQ(reading->text(), "");
  typed({u8"た", u8"たな", u8"たなか"});
  preedit(u8"田中", {2});
  commit(u8"田中");
  EXPECT_EQ(reading->text(), sjis(u8"ﾀﾅｶ"));
}

TEST_F(ReadingCapture, FullWidthKatakanaConversionIsItsOwnReading) {
  typed({u8"ｊ", u8"じょ", u8"じょｎ"});
  preedit(u8"ジョン", {3});  // F7
  commit(u8"ジョン");
  commit(u8"　");
  typed({u8"す", u8"すみ", u8"すみす"});
  commit(u8"すみす");  // Enter on the kana themselves
  EXPECT_EQ(reading->text(), sjis(u8"ｼﾞｮﾝ ｽﾐｽ"));
}

TEST_F(ReadingCapture, AReadingTypedByTheUserIsNeverOverwritten) {
  typed({u8"も", u8"もりた"});
  preedit(u8"森田", {2});
  commit(u8"森田");
  ASSERT_EQ(reading->text(), sjis(u8"ﾓﾘﾀ"));
  reading->typeUtf8(reinterpret_cast<const char*>(u8"ﾓﾘﾀﾞ"));  // the user's correction
  commit(u8"　");
  typed({u8"け", u8"けん"});
  preedit(u8"健", {1});
  commit(u8"健");
  EXPECT_EQ(reading->text(), sjis(u8"ﾓﾘﾀﾞ"));
}

TEST_F(ReadingCapture, PastedOrDirectlyTypedTextLeavesTheReadingAlone) {
  box()->insert(q(u8"森田 健"));  // as a paste inserts
  EXPECT_EQ(reading->text(), "");
  box()->clear();
  key(Qt::Key_A, QStringLiteral("a"));
  EXPECT_EQ(reading->text(), "");
  // What the program sets is no typing either, and a name typed on after
  // it has no whole reading.
  kanji->setText(sjis(u8"森田"));
  typed({u8"け", u8"けん"});
  preedit(u8"健", {1});
  commit(u8"健");
  EXPECT_EQ(reading->text(), "");
}

TEST_F(ReadingCapture, EmptyingTheNameEmptiesTheFilledReading) {
  typed({u8"も", u8"もりた"});
  preedit(u8"森田", {2});
  commit(u8"森田");
  ASSERT_EQ(reading->text(), sjis(u8"ﾓﾘﾀ"));
  key(Qt::Key_Backspace, QString());  // cuts 森田: its reading is unknown
  EXPECT_EQ(reading->text(), sjis(u8"ﾓﾘﾀ"));
  key(Qt::Key_Backspace, QString());
  EXPECT_EQ(reading->text(), "");
  typed({u8"た", u8"たなか"});
  preedit(u8"田中", {2});
  commit(u8"田中");
  EXPECT_EQ(reading->text(), sjis(u8"ﾀﾅｶ"));
}

TEST_F(ReadingCapture, BoxesBlankedWithSpacesStayAsBlanked) {
  const std::string blanks(24, ' ');
  reading->setText(blanks);
  kanji->setText(blanks);  // as the add form prepares them
  EXPECT_EQ(reading->text(), blanks);
  typed({u8"も", u8"もりた"});
  preedit(u8"森田", {2});
  commit(u8"森田");
  EXPECT_EQ(reading->text(), sjis(u8"ﾓﾘﾀ"));
}

TEST_F(ReadingCapture, TheDriversCompositionFillsTheReading) {
  w.show();
  EXPECT_EQ(compose(w, *kanji, reinterpret_cast<const char*>(u8"もりた"),
                    reinterpret_cast<const char*>(u8"森田")),
            TypeResult::Typed);
  compose(w, *kanji, reinterpret_cast<const char*>(u8"けん"), "");  // cancelled
  compose(w, *kanji, "", reinterpret_cast<const char*>(u8"　"));
  compose(w, *kanji, reinterpret_cast<const char*>(u8"けん"),
          reinterpret_cast<const char*>(u8"健"));
  EXPECT_EQ(kanji->text(), sjis(u8"森田　健"));
  EXPECT_EQ(reading->text(), sjis(u8"ﾓﾘﾀ ｹﾝ"));
  reading->setReadOnly(true);
  EXPECT_EQ(compose(w, *reading, "", "x"), TypeResult::ReadOnly);
}

}  // namespace
}  // namespace kx::ui
