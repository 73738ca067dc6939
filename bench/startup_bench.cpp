// Start-up to the main menu shown, whole process: the driver with empty input
// in a directory holding a full store (5000 entries) against one holding an
// empty store. The full store should cost at most 1.2 times the empty one.
// The driver is found through KX_DRIVE, else next to the bench folder.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/full_store.h"
#include "store/model.h"

namespace {

namespace fs = std::filesystem;

std::string drivePath() {
  if (const char* p = std::getenv("KX_DRIVE")) return p;
  return (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "korvelix-drive")
      .string();
}

// Runs the driver in dir with empty input; false when it did not exit 0.
// The child's CPU time (user and system, seconds) goes to *cpu when given.
bool runDriver(const std::string& drive, const fs::path& dir, double* cpu = nullptr) {
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
  struct rusage usage {};
  if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid) return false;
  if (cpu) {
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
    *cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void startup(benchmark::State& state, int count) {
  const std::string drive = drivePath();
  const fs::path dir = kx::bench::makeStoreDir(count ? "startup-full" : "startup-empty", count);
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

// The program on a copy of the demo store to its first painted main menu,
// against a bare window of the same size shown and painted once
// (kx_bare_window, next to this benchmark), both whole processes, taken in
// turn so that both see the same load. Timed by the children's CPU time:
// on a shared machine their wall time is mostly waiting. The program should
// cost at most 1.5 times the bare window (the ratio counter).
void BM_StartupAgainstBareWindow(benchmark::State& state) {
  const std::string drive = drivePath();
  const std::string bare =
      (fs::read_symlink("/proc/self/exe").parent_path() / "kx_bare_window").string();
  const fs::path dir = fs::temp_directory_path() / ("kx-bench-demo-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::copy(KX_DEMO_STORE, dir, fs::copy_options::recursive);
  double program = 0, baseline = 0, cpu = 0;
  runDriver(drive, dir);  // warm the page cache and the font cache
  runDriver(bare, dir);
  for (auto _ : state) {
    if (!runDriver(drive, dir, &cpu)) {
      state.SkipWithError(("driver failed: " + drive).c_str());
      break;
    }
    program += cpu;
    state.SetIterationTime(cpu);
    if (!runDriver(bare, dir, &cpu)) {
      state.SkipWithError(("bare window failed: " + bare).c_str());
      break;
    }
    baseline += cpu;
  }
  fs::remove_all(dir);
  const double n = static_cast<double>(state.iterations());
  state.counters["program_ms"] = program / n * 1e3;
  state.counters["bare_ms"] = baseline / n * 1e3;
  state.counters["ratio"] = baseline > 0 ? program / baseline : 0;
}

BENCHMARK(BM_StartupAgainstBareWindow)->Unit(benchmark::kMillisecond)->UseManualTime()
    ->Iterations(40);
BENCHMARK(BM_StartupEmptyStore)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_StartupFullStore)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(7)->ReportAggregatesOnly(true);

}  // namespace
