#include "exchange/import_support.h"

#include <cstdio>
#include <cstring>

#include "store/store_files.h"

namespace kx::detail {

std::string pathIn(const std::string& dir, const char* name) {
  return dir.empty() ? std::string(name) : dir + "/" + name;
}

std::string formatInts(const char* format, int a, int b) {
  char buf[256];
  std::snprintf(buf, sizeof buf, format, a, b);
  return buf;
}

bool refuseImport(const Store& s, MessageSink& sink) {
  if (refuseIfReadOnly(s, sink)) return true;
  // A full store refuses even an overwrite, which would empty it.
  if (s.count() >= kCapacity) {
    sink.show(formatInts("INPUT RECORD EXCEED MAX : MAX=%d\n", kCapacity));
    return true;
  }
  return false;
}

int highestPersonalNumber(const Store& s) {
  int highest = 0;
  for (int e = 0; e <= s.lastIndex; ++e) {
    const char* n = s.field(e, PersonalNumber);
    if (std::memcmp(n, "0000", 4) == 0) continue;
    // As the load reads it: leading white space and a sign, then digits up
    // to the first other byte.
    int i = 0, v = 0;
    while (i < 4 && (n[i] == ' ' || (n[i] >= '\t' && n[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < 4 && (n[i] == '+' || n[i] == '-')) negative = n[i++] == '-';
    for (; i < 4 && n[i] >= '0' && n[i] <= '9'; ++i) v = v * 10 + (n[i] - '0');
    if (negative) v = -v;
    if (v > highest) highest = v;
  }
  return highest;
}

int commitImport(Store& s, int from, int count, const std::string& dir, MessageSink& sink,
                 bool save) {
  placeNewKeys(s, from, count);
  s.lastIndex = from + count - 1;
  s.highestNumber = highestPersonalNumber(s);
  if (!save || saveStore(s, dir, sink)) return 0;
  // The files are as they were: take the tables back from them rather than
  // keeping a copy of every key table on the way in. They loaded soundly
  // before, so the reload has nothing to say.
  VectorSink quiet;
  loadStore(s, dir, quiet);
  return 1;
}

void resetCursors(Cursors& cur) {
  cur.currentNamePos = 0;
  cur.currentCompanyPos = 0;
  cur.currentEntry = 0;
}

}  // namespace kx::detail
