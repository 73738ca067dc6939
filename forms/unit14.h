// Likely duplicates: the pairs the finder gives, with the reason, a page at
// a time; MERGE shows the selected pair's differing fields side by side
// with the proposed value marked, SWAP takes the other side's value for the
// selected field, EXECUTE merges (one change of the history).
#pragma once

#include <vector>

#include "forms/navigator.h"
#include "search/duplicates.h"
#include "search/merge.h"
#include "session/session.h"
#include "ui/controls.h"

namespace kx {

class TForm14 : public ui::Window {
 public:
  TForm14(Session& session, Navigator& navigator);

  // Finds the pairs again and shows the first page; with newFrom, only
  // those of an entry from newFrom on (what an import added).
  void open(int newFrom = -1);

  ui::Label *Label1, *Label2;
  ui::RadioGroup *RadioGroup1, *RadioGroup2;
  ui::Button *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7;

 private:
  void showPairs();
  void showMerge();
  void Button1Click();  // MERGE
  void Button2Click();  // SWAP
  void Button3Click();  // the previous page
  void Button4Click();  // the next page
  void Button5Click();  // CLOSE
  void Button6Click();  // EXECUTE
  void Button7Click();  // CANCEL the merge

  Session& session;
  std::vector<DuplicatePair> pairs_;
  int page_ = 0;
  int newFrom_ = -1;
  MergeChoice choice_;
  std::vector<int> rows_;  // the merge view's rows: a field, or -1 / -2 for the two keys
};

}  // namespace kx
