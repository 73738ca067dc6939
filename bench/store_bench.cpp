// The store's load, save and batch key placement against the plain file I/O
// they are built on. Wanted: load <= 2x reading the bytes, save (without the
// flush to disk) <= 2x writing them, placing 5000 keys <= 3x a load.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/no_flush_file_system.h"
#include "store/atomic_files.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "tests/support/store_fixture.h"

namespace {

constexpr int kEntries = 5000;

// A directory holding a 5000-entry store, removed at exit.
struct BenchStore {
  kx::fixture::TempDir tmp;
  std::string dir = tmp.path;
  std::string k1, k2, dat;

  BenchStore() {
    std::mt19937 rng(1);
    // "ｱ" "ｶ" "ｻ" "ﾀ" "ﾅ" "ﾊ" "ﾏ" "ﾔ" "ﾗ" "ﾜ"
    const char* kana[] = {"\xB1", "\xB6", "\xBB", "\xC0", "\xC5", "\xCA", "\xCF", "\xD4", "\xD7", "\xDC"};
    auto key = [&](int parts) {
      std::string k;
      for (int i = 0; i < parts; ++i) k += kana[rng() % 10];
      return k;
    };
    std::vector<kx::fixture::TestEntry> entries;
    for (int e = 0; e < kEntries; ++e) {
      kx::fixture::TestEntry t;
      t.kana = key(6);
      t.company = key(4);
      for (int f = 0; f < kx::kFieldCount; ++f)
        t.fields[f] = f == kx::PersonalNumber ? "0000" : kx::sjisText(u8"山田太郎") + key(3);
      entries.push_back(t);
    }
    const kx::fixture::Files files = kx::fixture::storeFiles(entries);
    k1 = files.k1;
    k2 = files.k2;
    dat = files.dat;
    writeAll();
  }

  std::string path(const char* name) const { return dir + "/" + name; }

  void writeFile(const char* name, const std::string& bytes) const {
    const int fd = ::open(path(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
      std::abort();
    ::close(fd);
  }
  void writeAll() const {
    writeFile(kx::kNameKeyFile, k1);
    writeFile(kx::kCompanyKeyFile, k2);
    writeFile(kx::kDataFile, dat);
  }
};

// The store the load and the plain read read. Never rewritten: how a file
// was last written (in one piece or many) changes how fast the system hands
// it out, so the two must always read the same files.
BenchStore& benchStore() {
  static BenchStore s;
  return s;
}

// The store the save and the plain write rewrite.
BenchStore& rewrittenStore() {
  static BenchStore s;
  return s;
}

class NullSink : public kx::MessageSink {
 public:
  void show(const std::string&) override {}
};

std::string readFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  struct stat st {};
  ::fstat(fd, &st);
  std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t r = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (r <= 0) break;
    got += static_cast<std::size_t>(r);
  }
  ::close(fd);
  return bytes;
}

void BM_ReadStoreFileBytes(benchmark::State& state) {
  BenchStore& b = benchStore();
  for (auto _ : state) {
    std::string k1 = readFile(b.path(kx::kNameKeyFile));
    std::string k2 = readFile(b.path(kx::kCompanyKeyFile));
    std::string dat = readFile(b.path(kx::kDataFile));
    benchmark::DoNotOptimize(k1.data());
    benchmark::DoNotOptimize(k2.data());
    benchmark::DoNotOptimize(dat.data());
  }
}
BENCHMARK(BM_ReadStoreFileBytes)->Unit(benchmark::kMillisecond);

void BM_LoadStore(benchmark::State& state) {
  BenchStore& b = benchStore();
  auto s = kx::makeStore();
  NullSink sink;
  for (auto _ : state) {
    if (!kx::loadStore(*s, b.dir, sink)) std::abort();
    benchmark::DoNotOptimize(s->lastIndex);
  }
}
BENCHMARK(BM_LoadStore)->Unit(benchmark::kMillisecond);

void BM_WriteStoreFileBytes(benchmark::State& state) {
  BenchStore& b = rewrittenStore();
  for (auto _ : state) b.writeAll();
}
BENCHMARK(BM_WriteStoreFileBytes)->Unit(benchmark::kMillisecond);

void BM_SaveStoreWithoutFlush(benchmark::State& state) {
  BenchStore& b = rewrittenStore();
  b.writeAll();
  auto s = kx::makeStore();
  NullSink sink;
  if (!kx::loadStore(*s, b.dir, sink)) std::abort();
  s->fs = &kxbench::noFlush();
  for (auto _ : state)
    if (!kx::saveStore(*s, b.dir, sink)) std::abort();
}
BENCHMARK(BM_SaveStoreWithoutFlush)->Unit(benchmark::kMillisecond);

// The load of a store as the program's own save left it, the usual case
// after an update or a deletion: against BM_LoadStore, what writing the data
// file in pieces costs a later load.
void BM_LoadStoreAsSaved(benchmark::State& state) {
  BenchStore& b = rewrittenStore();
  auto s = kx::makeStore();
  NullSink sink;
  if (!kx::loadStore(*s, b.dir, sink)) std::abort();
  s->fs = &kxbench::noFlush();
  if (!kx::saveStore(*s, b.dir, sink)) std::abort();
  for (auto _ : state) {
    if (!kx::loadStore(*s, b.dir, sink)) std::abort();
    benchmark::DoNotOptimize(s->lastIndex);
  }
}
BENCHMARK(BM_LoadStoreAsSaved)->Unit(benchmark::kMillisecond);

// 5000 imported entries placed into an empty store, their keys in file order.
void BM_PlaceNewKeys(benchmark::State& state) {
  BenchStore& b = benchStore();
  auto fresh = kx::makeStore();
  std::mt19937 rng(2);
  // "ｱ" "ｶ" "ｻ" "ﾀ" "ﾅ" "ﾊ" "ﾏ" "ﾔ" "ﾗ" "ﾜ"
  const char* kana[] = {"\xB1", "\xB6", "\xBB", "\xC0", "\xC5", "\xCA", "\xCF", "\xD4", "\xD7", "\xDC"};
  for (int e = 0; e < kEntries; ++e) {
    std::string name, company;
    for (int i = 0; i < 6; ++i) name += kana[rng() % 10];
    for (int i = 0; i < 4; ++i) company += kana[rng() % 10];
    std::strcpy(fresh->names.key[e], kx::fixture::pad(name, kx::kNameKeyWidth).c_str());
    std::strcpy(fresh->companies.key[e], kx::fixture::pad(company, kx::kCompanyKeyWidth).c_str());
  }
  auto s = kx::makeStore();
  (void)b;
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(&s->names, &fresh->names, sizeof s->names);
    std::memcpy(&s->companies, &fresh->companies, sizeof s->companies);
    state.ResumeTiming();
    kx::placeNewKeys(*s, 0, kEntries);
    benchmark::DoNotOptimize(s->names.index[0]);
  }
}
BENCHMARK(BM_PlaceNewKeys)->Unit(benchmark::kMillisecond);

}  // namespace
