#include "ui/controls.h"

#include <stdexcept>

#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "ui/encoding.h"
#include "ui/services.h"
#include "ui_test_support.h"

namespace kx::ui {
namespace {

using test::sjis;
using test::U;

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override { setServices(&rec); }
  void TearDown() override { setServices(nullptr); }

  std::vector<std::string> messages() const {
    std::vector<std::string> m;
    for (const auto& e : rec.events)
      if (e.kind == RecordingServices::Event::Msg) m.push_back(e.text);
    return m;
  }

  static void mouse(QWidget* w, QEvent::Type type, QPoint at = {2, 2}) {
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  }
  static void clickOn(QWidget* w) {
    mouse(w, QEvent::MouseButtonPress);
    mouse(w, QEvent::MouseButtonRelease);
  }

  RecordingServices rec;
  Window win{"FormT", sjis(u8"テスト窓"), 400, 300};
};

TEST_F(ControlsTest, VisibleFlagIsTheControlsOwnWhateverTheWindow) {
  Label* l = win.addLabel("Label1", 10, 10, "x");
  Button* b = win.addButton("Button1", 10, 40, 89, 25, "OK");
  b->setVisible(false);
  EXPECT_FALSE(win.isShown());
  EXPECT_TRUE(l->isVisible());
  EXPECT_FALSE(b->isVisible());
  win.show();
  EXPECT_TRUE(win.isShown());
  EXPECT_TRUE(l->widget()->isVisible());
  EXPECT_FALSE(b->isVisible());
  win.hide();
  EXPECT_TRUE(l->isVisible());
  b->setVisible(true);
  EXPECT_TRUE(b->isVisible());
  EXPECT_FALSE(b->widget()->isVisible());  // set visible, not on screen
}

TEST_F(ControlsTest, LabelKeepsItsBytesAndSizesToItsText) {
  const std::string broken = "AB" + sjis(u8"漢").substr(0, 1) + "\xFF";
  Label* l = win.addLabel("Label1", 30, 40, broken);
  EXPECT_EQ(l->caption(), broken);
  auto* q = static_cast<QLabel*>(l->widget());
  EXPECT_EQ(q->text(), U(u"AB\uFFFD\uFFFD"));
  EXPECT_EQ(q->objectName(), "Label1");
  EXPECT_EQ(q->pos(), QPoint(30, 40));
  const int shortWidth = q->width();
  l->setCaption(sjis(u8"個人情報管理システム"));
  EXPECT_GT(q->width(), shortWidth);
  l->setFont(Font{Font::Proportional, 27, true, true, 0x00FF00});
  EXPECT_GE(q->height(), 27);
  // Markup is shown as written.
  l->setCaption("<b>x</b>");
  EXPECT_EQ(q->text(), "<b>x</b>");
  EXPECT_EQ(q->textFormat(), Qt::PlainText);
  // Given a geometry, it keeps it.
  l->setGeometry(0, 0, 50, 20);
  l->setCaption(sjis(u8"とても長い長い長いキャプションです"));
  EXPECT_EQ(q->size(), QSize(50, 20));
}

// A list page sets every line anew: a caption of the same length, the same
// caption again, a blank one, one with a character the font lacks (U+FFFD
// for a broken byte) or a tab; each time the label shows it, sized exactly
// as the label's own layout would size it, in either font.
TEST_F(ControlsTest, LabelFollowsEveryCaptionSetOneAfterAnother) {
  const std::string kana = sjis(u8"ﾔﾏﾀﾞ ﾀﾛｳ");
  const std::string kanji = sjis(u8"山田 太郎");
  const std::string line = sjis(u8"ﾔﾏﾀﾞ ﾀﾛｳ      山田 太郎            株式会社ＡＢＣ商事   ");
  for (const Font::Family family : {Font::Fixed, Font::Proportional}) {
    Label* l = win.addLabel(family == Font::Fixed ? "Label1" : "Label2", 0, 0);
    l->setFont(Font{family, 21, false, false, 0});
    auto* q = static_cast<QLabel*>(l->widget());
    for (const std::string& caption :
         {kana, kanji, kanji, std::string("WWWWWWWWW"), line, kana, std::string(),
          std::string("  "), std::string("AB\xFF"), std::string("A\tB"), line}) {
      SCOPED_TRACE(caption);
      l->setCaption(caption);
      EXPECT_EQ(l->caption(), caption);
      EXPECT_EQ(q->text(), toUnicode(caption));
      EXPECT_EQ(q->size(), q->sizeHint());
    }
  }
}

TEST_F(ControlsTest, FontsAreTheIpaGothicsWithSizeStyleAndColour) {
  Label* fixed = win.addLabel("Label1", 0, 0, "x");
  fixed->setFont(Font{Font::Fixed, 21, false, false, 0x000000});
  Label* prop = win.addLabel("Label2", 0, 30, "x");
  prop->setFont(Font{Font::Proportional, 16, true, false, 0x00FF00});
  EXPECT_EQ(QFontInfo(fixed->widget()->font()).family(), "IPAGothic");
  EXPECT_EQ(QFontInfo(prop->widget()->font()).family(), "IPAPGothic");
  EXPECT_EQ(fixed->widget()->font().pixelSize(), 21);
  EXPECT_TRUE(prop->widget()->font().bold());
  EXPECT_EQ(prop->widget()->palette().color(QPalette::WindowText), QColor(0, 255, 0));
  // Window font reaches controls without their own.
  Label* plain = win.addLabel("Label3", 0, 60, "x");
  EXPECT_EQ(QFontInfo(plain->widget()->font()).family(), "IPAPGothic");
  win.setFont(Font{Font::Fixed, 12});
  EXPECT_EQ(QFontInfo(plain->widget()->font()).family(), "IPAGothic");
  EXPECT_EQ(prop->widget()->font().pixelSize(), 16);
  // Byte-counted columns line up: twenty half-width kana or ASCII letters
  // are as wide as ten full-width characters, at an odd pixel size too.
  const QFontMetricsF fm(fixed->widget()->font());
  const qreal full = fm.horizontalAdvance(U(u"漢字漢字漢字漢字漢字"));
  EXPECT_DOUBLE_EQ(fm.horizontalAdvance(U(u"ｶﾅｶﾅｶﾅｶﾅｶﾅｶﾅｶﾅｶﾅｶﾅｶﾅ")), full);
  EXPECT_DOUBLE_EQ(fm.horizontalAdvance(U(u"ABCDEFGHIJ0123456789")), full);
  EXPECT_EQ(fixed->widget()->font().hintingPreference(), QFont::PreferVerticalHinting);
}

TEST_F(ControlsTest, MouseClicksReachTheirHandlersOnly) {
  int clicks = 0, doubles = 0, background = 0;
  Label* l = win.addLabel("Label5", 10, 10, "KORVELIX");
  l->onClick([&] { ++clicks; });
  l->onDblClick([&] { ++doubles; });
  Label* quiet = win.addLabel("Label4", 10, 60, "KORVELIX");
  win.onBackgroundClick([&] { ++background; });

  clickOn(l->widget());
  EXPECT_EQ(clicks, 1);
  mouse(l->widget(), QEvent::MouseButtonDblClick);
  mouse(l->widget(), QEvent::MouseButtonRelease);
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(clicks, 1);  // the release after a double click is no click
  // Released outside the label: no click.
  mouse(l->widget(), QEvent::MouseButtonPress);
  mouse(l->widget(), QEvent::MouseButtonRelease, {-5, -5});
  EXPECT_EQ(clicks, 1);

  clickOn(quiet->widget());
  RadioGroup* r = win.addRadioGroup("RadioGroup1", 200, 10, 150, 80, "R", {"a"});
  clickOn(r->widget());
  EXPECT_EQ(background, 0);
  clickOn(win.widget());
  EXPECT_EQ(background, 1);

  int pressed = 0;
  Button* b = win.addButton("Button1", 10, 100, 89, 25, "A&B");
  b->onClick([&] { ++pressed; });
  static_cast<QPushButton*>(b->widget())->click();
  EXPECT_EQ(pressed, 1);
  EXPECT_EQ(static_cast<QPushButton*>(b->widget())->text(), "A&&B");
  EXPECT_EQ(b->caption(), "A&B");
}

TEST_F(ControlsTest, EditReadsBackJapaneseAndMarksWhatShiftJisCannotHold) {
  Edit* e = win.addEdit("Edit1", 48, 344, 201);
  const std::string name = sjis(u8"山田　太郎 ﾔﾏﾀﾞ ﾀﾛｳ");
  e->setText(name);
  EXPECT_EQ(e->text(), name);
  // Untouched, even a cut character reads back as its exact bytes.
  const std::string cut = sjis(u8"会社").substr(0, 3);
  e->setText(cut);
  EXPECT_EQ(e->text(), cut);
  EXPECT_TRUE(rec.events.empty());

  // Typed by the user.
  auto* box = static_cast<QLineEdit*>(e->widget());
  box->setText(U(u"髙橋ｶﾅ"));
  EXPECT_EQ(e->text(), sjis(u8"髙橋ｶﾅ"));
  EXPECT_TRUE(rec.events.empty());

  e->typeUtf8(reinterpret_cast<const char*>(u8"鈴木😀€"));
  EXPECT_EQ(e->text(), sjis(u8"鈴木〓〓"));
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find('2'), std::string::npos);  // how many
  // The box now shows what was kept; reading again tells nothing new.
  EXPECT_EQ(box->text(), U(u"鈴木〓〓"));
  EXPECT_EQ(e->text(), sjis(u8"鈴木〓〓"));
  EXPECT_EQ(messages().size(), 1u);
}

