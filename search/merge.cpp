#include "search/merge.h"

#include <sys/stat.h>

#include <cstring>

#include "store/file_names.h"
#include "store/history/change_note.h"
#include "store/person_files.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "store/uids.h"

namespace kx {

namespace {

std::string trimmedEnd(const char* p, std::size_t width) {
  std::size_t n = strnlen(p, width);
  while (n > 0 && p[n - 1] == ' ') --n;
  return std::string(p, n);
}

// Slot text padded out to its width.
std::string padded(const char* p, std::size_t width) {
  std::string t(p, strnlen(p, width));
  t.resize(width, ' ');
  return t;
}

// The key file without `other`'s line (later entries numbered one less)
// and with `keep`'s line holding `key`, placed behind every key not greater.
template <int W>
std::string mergedKeyFile(const KeyTable<W>& t, int last, int keep, int other,
                          const std::string& key) {
  auto renumbered = [other](int n) { return n > other ? n - 1 : n; };
  std::string out;
  bool placed = false;
  for (int p = 0; p <= last; ++p) {
    const int n = t.index[p];
    if (n == other || n == keep) continue;
    const std::string stored = padded(t.key[p], W);
    if (!placed && stored > key) {
      appendKeyFileLine(out, renumbered(keep), key.c_str(), W);
      placed = true;
    }
    appendKeyFileLine(out, renumbered(n), stored.c_str(), W);
  }
  if (!placed) appendKeyFileLine(out, renumbered(keep), key.c_str(), W);
  return out;
}

bool exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::string fieldText(const Store& s, int e, int f) {
  return trimmedEnd(s.field(e, f), static_cast<std::size_t>(kFieldWidth[f]));
}

std::string nameKeyText(const Store& s, int e) {
  return trimmedEnd(s.names.key[s.names.posMap[e]], kNameKeyWidth);
}

std::string companyKeyText(const Store& s, int e) {
  return trimmedEnd(s.companies.key[s.companies.posMap[e]], kCompanyKeyWidth);
}

MergeChoice proposeMerge(const Store& s, int keep, int other) {
  MergeChoice m;
  m.keep = keep;
  m.other = other;
  const bool otherNewer = fieldText(s, other, UpdateDate) > fieldText(s, keep, UpdateDate);
  // Takes the other's value when it is the newer non-blank one.
  auto pick = [otherNewer](const std::string& mine, const std::string& theirs) {
    if (theirs.empty()) return false;
    return otherNewer || mine.empty();
  };
  for (int f = 0; f < kFieldCount; ++f) {
    const bool blankNumber = f == PersonalNumber && fieldText(s, other, f) == "0000";
    m.fromOther[f] = !blankNumber && pick(fieldText(s, keep, f), fieldText(s, other, f));
  }
  m.nameKeyFromOther = pick(nameKeyText(s, keep), nameKeyText(s, other));
  m.companyKeyFromOther = pick(companyKeyText(s, keep), companyKeyText(s, other));
  return m;
}

std::vector<std::string> strandedFiles(const Store& s, const MergeChoice& m,
                                       const std::string& dir) {
  std::vector<std::string> names;
  const std::string lost = personalNumber(s, m.other);
  const std::string kept = personalNumber(s, m.fromOther[PersonalNumber] ? m.other : m.keep);
  if (!hasPersonalNumber(lost) || lost == kept) return names;
  for (const std::string& name : {photoFileName(lost), textFileName(lost), descFileName(lost)})
    if (exists(joinPath(dir, name))) names.push_back(name);
  return names;
}

std::optional<int> mergeEntries(Store& s, const MergeChoice& m, const std::string& dir,
                                MessageSink& sink) {
  if (refuseIfReadOnly(s, sink)) return std::nullopt;
  if (m.keep == m.other || m.keep < 0 || m.other < 0 || m.keep > s.lastIndex ||
      m.other > s.lastIndex)
    return std::nullopt;
  const std::vector<std::string> stranded = strandedFiles(s, m, dir);
  std::string merged;
  for (int f = 0; f < kFieldCount; ++f)
    merged += padded(s.field(m.fromOther[f] ? m.other : m.keep, f),
                     static_cast<std::size_t>(kFieldWidth[f]));
  merged += "\r\n";
  const int nameFrom = m.nameKeyFromOther ? m.other : m.keep;
  const int companyFrom = m.companyKeyFromOther ? m.other : m.keep;

  std::vector<NewFile> files(3);
  files[0] = {kNameKeyFile,
              mergedKeyFile(s.names, s.lastIndex, m.keep, m.other,
                            padded(s.names.key[s.names.posMap[nameFrom]], kNameKeyWidth))};
  files[1] = {
      kCompanyKeyFile,
      mergedKeyFile(s.companies, s.lastIndex, m.keep, m.other,
                    padded(s.companies.key[s.companies.posMap[companyFrom]], kCompanyKeyWidth))};
  const std::string all = dataFileBytes(s);
  constexpr std::size_t kLine = kDataLineWidth + 2;
  std::string data;
  data.reserve(all.size());
  for (int n = 0; n <= s.lastIndex; ++n) {
    if (n == m.other) continue;
    if (n == m.keep)
      data += merged;
    else
      data.append(all, static_cast<std::size_t>(n) * kLine, kLine);
  }
  files[2] = {kDataFile, std::move(data)};
  // The kept entry keeps its UID; the other's goes with its line, so a sync
  // that knew it sees it deleted here and removes its card.
  files.push_back({kUidFile, uidFileBytes(s, s.lastIndex, m.other)});
  history::noteChange(s, "merge", u8"統合",
                      history::entryLabel(s, m.keep) + " / " + history::entryLabel(s, m.other));
  const FailureMessages failed = {kRewriteFailedMessage, kRewriteFailedMessage,
                                  kRewriteFailedMessage};
  if (replaceStoreFiles(s, dir, files, failed, sink) == Replaced::NotDone) return std::nullopt;
  loadStore(s, dir, sink);
  const int kept = m.keep > m.other ? m.keep - 1 : m.keep;
  if (!stranded.empty()) {
    std::string text =
        sjisText(u8"統合した個人の番号を持たなくなったファイル（そのまま残してあります）:");
    for (const std::string& n : stranded) text += "\n" + n;
    sink.show(text);
  }
  return kept;
}

}  // namespace kx
