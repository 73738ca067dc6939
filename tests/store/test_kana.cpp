#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "store/kana.h"

namespace kx {
namespace {

TEST(HalfWidthKana, TypedKanaBecomesTheKeyAnInputMethodUserMeans) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"すずき", "ｽｽﾞｷ"},
      {"スズキ", "ｽｽﾞｷ"},
      {"すずきｲﾁﾛｳ", "ｽｽﾞｷｲﾁﾛｳ"},
      {"がぎぐげご", "ｶﾞｷﾞｸﾞｹﾞｺﾞ"},
      {"ぱぴぷぺぽ", "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
      {"ヴァイオリン", "ｳﾞｧｲｵﾘﾝ"},
      {"ゃゅょっ", "ｬｭｮｯ"},
      {"ラーメン", "ﾗｰﾒﾝ"},
      {"ヵヶヮゎゐヰゑヱをヲんン", "ｶｹﾜﾜｲｲｴｴｦｦﾝﾝ"},
      {"。「」、・゛゜", "｡｢｣､･ﾞﾟ"},
      {"やまだ　たろう", "ﾔﾏﾀﾞ ﾀﾛｳ"},
      {"ぁあぃいぅうぇえぉお", "ｧｱｨｲｩｳｪｴｫｵ"},
      {"ミムメモ", "ﾐﾑﾒﾓ"},  // either side of the unused code 0x837F
  };
  for (const auto& [typed, key] : cases) EXPECT_EQ(halfWidthKana(typed), key) << typed;
}

TEST(HalfWidthKana, LeavesEverythingElseByteForByte) {
  // Half-width kana, ASCII, kanji, full-width letters and digits, a lone
  // lead byte at the end and a trail byte that looks like a kana's.
  const std::vector<std::string> same = {"ﾔﾏﾀﾞ ﾀﾛｳ", "ABC 123", "山田太郎", "ＡＢＣ１２３", "ｱ\x82", "\x82", ""};
  for (const auto& s : same) EXPECT_EQ(halfWidthKana(s), s);
  // 0x83 0x40 after a kanji whose trail byte is 0x83 is still the kanji.
  EXPECT_EQ(halfWidthKana("\x88\x83\x40"), "\x88\x83\x40");
}

}  // namespace
}  // namespace kx