TEST_F(ControlsTest, KanaBoxReadsTypedAndSetKanaAsHalfWidthKeys) {
  Edit* kana = win.addEdit("Edit1", 0, 0, 100);
  Edit* kanji = win.addEdit("Edit2", 0, 30, 100);
  kana->setKana(true);
  for (Edit* e : {kana, kanji}) e->typeUtf8(reinterpret_cast<const char*>(u8"すずき　イチロー"));
  EXPECT_EQ(kana->text(), sjis(u8"ｽｽﾞｷ ｲﾁﾛｰ"));
  EXPECT_EQ(kanji->text(), sjis(u8"すずき　イチロー"));
  // A key stored in full width reads as the key it stands for; half-width
  // bytes, a cut character included, read back exactly.
  kana->setText(sjis(u8"サクラ"));
  EXPECT_EQ(kana->text(), sjis(u8"ｻｸﾗ"));
  const std::string cut = sjis(u8"ｻｸﾗ会").substr(0, 4);
  kana->setText(cut);
  EXPECT_EQ(kana->text(), cut);
  EXPECT_TRUE(rec.events.empty());
  // Text read before the box became a kana box folds from then on.
  kanji->setKana(true);
  EXPECT_EQ(kanji->text(), sjis(u8"ｽｽﾞｷ ｲﾁﾛｰ"));
}

