// Start-up to the main menu shown, whole process: the driver with empty input
// in a directory holding a full store (5000 entries) against one holding an
// empty store. The full store should cost at most 1.2 times the empty one.
// The driver is found through KX_DRIVE, else next to the bench folder.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "store/model.h"

namespace {

namespace fs = std::filesystem;

std::string drivePath() {
  if (const char* p = std::getenv("KX_DRIVE")) return p;
  return (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "korvelix-drive")
      .string();
}

// A key of half-width katakana that sorts as n does.
std::string kanaKey(int n, int width) {
  std::string k;
  for (int d = 0; d < 4; ++d) {
    k.insert(k.begin(), static_cast<char>(0xB1 + n % 40));
    n /= 40;
  }
  k += " \xC0\xDB\xB3";  // " ﾀﾛｳ"
  k.resize(width, ' ');
  return k;
}

void writeFile(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

// The three store files with `count` entries, keys in a different order from
// the entries so the load's position maps do real work.
fs::path makeStoreDir(const char* tag, int count) {
  fs::path dir = fs::temp_directory_path() / ("kx-bench-startup-" + std::string(tag) + "-" +
                                              std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string data, k1, k2;
  std::vector<std::pair<std::string, int>> names, companies;
  const std::string kanji = "\x8E\x52\x93\x63 \x91\xBE\x98\x59";  // "山田 太郎"
  for (int n = 0; n < count; ++n) {
    std::string line;
    for (int f = 0; f < kx::kFieldCount; ++f) {
      std::string v = f == kx::PersonalNumber ? "0000" : kanji;
      v.resize(kx::kFieldWidth[f], ' ');
      line += v;
    }
    data += line + "\r\n";
    names.emplace_back(kanaKey((n * 7919) % count, kx::kNameKeyWidth), n);
    companies.emplace_back(kanaKey((n * 104729) % count, kx::kCompanyKeyWidth), n);
  }
  std::stable_sort(names.begin(), names.end());
  std::stable_sort(companies.begin(), companies.end());
  char num[8];
  for (auto& [key, n] : names) {
    std::snprintf(num, sizeof num, "%04d", n);
    k1 += num + key + "\r\n";
  }
  for (auto& [key, n] : companies) {
    std::snprintf(num, sizeof num, "%04d", n);
    k2 += num + key + "\r\n";
  }
  writeFile(dir / "KORVELIX.DAT", data);
  writeFile(dir / "KORVELIX.k1", k1);
  writeFile(dir / "KORVELIX.k2", k2);
  return dir;
}

// Runs the driver in dir with empty input; false when it did not exit 0.
bool runDriver(const std::string& drive, const fs::path& dir) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    if (null < 0 || ::chdir(dir.c_str()) != 0) ::_exit(127);
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::execl(drive.c_str(), drive.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void startup(benchmark::State& state, int count) {
  const std::string drive = drivePath();
  const fs::path dir = makeStoreDir(count ? "full" : "empty", count);
  runDriver(drive, dir);  // warm the page cache and the font cache
  for (auto _ : state) {
    if (!runDriver(drive, dir)) {
      state.SkipWithError(("driver failed: " + drive).c_str());
      break;
    }
  }
  fs::remove_all(dir);
}

void BM_StartupEmptyStore(benchmark::State& state) { startup(state, 0); }
void BM_StartupFullStore(benchmark::State& state) { startup(state, kx::kCapacity); }

BENCHMARK(BM_StartupEmptyStore)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_StartupFullStore)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(7)->ReportAggregatesOnly(true);

}  // namespace
