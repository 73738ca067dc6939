// "SEL" in every search mode over a full store where every entry matches:
// in the program's own process (the marks and the rewrite of the data file,
// without the flush to disk), and as the whole program started on the store,
// the mode chosen, the text typed and SEL clicked, for the kana name and
// change-date modes.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/no_flush_file_system.h"
#include "search/selection.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "tests/support/store_fixture.h"

namespace {

namespace fs = std::filesystem;
using kx::fixture::TempDir;

constexpr double kToday = 20240315;

// What each mode's text finds in every entry of fullStore().
struct ModeText {
  int mode;
  const char* button;  // the main menu's button for the mode
  std::string text;
};

const std::vector<ModeText>& modeTexts() {
  static const std::vector<ModeText> t = {
      {1, "Button7", "\xB1\xB2"},  // ｱｲ
      {2, "Button9", "\xB6\xB7"},  // ｶｷ
      {3, "Button10", kx::sjisText(u8"山田")},
      {4, "Button11", kx::sjisText(u8"商事")},
      {5, "Button12", "0312"},
      {6, "Button13", "AL"},
      {7, "Button14", kx::sjisText(u8"商事")},
      {8, "Button15", "KEY"},
      {9, "Button17", "30"},
      {10, "Button16", "SEC"},
      {11, "Button18", "12"},
      {12, "", kx::sjisText(u8"山田")},
  };
  return t;
}

// 5000 entries, updated over the last 30 days, in a key order other than
// their entry order.
std::vector<kx::fixture::TestEntry> fullStoreEntries() {
  std::vector<kx::fixture::TestEntry> entries;
  for (int e = 0; e < kx::kCapacity; ++e) {
    const std::string n = std::to_string((e * 7919) % kx::kCapacity);
    char date[16];
    std::snprintf(date, sizeof date, "202403%02d", 1 + e % 15);
    kx::fixture::TestEntry t{"\xB1\xB2" + n, "\xB6\xB7" + n,  // ｱｲ, ｶｷ
                             {{kx::KanjiName, kx::sjisText(u8"山田 太郎") + n},
                              {kx::KanjiCompany, kx::sjisText(u8"山田商事")},
                              {kx::Alias, "AL" + n},
                              {kx::OfficePhone, "03-1234-" + n},
                              {kx::SearchKeys, "KEY" + n},
                              {kx::Secret1, "SEC" + n},
                              {kx::PersonalNumber, "0012"}}};
    entries.push_back(kx::fixture::withDefaults(t, "M", date));
  }
  return entries;
}

const TempDir& fullStoreDir() {
  static const TempDir d;
  static const bool written = [] {
    kx::fixture::writeFiles(d, kx::fixture::storeFiles(fullStoreEntries()));
    return true;
  }();
  (void)written;
  return d;
}

void BM_SelInProcess(benchmark::State& state) {
  const ModeText& m = modeTexts().at(static_cast<std::size_t>(state.range(0)) - 1);
  TempDir dir;
  fs::copy(fullStoreDir().path, dir.path, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  auto s = kx::makeStore();
  kx::VectorSink sink;
  if (!kx::loadStore(*s, dir.path, sink)) state.SkipWithError("store not loaded");
  s->fs = &kxbench::noFlush();
  for (auto _ : state) {
    kx::SearchState st;
    st.mode = static_cast<kx::SearchMode>(m.mode);
    const kx::SelResult r = kx::selectAll(*s, st, m.text, kToday, dir.path, sink);
    if (r.outcome != kx::SelOutcome::Saved || r.count != kx::kCapacity) {
      state.SkipWithError("SEL did not mark every entry");
      break;
    }
  }
}
BENCHMARK(BM_SelInProcess)->DenseRange(1, 12)->Unit(benchmark::kMillisecond);

std::string drivePath() {
  if (const char* p = std::getenv("KX_DRIVE")) return p;
  return (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "korvelix-drive")
      .string();
}

// The driver in dir reading the commands in file input, writing what it
// prints to file output; false unless it exited 0.
bool runDriver(const std::string& drive, const std::string& dir, const std::string& input,
               const std::string& output) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int in = ::open(input.c_str(), O_RDONLY);
    const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || ::chdir(dir.c_str()) != 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(out, 2);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::execl(drive.c_str(), drive.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The driver reads UTF-8 and "today" is the clock's: the day count reaches
// back to the entries' dates whatever the day.
void BM_SelWholeProgram(benchmark::State& state) {
  const ModeText& m = modeTexts().at(static_cast<std::size_t>(state.range(0)) - 1);
  std::string text;
  kx::appendUtf8(text, m.text);
  if (m.mode == 9) text = "99999";
  TempDir dir;
  fs::copy(fullStoreDir().path, dir.path, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  const std::string input = dir.file("commands.txt");
  std::ofstream(input) << "click Form1." << m.button << "\ntype Form1.Edit1 " << text
                       << "\nclick Form1.Button25\n";
  const std::string drive = drivePath(), output = dir.file("output.txt");
  // Once to warm the page cache and the font cache, and to see it mark all.
  runDriver(drive, dir.path, input, output);
  if (kx::fixture::readBytes(output).find("MSG 5000 RECORD SELECTED") == std::string::npos) {
    state.SkipWithError(("SEL did not mark every entry: " + kx::fixture::readBytes(output)).c_str());
    return;
  }
  for (auto _ : state) {
    if (!runDriver(drive, dir.path, input, output)) {
      state.SkipWithError(("driver failed: " + drive).c_str());
      break;
    }
  }
}
BENCHMARK(BM_SelWholeProgram)->Arg(1)->Arg(9)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