TEST_F(ControlsTest, MemoLinesAndTypedText) {
  Memo* m = win.addMemo("Remark", 120, 384, 300, 60);
  m->setLines({sjis(u8"備考一"), "", "line3"});
  EXPECT_EQ(m->text(), sjis(u8"備考一") + "\n\nline3");
  EXPECT_EQ(static_cast<QPlainTextEdit*>(m->widget())->toPlainText(), U(u"備考一\n\nline3"));
  m->typeUtf8(reinterpret_cast<const char*>(u8"一行\n二行☃"));
  EXPECT_EQ(m->text(), sjis(u8"一行\n二行〓"));
  EXPECT_EQ(messages().size(), 1u);
}

TEST_F(ControlsTest, RadioGroupItemIndexAndColumns) {
  int clicks = 0;
  RadioGroup* r = win.addRadioGroup("RadioGroup1", 8, 8, 300, 50, "IMPORT",
                                    {sjis(u8"上書き"), sjis(u8"追加"), sjis(u8"キャンセル")}, 3);
  r->onClick([&] { ++clicks; });
  EXPECT_EQ(r->itemCount(), 3);
  EXPECT_EQ(r->itemIndex(), -1);
  EXPECT_EQ(r->caption(), "IMPORT");
  r->setItemIndex(0);
  EXPECT_EQ(r->itemIndex(), 0);
  r->setItemIndex(2);
  EXPECT_EQ(r->itemIndex(), 2);
  r->setItemIndex(-1);
  EXPECT_EQ(r->itemIndex(), -1);
  EXPECT_THROW(r->setItemIndex(3), std::out_of_range);
  EXPECT_EQ(clicks, 0);  // setting the index is no click

  auto buttons = r->widget()->findChildren<QRadioButton*>();
  ASSERT_EQ(buttons.size(), 3);
  EXPECT_EQ(buttons[1]->text(), U(u"追加"));
  // Three columns: one row.
  EXPECT_EQ(buttons[0]->y(), buttons[2]->y());
  EXPECT_LT(buttons[0]->x(), buttons[1]->x());
  EXPECT_LT(buttons[1]->x(), buttons[2]->x());
  buttons[1]->click();
  EXPECT_EQ(r->itemIndex(), 1);
  EXPECT_EQ(clicks, 1);

  // One column: filled downwards; new items replace the old.
  r->setItems({"a", "b", "c", "d"}, 1);
  buttons = r->widget()->findChildren<QRadioButton*>();
  ASSERT_EQ(buttons.size(), 4);
  EXPECT_EQ(r->itemIndex(), -1);
  EXPECT_EQ(buttons[0]->x(), buttons[3]->x());
  EXPECT_LT(buttons[0]->y(), buttons[3]->y());
}

