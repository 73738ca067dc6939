// The history of changes: the changes kept, newest first, a page at a time;
// UNDO LAST takes back one more change each time it is used; RESTORE TO
// BEFORE brings the store back to just before the selected change, after
// a confirmation. A read-only store shows its history but changes nothing.
#pragma once

#include <vector>

#include "forms/navigator.h"
#include "session/session.h"
#include "store/history/record.h"
#include "ui/controls.h"

namespace kx {

class TForm15 : public ui::Window {
 public:
  TForm15(Session& session, Navigator& navigator);

  // Reads the history again and shows its first page.
  void open();

  ui::Label *Label1, *Label2;
  ui::RadioGroup* RadioGroup1;
  ui::Button *Button1, *Button2, *Button3, *Button4, *Button5;

 private:
  void showPage();
  void reread();
  void Button1Click();  // UNDO LAST
  void Button2Click();  // RESTORE TO BEFORE
  void Button3Click();  // the newer page
  void Button4Click();  // the older page
  void Button5Click();  // CLOSE

  Session& session;
  std::vector<history::Record> changes_;
  int page_ = 0;
};

}  // namespace kx
