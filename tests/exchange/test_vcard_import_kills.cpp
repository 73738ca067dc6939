// A vCard import with photos stopped at every file operation, as a kill
// would stop it: the next start finds the whole import or none of it, and
// never a photo that no entry's number names.
#include <stdexcept>

#include "exchange/vcard/vcard.h"
#include "tests/support/failing_file_system.h"
#include "vcard_test_support.h"

namespace kx {
namespace {

using namespace vctest;
using fixture::FailingFileSystem;

struct Crash : std::runtime_error {
  Crash() : std::runtime_error("stopped") {}
};

std::string photoCard(const std::string& name, const std::string& number, int size) {
  return "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:" + name + "\r\nN:" + name + ";;;;\r\n" + number +
         "PHOTO:data:image/jpeg;base64," + base64(greyJpeg(size, 8)) + "\r\nEND:VCARD\r\n";
}

// The photo files of the folder.
std::vector<std::string> photos(const TempDir& d) {
  std::vector<std::string> out;
  for (const auto& [name, bytes] : folderImage(d))
    if (name.rfind("PSNL", 0) == 0) out.push_back(name);
  return out;
}

TEST(VcardImportKilled, AtEveryOperationAllOrNothingAndNoStrayPhoto) {
  TempDir cards;
  const std::string path = cards.file("c.vcf");
  writeBytes(path, photoCard("a", "X-KORVELIX-NUMBER:0042\r\n", 16) + photoCard("b", "", 24) +
                       photoCard("c", "", 32));
  bool finished = false;
  for (int stopAt = 1; !finished && stopAt < 200; ++stopAt) {
    TempDir d;
    writeFiles(d, storeFiles({{"\xB1", "\xB1", {{PersonalNumber, "0007"}}}}));
    auto s = loaded(d);
    FailingFileSystem fs;
    s->fs = &fs;
    fs.hook = [&](FailingFileSystem::Call, const std::string&) {
      if (fs.calls == stopAt) throw Crash();
      return 0;
    };
    VectorSink sink;
    try {
      finished = importVcards(*s, d.path, path, sink) == 0;
    } catch (const Crash&) {
    }
    // The next start.
    auto again = loaded(d);
    std::vector<std::string> named;
    for (int e = 0; e <= again->lastIndex; ++e) {
      const std::string n(again->field(e, PersonalNumber), 4);
      if (n != "0000" && n != "0007") named.push_back(photoFileName(n));
    }
    std::sort(named.begin(), named.end());
    ASSERT_TRUE(again->count() == 1 || again->count() == 4) << stopAt;
    EXPECT_EQ(photos(d), named) << stopAt;
    EXPECT_EQ(named.size(), again->count() == 4 ? 3u : 0u) << stopAt;
    for (const auto& [name, bytes] : folderImage(d))
      EXPECT_FALSE(fixture::endsWith(name, kTemporarySuffix)) << stopAt << name;
  }
  EXPECT_TRUE(finished);
}

}  // namespace
}  // namespace kx