Picture solid(int w, int h) {
  Picture p;
  p.width = w;
  p.height = h;
  p.rgb.assign(static_cast<size_t>(w) * h * 3, 0x80);
  return p;
}

TEST_F(ControlsTest, ImageScalesDownProportionallyAndNeverUp) {
  Image* img = win.addImage("Image1", 8, 24, 361, 353);
  auto shown = [&](int w, int h) {
    img->setPicture(solid(w, h));
    const QPixmap pm = static_cast<QLabel*>(img->widget())->pixmap();
    EXPECT_EQ(pm.size(), QSize(img->shownWidth(), img->shownHeight()));
    return QSize(img->shownWidth(), img->shownHeight());
  };
  EXPECT_EQ(shown(722, 706), QSize(361, 353));
  EXPECT_EQ(shown(100, 100), QSize(100, 100));
  EXPECT_EQ(shown(2000, 500), QSize(361, 90));
  EXPECT_EQ(shown(300, 1000), QSize(105, 353));
  EXPECT_EQ(shown(361, 353), QSize(361, 353));
  // Decoded at a quarter of its natural 2000 x 500.
  img->setPicture(solid(500, 125), 2000, 500);
  EXPECT_EQ(QSize(img->shownWidth(), img->shownHeight()), QSize(361, 90));
  img->clear();
  EXPECT_EQ(img->shownWidth(), 0);
  EXPECT_TRUE(static_cast<QLabel*>(img->widget())->pixmap().isNull());
  Picture bad = solid(10, 10);
  bad.rgb.resize(10);
  EXPECT_THROW(img->setPicture(bad), std::invalid_argument);
}

}  // namespace
}  // namespace kx::ui
