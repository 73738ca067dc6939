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

namespace {

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

}  // namespace

int replaceControlCharacters(char* slot, std::size_t width) {
  const std::size_t len = strnlen(slot, width);
  std::size_t i = 0;
  while (i < len && !isControl(static_cast<unsigned char>(slot[i]))) ++i;
  if (i == len) return 0;  // the common case: nothing to do
  // No trail byte of a double-byte character is a control character, so
  // one seen here is one of its own.
  std::string out(slot, i);
  int replaced = 0;
  for (; i < len; ++i) {
    const unsigned char c = static_cast<unsigned char>(slot[i]);
    if (!isControl(c)) {
      out += static_cast<char>(c);
      continue;
    }
    ++replaced;
    if (c == '\n' || c == '\r' || c == '\t') out += ' ';
    else out += "\x81\xAC";  // 〓
  }
  if (out.size() > width) {
    // Cut where a character ends.
    std::size_t whole = 0;
    for (std::size_t k = 0; k < out.size();) {
      const std::size_t n = isShiftJisLead(static_cast<unsigned char>(out[k])) ? 2 : 1;
      if (k + n > width) break;
      k += n;
      whole = k;
    }
    out.resize(whole);
  }
  if (out.size() < len) out.append(len - out.size(), ' ');
  std::memcpy(slot, out.data(), out.size());
  slot[out.size()] = '\0';
  return replaced;
}

int replaceControlCharacters(Store& s, int from, int count) {
  int replaced = 0;
  for (int e = from; e < from + count; ++e) {
    for (int f = 0; f < kFieldCount; ++f)
      replaced += replaceControlCharacters(s.field(e, f), static_cast<std::size_t>(kFieldWidth[f]));
    replaced += replaceControlCharacters(s.names.key[e], kNameKeyWidth);
    replaced += replaceControlCharacters(s.companies.key[e], kCompanyKeyWidth);
  }
  return replaced;
}

std::string controlCharactersNote(int replaced) {
  return formatInts(sjisText(u8"制御文字を置き換えました: %d文字").c_str(), replaced);
}

int commitImport(Store& s, int from, int count, const std::string& dir, MessageSink& sink,
                 bool save, bool keepUids, int* replaced, std::vector<NewFile> extra) {
  // Checked here, once, whatever file the entries came from.
  const int controls = replaceControlCharacters(s, from, count);
  if (replaced) *replaced = controls;
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
  if (!save || saveStore(s, dir, sink, std::move(extra))) return 0;
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
