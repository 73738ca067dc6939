// Start-up on whatever a store folder may hold: the three store files, a
// commit record and the temporaries of a rewrite cut short. Input: a byte
// whose bits say which of kFiles exist, then their bytes in that order,
// separated by "~~~~".
// After the load: a rewrite whose record was in place is complete and one
// without is gone; the tables are consistent; a sound store keeps every byte
// of its files, saves, and loads again to the same tables; a store loaded
// read-only refuses to save and its files stay as they were.
#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/check.h"
#include "fuzz/support/pieces.h"
#include "fuzz/support/scratch_dir.h"
#include "fuzz/support/store_checks.h"
#include "store/atomic_files.h"
#include "store/store_files.h"

namespace {

using namespace kx;
using namespace kx::fuzz;

const std::string kStoreFiles[] = {kNameKeyFile, kCompanyKeyFile, kDataFile};
const std::string kFiles[] = {kNameKeyFile,
                              kCompanyKeyFile,
                              kDataFile,
                              kCommitRecordName,
                              std::string(kNameKeyFile) + kTemporarySuffix,
                              std::string(kCompanyKeyFile) + kTemporarySuffix,
                              std::string(kDataFile) + kTemporarySuffix};
constexpr std::string_view kSeparator = "~~~~";
// A damaged store shows a handful of boxes; a sound one also its key order
// messages, up to the usual bound, and what it could not open.
constexpr std::size_t kMostMessagesReadOnly = 5;
constexpr std::size_t kMostMessagesSound = kShownLineProblems + 4;

bool endsWith(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Each file's bytes, nothing for a file that does not exist.
std::vector<std::optional<std::string>> filesOf(const std::uint8_t* data, std::size_t size) {
  std::vector<std::optional<std::string>> files;
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  for (std::size_t i = 0; i < std::size(kFiles); ++i) {
    const std::size_t end = std::min(rest.find(kSeparator), rest.size());
    if (data[0] & (1u << i)) files.emplace_back(rest.substr(0, end));
    else files.emplace_back();
    rest.remove_prefix(std::min(end + kSeparator.size(), rest.size()));
  }
  return files;
}

// The store files once the recovery is done: those the commit record names
// and whose temporary is there are the temporary's bytes, the rest as they were.
std::map<std::string, std::optional<std::string>> recovered(
    const std::vector<std::optional<std::string>>& files) {
  std::set<std::string> named;
  if (files[3]) {
    std::string_view record = *files[3];
    while (!record.empty()) {
      const std::size_t lf = std::min(record.find('\n'), record.size());
      named.emplace(record.substr(0, lf));
      record.remove_prefix(std::min(lf + 1, record.size()));
    }
  }
  std::map<std::string, std::optional<std::string>> out;
  for (std::size_t i = 0; i < 3; ++i)
    out[kStoreFiles[i]] = files[i + 4] && named.count(kStoreFiles[i]) ? files[i + 4] : files[i];
  return out;
}

// The saved file holds every byte the file held: each line as it was, filled
// out with spaces to its width, and nothing but spaces dropped past it. A
// key line's entry number may be written differently; a personal data number
// of four spaces becomes "0000".
void checkKeptEverything(const std::string& name, const std::string& before,
                         const std::string& saved) {
  const bool key = name != kDataFile;
  const std::size_t width = name == kNameKeyFile      ? 4 + kNameKeyWidth
                            : name == kCompanyKeyFile ? 4 + kCompanyKeyWidth
                                                      : kDataLineWidth;
  const std::vector<Piece> was = piecesOf(before), now = piecesOf(saved);
  KX_FUZZ_CHECK(was.size() == now.size(), name + ": line count changed by a save");
  for (std::size_t i = 0; i < was.size(); ++i) {
    const std::string where = name + " line " + std::to_string(i + 1);
    std::string expected = was[i].text;
    if (expected.size() > width) {
      KX_FUZZ_CHECK_NAMED("kept-bytes", expected.find_first_not_of(' ', width) == std::string::npos,
                          where + ": text past the line's width dropped by a save");
      expected.resize(width);
    }
    expected.resize(width, ' ');
    if (!key && expected.compare(kFieldOffset[PersonalNumber], 4, "    ") == 0)
      expected.replace(kFieldOffset[PersonalNumber], 4, "0000");
    const std::size_t from = key ? 4 : 0;
    KX_FUZZ_CHECK(now[i].text.size() == width, where + ": not its width after a save");
    KX_FUZZ_CHECK_NAMED("kept-bytes", now[i].text.compare(from, width, expected, from) == 0,
                        where + ": changed by a save");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const auto files = filesOf(data, size);
  const ScratchDir& dir = ScratchDir::fresh();
  for (std::size_t i = 0; i < files.size(); ++i)
    if (files[i]) dir.write(kFiles[i], *files[i]);
  const auto expected = recovered(files);

  // No file of the input holds more lines than the input has bytes.
  const int reach = static_cast<int>(std::min<std::size_t>(size + 1, kCapacity));
  // Start-up: the folder's lock first, then the recovery and the load.
  LoadedStore l;
  l.store = &freshStore(0, reach);
  StoreLock lock;
  l.sound = openStore(*l.store, dir.path(), l.messages, lock);
  KX_FUZZ_CHECK(lock.state() == StoreLock::State::Held, "the lock of a folder nobody uses");
  const Store& s = *l.store;

  for (const auto& [name, bytes] : expected)
    KX_FUZZ_CHECK(dir.read(name) == bytes, name + ": not what the recovery should leave");
  for (const std::string& name : dir.names())
    KX_FUZZ_CHECK(name != kCommitRecordName && !endsWith(name, kTemporarySuffix),
                  name + " left behind by the recovery");

  checkConsistent(s);
  KX_FUZZ_CHECK_NAMED(
      "startup-messages",
      l.messages.messages.size() <= (l.sound ? kMostMessagesSound : kMostMessagesReadOnly),
      std::to_string(l.messages.messages.size()) + " messages at start-up of a " +
          (l.sound ? "sound" : "read-only") + " store");
  KX_FUZZ_CHECK(l.sound == !s.readOnly, "read-only flag and load result disagree");

  VectorSink saveMessages;
  const bool saved = saveStore(*l.store, dir.path(), saveMessages);
  if (!l.sound) {
    KX_FUZZ_CHECK(!saved, "a store loaded read-only was saved");
    for (const auto& [name, bytes] : expected)
      KX_FUZZ_CHECK(dir.read(name) == bytes, name + ": written by a refused save");
    return 0;
  }
  KX_FUZZ_CHECK(saved && saveMessages.messages.empty(), "a sound store failed to save");
  for (const auto& [name, bytes] : expected) {
    const std::optional<std::string> now = dir.read(name);
    KX_FUZZ_CHECK(now.has_value(), name + ": missing after a save");
    checkKeptEverything(name, bytes.value_or(""), *now);
  }
  const LoadedStore again = loadFresh(dir.path(), 1, reach);
  KX_FUZZ_CHECK(again.sound, "a saved store reloads read-only");
  const std::string d = storeDifference(s, *again.store);
  KX_FUZZ_CHECK(d.empty(), "a saved store reloads differently: " + d);
  return 0;
}
