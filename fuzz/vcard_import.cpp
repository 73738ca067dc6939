// The vCard import. Input: a byte choosing the base store (bits 0-1) and
// whether the cards come as one file or a folder of files (bit 2), then the
// bytes; a folder's files are the pieces between "\n==\n" separators. A
// refused import leaves every file; an accepted one reloads equal to
// memory, lets no control character into a field or key, and its entries
// come back the same from an export imported again.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "exchange/vcard/vcard.h"
#include "fuzz/support/base_stores.h"
#include "fuzz/support/check.h"
#include "fuzz/support/import_run.h"
#include "store/store_files.h"

namespace {

using namespace kx;
using namespace kx::fuzz;

// Every file of the folder: what a refused import must leave as it was.
std::string everyFile(const ScratchDir& dir) {
  std::string all;
  std::vector<std::string> names = dir.names();
  std::sort(names.begin(), names.end());
  for (const std::string& n : names) all += n + "=" + dir.read(n).value_or("<dir>") + "|";
  return all;
}

bool hasControl(const char* slot) {
  for (const char* p = slot; *p != '\0'; ++p)
    if (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7F) return true;
  return false;
}

// The first field or key of entries from .. last holding a control character.
std::string controlIn(const Store& s, int from) {
  for (int e = from; e <= s.lastIndex; ++e) {
    for (int f = 0; f < kFieldCount; ++f)
      if (hasControl(s.field(e, f))) return std::to_string(e) + "/" + std::to_string(f);
    if (hasControl(s.names.key[e]) || hasControl(s.companies.key[e])) return std::to_string(e);
  }
  return {};
}

bool blankKey(const char* key) {
  for (; *key != '\0'; ++key)
    if (*key != ' ') return false;
  return true;
}

// Keys blank in `like` are left out: an import proposes a reading for them.
std::string entriesFrom(const Store& s, int from, const Store& like) {
  std::string out;
  for (int e = from; e <= s.lastIndex; ++e) {
    for (int f = 0; f < kFieldCount; ++f) out.append(s.field(e, f)) += '|';
    const char* name = like.names.key[like.names.posMap[e]];
    const char* company = like.companies.key[like.companies.posMap[e]];
    out.append(blankKey(name) ? "" : s.names.key[s.names.posMap[e]]) += '|';
    out.append(blankKey(company) ? "" : s.companies.key[s.companies.posMap[e]]) += '\n';
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int base = data[0] % kBaseStoreCount;
  const bool folder = data[0] & 4;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  ImportRun run(base, "cards.vcf", folder ? std::string() : bytes);
  if (folder) {
    std::size_t at = 0;
    for (int n = 0; at <= bytes.size(); ++n) {
      std::size_t end = bytes.find("\n==\n", at);
      if (end == std::string::npos) end = bytes.size();
      run.dir.write("f" + std::to_string(n) + ".vcf", bytes.substr(at, end - at));
      at = end + 4;
    }
  }
  const std::string before = everyFile(run.dir);
  Store& s = *run.store.store;
  const int held = s.count();
  const std::string path = folder ? run.dir.path() : run.dir.file("cards.vcf");
  const int rc = importVcards(s, run.dir.path(), path, run.messages);
  run.checkAfter(rc);
  if (rc != 0) {
    KX_FUZZ_CHECK(everyFile(run.dir) == before, "a refused vCard import changed a file");
    return 0;
  }
  const std::string control = controlIn(s, held);
  KX_FUZZ_CHECK(control.empty(), "a control character in entry " + control);

  // Export what was imported and import it into an empty store again.
  VectorSink m;
  VcardExportOptions o;
  KX_FUZZ_CHECK(exportVcards(s, run.dir.path(), run.dir.file("out.vcf"), o, m) == 0,
                "export after an import failed");
  static const std::unique_ptr<Store> again = makeStore();
  again->lastIndex = -1;
  VcardImportOptions io;
  io.save = false;
  KX_FUZZ_CHECK(importVcards(*again, run.dir.path(), run.dir.file("out.vcf"), m, io) == 0,
                "an export could not be imported again");
  KX_FUZZ_CHECK_NAMED("vcard-round-trip", entriesFrom(*again, 0, s) == entriesFrom(s, 0, s),
                      "an export imported again gives other fields");
  return 0;
}
