// A card file that another program truncates and writes again while it is
// imported: each import takes the whole file or refuses it with a message,
// and the program never dies of it.
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "exchange/vcard/vcard.h"
#include "vcard_test_support.h"

namespace kx {
namespace {

using namespace vctest;

constexpr int kCards = 3000;

std::string manyCards() {
  std::string out;
  for (int i = 0; i < kCards; ++i)
    out += "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:card " + std::to_string(i) +
           "\r\nNOTE:" + std::string(200, 'n') + "\r\nEND:VCARD\r\n";
  return out;
}

// Until killed: the file emptied, then written whole in one call.
[[noreturn]] void churn(const std::string& path, const std::string& bytes) {
  // Dies with the importer, however that ends.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  for (;;) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
    if (fd >= 0) {
      if (::write(fd, bytes.data(), bytes.size()) < 0) _exit(1);
      ::close(fd);
    }
  }
}

// Imports the file again and again while another process rewrites it; the
// exit code says what went wrong, 0 for nothing.
int importWhileRewritten(const TempDir& d, const std::string& path, const std::string& bytes) {
  const pid_t writer = ::fork();
  if (writer == 0) churn(path, bytes);
  int whole = 0;
  int refused = 0;
  for (int round = 0; round < 60; ++round) {
    auto s = makeStore();
    VectorSink sink;
    if (!loadStore(*s, d.path, sink)) return 3;
    VcardImportOptions o;
    o.save = false;
    const int before = s->count();
    if (importVcards(*s, d.path, path, sink, o) == 0) {
      // What was read was one whole state of the file.
      if (s->count() - before != kCards) return 4;
      ++whole;
    } else {
      if (sink.messages.empty() || s->count() != before) return 5;
      ++refused;
    }
  }
  ::kill(writer, SIGKILL);
  ::waitpid(writer, nullptr, 0);
  return whole + refused == 60 ? 0 : 6;
}

TEST(VcardTruncated, ImportWhileAnotherProgramRewritesTheFile) {
  TempDir d, cards;
  writeFiles(d, storeFiles({}));
  const std::string path = cards.file("c.vcf"), bytes = manyCards();
  writeBytes(path, bytes);
  // Run apart: an import that faults dies of its signal, which the check sees.
  EXPECT_EXIT(std::exit(importWhileRewritten(d, path, bytes)), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace kx
