// What the name list and the company list share: the twenty fixed-pitch
// lines, the paging buttons and the jump box. Each list names its own line
// and jump handlers (unit2, unit5) and calls these.
#pragma once

#include <array>

#include "forms/navigator.h"
#include "session/session.h"
#include "store/list_lines.h"
#include "ui/controls.h"

namespace kx {

class ListWindow : public ui::Window, private SessionListener {
 public:
  // Fills the twenty lines from the list position.
  void redraw();
  // Opens the list from the main menu at the first entry with a kana key.
  void openList();

  ui::Label* line(int k) const { return lines_[static_cast<size_t>(k - 1)]; }  // k = 1 .. 20
  ui::Button *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7;
  ui::Edit* Edit1;

 protected:
  ListWindow(Session& session, Navigator& navigator, const char* formName, const char* caption, int width, ListOrder order,
             int lineLeft, const char* jumpCaption);

  // The paging buttons work alike in both lists and are bound here.
  void Button1Click();  // NEXT
  void Button2Click();  // BACK
  void Button3Click();  // TOP
  void Button4Click();  // BOTTOM
  void Button5Click();  // SEARCH: shows the jump box, the cursor in it
  void Button7Click();  // CLOSE
  // The jump on the text of Edit1; emptyDoesNothing for the name list.
  void jump(bool emptyDoesNothing);
  // A click on line k: the view is filled from that position, which becomes
  // the list position whether or not it holds an entry.
  void lineClicked(int k);
  // Binds line k's click to handlers[k - 1], the list's own handlers.
  template <class List>
  void bindLines(List* list, void (List::*const (&handlers)[kListLines])()) {
    for (int k = 1; k <= kListLines; ++k) {
      auto h = handlers[k - 1];
      line(k)->onClick([list, h] { (list->*h)(); });
    }
  }

  Session& session;
  Navigator& navigator;
  const ListOrder order;

 private:
  // An open list follows the store: its lines are drawn again.
  void entriesChanged() override;
  // Before a handler acts: the list position is where these lines start.
  void resume();

  std::array<ui::Label*, kListLines> lines_{};
  int drawnFrom_ = 0;  // the list position as this list last left it
};

}  // namespace kx
