// An import keeps at most one photo in memory: its peak does not grow with
// the number of photos it brings.
#include <fstream>

#include "exchange/vcard/vcard.h"
#include "vcard_test_support.h"

namespace kx {
namespace {

using namespace vctest;

// The process's peak resident memory in KiB since it was last reset.
long peakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

TEST(VcardImportMemory, PhotosDoNotAddUp) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer keeps freed memory resident";
#endif
  TempDir d, cards;
  writeFiles(d, storeFiles({}));
  constexpr int kPhotos = 16;
  // A small picture made about 2.8 MB by comment segments, so that every
  // photo decodes quickly and is kept.
  std::string photo = greyJpeg(64, 64);
  std::string comments;
  for (int i = 0; i < 43; ++i) comments += std::string("\xFF\xFE\xFF\xFF") + std::string(65533, 'x');
  photo.insert(2, comments);
  ASSERT_GT(photo.size(), 2'500'000u);
  const std::string b64 = base64(photo);
  for (int i = 0; i < kPhotos; ++i)
    writeBytes(cards.file("c" + num4(i) + ".vcf"),
               "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:p\r\nN:p" + std::to_string(i) +
                   ";;;;\r\nPHOTO:data:image/jpeg;base64," + b64 + "\r\nEND:VCARD\r\n");
  auto s = loaded(d);
  VectorSink sink;
  resetPeak();
  const long before = peakKiB();
  ASSERT_GT(before, 0);
  ASSERT_EQ(importVcards(*s, d.path, cards.path, sink), 0) << sink.messages.at(0);
  // Every photo held at once would be 45 MB; one at a time, with its card
  // file and its text, a few times one photo.
  EXPECT_LT(peakKiB() - before, 25 * 1024);
  EXPECT_EQ(readBytes(d.file("PSNL0001.JPG")), photo);
  EXPECT_EQ(readBytes(d.file(photoFileName(num4(kPhotos)))), photo);
}

}  // namespace
}  // namespace kx
