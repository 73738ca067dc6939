#include "search/selection.h"

#include <vector>

#include "search/change_date.h"
#include "search/search.h"
#include "store/history/change_note.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "store/text.h"

namespace kx {

namespace {

SelOutcome save(Store& s, const std::string& dir, MessageSink& sink, std::u8string_view what) {
  history::noteChange(s, "select", u8"選択", sjisText(what));
  return saveData(s, dir, sink) ? SelOutcome::Saved : SelOutcome::SaveFailed;
}

void setFlag(Store& s, int e, const char* flag) { paddedCopy(s.field(e, SelectFlag), flag, 1); }

}  // namespace

SelResult selectAll(Store& s, SearchState& st, const std::string& text, double today,
                    const std::string& dir, MessageSink& sink) {
  if (refuseIfReadOnly(s, sink)) return {SelOutcome::Refused, 0};
  int count = 0;
  std::optional<EntryPlace> last;
  // Every step resumes after the last match in both orders, so each entry
  // is found at most once; the bound only guards against a broken table.
  for (Found found = searchFirst(s, st, text, today); found && count <= s.lastIndex;
       found = searchNext(s, found->entry, st, text, today)) {
    setFlag(s, found->entry, "1");
    ++count;
    last = found;
    if (st.mode == kModeChangeDate) {
      // Each change-date step passes over the whole store: the rest of the
      // walk in one pass instead.
      std::vector<int> rest;
      changeDateRest(s, found->entry, st, rest);
      for (const int e : rest) setFlag(s, e, "1");
      count += static_cast<int>(rest.size());
      if (!rest.empty()) last = placeOf(s, rest.back());
      break;
    }
  }
  return {save(s, dir, sink, u8"検索結果に印"), count, last};
}

SelOutcome selectCurrent(Store& s, int e, const std::string& dir, MessageSink& sink) {
  if (refuseIfReadOnly(s, sink)) return SelOutcome::Refused;
  if (e >= 0 && e <= s.lastIndex && e < kCapacity) setFlag(s, e, "1");
  return save(s, dir, sink, u8"表示中の個人に印");
}

SelOutcome resetFlags(Store& s, const std::string& dir, MessageSink& sink) {
  if (refuseIfReadOnly(s, sink)) return SelOutcome::Refused;
  for (int e = 0; e <= s.lastIndex && e < kCapacity; ++e) setFlag(s, e, "0");
  return save(s, dir, sink, u8"印をすべて解除");
}

std::string selectedMessage(int count) { return std::to_string(count) + " RECORD SELECTED"; }

}  // namespace kx
