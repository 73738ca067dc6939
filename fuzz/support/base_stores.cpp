#include "fuzz/support/base_stores.h"

#include <algorithm>
#include <vector>

#include "store/store_files.h"
#include "tests/support/store_fixture.h"

namespace kx::fuzz {

namespace {

// Half-width katakana written as bytes, so that GCC and clang builds agree.
fixture::Files threeEntries() {
  auto entry = [](const char* kana, const char* company, const char* kanji, const char* number) {
    fixture::TestEntry e = fixture::named(kana, company, kanji, number);
    e.fields[KanjiCompany] = "ACME";
    e.fields[UpdateDate] = "20240101";
    return e;
  };
  return fixture::storeFiles({entry("\xb1\xb2", "\xb6", "Abe", "0007"),
                              entry("\xb1", "\xb6\xb7", "Aoi", "    "),
                              entry("\xb1\xb2", "", "Ando", "0012")});
}

std::string reversedLines(const std::string& image) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < image.size();) {
    const std::size_t end = image.find('\n', at) + 1;
    lines.push_back(image.substr(at, end - at));
    at = end;
  }
  std::reverse(lines.begin(), lines.end());
  std::string out;
  for (const auto& l : lines) out += l;
  return out;
}

}  // namespace

void writeBaseStore(const ScratchDir& dir, int which) {
  fixture::Files f;
  switch (which) {
    case kNoFiles:
      return;
    case kEmptyFiles:
      break;
    case kThreeEntries:
      f = threeEntries();
      break;
    default:
      f = threeEntries();
      f.k1 = reversedLines(f.k1);
      f.k2 = reversedLines(f.k2);
      break;
  }
  dir.write(kNameKeyFile, f.k1);
  dir.write(kCompanyKeyFile, f.k2);
  dir.write(kDataFile, f.dat);
}

}  // namespace kx::fuzz
