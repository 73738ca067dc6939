#include "ui/encoding.h"

#include <random>
#include <string>

#include <gtest/gtest.h>

#include "ui_test_support.h"

namespace kx::ui {
namespace {

using test::referenceDecode;
using test::referenceEncode;
using test::sjis;
using test::U;

const QChar kMark(0xFFFD);

// Every character of iconv's CP932: each single byte and each lead/trail pair
// it reads as one character, with the character it reads.
struct Repertoire {
  std::vector<std::pair<std::string, QString>> chars;
  int singles = 0;
};

const Repertoire& repertoire() {
  static const Repertoire all = [] {
    Repertoire r;
    for (int b = 1; b < 256; ++b) {  // a NUL byte shows as a mark (below)
      const std::string s(1, static_cast<char>(b));
      if (auto u = referenceDecode(s)) {
        r.chars.emplace_back(s, *u);
        ++r.singles;
      }
    }
    for (int lead = 0x80; lead < 256; ++lead) {
      if (referenceDecode(std::string(1, static_cast<char>(lead)))) continue;
      for (int trail = 0; trail < 256; ++trail) {
        const std::string s{static_cast<char>(lead), static_cast<char>(trail)};
        auto u = referenceDecode(s);
        if (u && u->size() == 1) r.chars.emplace_back(s, *u);
      }
    }
    return r;
  }();
  return all;
}

TEST(Encoding, EveryCp932CharacterRoundTripsThroughUnicode) {
  const Repertoire& r = repertoire();
  // ASCII and the 63 half-width katakana; the double-byte table (JIS rows,
  // NEC and IBM extensions, user-defined area) is several thousand.
  EXPECT_EQ(r.singles, 127 + 63);
  EXPECT_GT(r.chars.size(), 9000u);
  int failures = 0;
  for (const auto& [bytes, unicode] : r.chars) {
    int replaced = -1;
    const QString shown = toUnicode(bytes);
    const std::string back = fromUnicode(unicode, &replaced);
    // Duplicate codes (NEC and IBM copies of a character) come back as the
    // one code iconv itself writes for that character.
    const bool ok = shown == unicode && replaced == 0 && back == referenceEncode(unicode) &&
                    toUnicode(back) == unicode;
    if (!ok && ++failures <= 5)
      ADD_FAILURE() << "character " << std::hex << static_cast<unsigned>(unicode[0].unicode())
                    << " bytes size " << bytes.size();
  }
  EXPECT_EQ(failures, 0);

  // A whole string of them converts as its characters do one by one.
  std::string all;
  QString allUnicode;
  for (const auto& [bytes, unicode] : r.chars) {
    all += bytes;
    allUnicode += unicode;
  }
  EXPECT_EQ(toUnicode(all), allUnicode);
  EXPECT_EQ(toUnicode(fromUnicode(allUnicode)), allUnicode);
}

TEST(Encoding, KnownCodesAndHalfWidthKanaStayHalfWidth) {
  EXPECT_EQ(toUnicode("\x82\xA0"), U(u"\u3042"));  // あ
  EXPECT_EQ(toUnicode("\x81\x60"), U(u"\uFF5E"));  // the wave dash row
  EXPECT_EQ(toUnicode("\x5C"), U(u"\\"));
  for (int b = 0xA1; b <= 0xDF; ++b) {
    const std::string one(1, static_cast<char>(b));
    const QString u = toUnicode(one);
    ASSERT_EQ(u.size(), 1);
    EXPECT_EQ(u[0].unicode(), 0xFF61 + (b - 0xA1));
    EXPECT_EQ(fromUnicode(u), one);
  }
  EXPECT_EQ(fromUnicode(U(u"ｶﾅｻｰﾁ")), "\xB6\xC5\xBB\xB0\xC1");
}

TEST(Encoding, BrokenBytesShowAsOneMarkEachAndTheRestSurvives) {
  const std::string kanji = sjis(u8"漢字");
  // A double-byte character cut in half at the end of a field.
  EXPECT_EQ(toUnicode("AB" + kanji.substr(0, 3)), U(u"AB漢") + kMark);
  // A lead byte followed by a byte that cannot be its trail: only the lead
  // is lost, the space and what follows stay.
  EXPECT_EQ(toUnicode("\x82\x20" + kanji), QString(kMark) + U(u" 漢字"));
  EXPECT_EQ(toUnicode(std::string("\x80\xA0\xFD\xFE\xFF", 5)), QString(5, kMark));
  // A NUL byte (a damaged store file's) is a mark too, not the end.
  EXPECT_EQ(toUnicode(std::string("a\0b\0", 4)), U(u"a") + kMark + U(u"b") + kMark);
  EXPECT_TRUE(toUnicode("").isEmpty());
}

TEST(Encoding, RandomBytesAlwaysConvert) {
  std::mt19937 rng(42);
  for (int round = 0; round < 2000; ++round) {
    std::string s(rng() % 40, '\0');
    for (char& c : s) c = static_cast<char>(rng());
    const QString u = toUnicode(s);
    // Never more characters than bytes; valid text is what iconv reads.
    EXPECT_LE(u.size(), static_cast<qsizetype>(s.size()));
    if (auto ref = referenceDecode(s); ref && s.find('\0') == std::string::npos) {
      EXPECT_EQ(u, *ref);
    }
    // The driver's form is always valid UTF-8 and names every bad byte.
    const std::string d = toDriverText(s);
    EXPECT_EQ(QString::fromUtf8(d).toUtf8().toStdString(), d);
    EXPECT_EQ(QString::fromUtf8(d).count(kMark), 0);
  }
}

TEST(Encoding, CharactersOutsideCp932BecomeGetaAndAreCounted) {
  int replaced = -1;
  EXPECT_EQ(fromUnicode(U(u"a😀b€é"), &replaced), "a\x81\xAC" "b\x81\xAC\x81\xAC");
  EXPECT_EQ(replaced, 3);
  // Unpaired surrogates, at the end too.
  QString lone;
  lone += QChar(0xD800);
  lone += u'x';
  lone += QChar(0xDC00);
  lone += QChar(0xD83D);
  EXPECT_EQ(fromUnicode(lone, &replaced), "\x81\xACx\x81\xAC\x81\xAC");
  EXPECT_EQ(replaced, 3);
  EXPECT_EQ(fromUnicode(U(u"髙橋　ｶﾅ"), &replaced), sjis(u8"髙橋　ｶﾅ"));
  EXPECT_EQ(replaced, 0);
  EXPECT_EQ(fromUnicode(QString(), &replaced), "");
  EXPECT_EQ(replaced, 0);
}

TEST(Encoding, KanaKeyFromUnicodeFoldsWhatInputMethodsType) {
  int replaced = -1;
  EXPECT_EQ(kanaKeyFromUnicode(U(u"やまだ　タロウ"), &replaced), sjis(u8"ﾔﾏﾀﾞ ﾀﾛｳ"));
  EXPECT_EQ(replaced, 0);
  // Kana Shift-JIS lacks: hiragana vu and small ka/ke, combining marks.
  EXPECT_EQ(kanaKeyFromUnicode(U(u"ゔぁゕゖか\u3099は\u309A"), &replaced),
            sjis(u8"ｳﾞｧｶｹｶﾞﾊﾟ"));
  EXPECT_EQ(replaced, 0);
  // Half-width text, kanji and what cannot be held as before.
  EXPECT_EQ(kanaKeyFromUnicode(U(u"ﾔﾏﾀﾞ 山田😀"), &replaced), sjis(u8"ﾔﾏﾀﾞ 山田〓"));
  EXPECT_EQ(replaced, 1);
}

TEST(Encoding, Utf8ToShiftJis) {
  int replaced = -1;
  EXPECT_EQ(fromUtf8(u8"ｶﾅ漢字 x", &replaced), sjis(u8"ｶﾅ漢字 x"));
  EXPECT_EQ(replaced, 0);
  // A malformed UTF-8 byte is no character Shift-JIS can hold.
  EXPECT_EQ(fromUtf8(std::string_view("a\xFF" "b"), &replaced), "a\x81\xAC" "b");
  EXPECT_EQ(replaced, 1);
}

TEST(Encoding, DriverTextEscapes) {
  EXPECT_EQ(toDriverText("a\\b\nc\rd  "), "a\\\\b\\nc\\rd  ");
  EXPECT_EQ(toDriverText(sjis(u8"男性ｶﾅ")), std::string(reinterpret_cast<const char*>(u8"男性ｶﾅ")));
  const std::string kanji = sjis(u8"漢");
  EXPECT_EQ(toDriverText("x" + kanji.substr(0, 1)), "x\\x8A");
  EXPECT_EQ(toDriverText(std::string("\xFF\x82 \x0A", 4)), "\\xFF\\x82 \\n");
  EXPECT_EQ(toDriverText(std::string("a\0b", 3)), "a\\x00b");
  EXPECT_EQ(toDriverText(""), "");
}

}  // namespace
}  // namespace kx::ui
