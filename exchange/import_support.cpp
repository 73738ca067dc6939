#include "exchange/import_support.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "readings/reading_proposer.h"
#include "store/bytes.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "store/uids.h"

namespace kx::detail {

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
    highest = std::max(highest, leadingNumber(n, 4));  // as the load reads it
  }
  return highest;
}

int commitImport(Store& s, int from, int count, const std::string& dir, MessageSink& sink,
                 bool save, bool keepUids) {
  // A blank personal data number means none, as a load reads it: memory
  // then holds what the next start will.
  for (int e = from; e < from + count; ++e) {
    char* number = s.field(e, PersonalNumber);
    if (std::memcmp(number, "    ", 4) == 0) std::memcpy(number, "0000", 4);
    if (!keepUids || uidOf(s, e).empty()) setUid(s, e, randomUid());
  }
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

namespace {

bool blank(const char* text, int width) {
  for (int i = 0; i < width && text[i] != '\0'; ++i)
    if (text[i] != ' ') return false;
  return true;
}

// Fills a blank key from its kanji field; true when it was filled.
template <int W>
bool propose(char (&key)[W + 1], const char* kanji, int kanjiWidth, bool company) {
  if (!blank(key, W) || blank(kanji, kanjiWidth)) return false;
  const std::string_view text(kanji, kanjiWidth);
  const ReadingProposer& p = readingProposer();
  const auto reading = company ? p.company(text) : p.name(text);
  if (!reading) return false;
  putSjisBytes(key, W, *reading);
  return true;
}

}  // namespace

ProposedReadings proposeMissingReadings(Store& s, int from, int count) {
  ProposedReadings out;
  for (int e = from; e < from + count; ++e) {
    const int before = out.readings;
    out.readings += propose<kNameKeyWidth>(s.names.key[e], s.field(e, KanjiName),
                                           kFieldWidth[KanjiName], false);
    out.readings += propose<kCompanyKeyWidth>(s.companies.key[e], s.field(e, KanjiCompany),
                                              kFieldWidth[KanjiCompany], true);
    if (out.readings > before) out.entries.push_back(e);
  }
  return out;
}

std::string proposedReadingsLine(const ProposedReadings& p) {
  if (p.readings == 0) return {};
  return formatInts(
      sjisText(u8"読みを推測して入れました（念のため確かめてください）: %d件")
          .c_str(),
      p.readings);
}

}  // namespace kx::detail
