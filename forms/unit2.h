// Form2, the name list: twenty entries a page in name order; a click views one.
#pragma once

#include "forms/list_window.h"

namespace kx {

class TForm2 : public ListWindow {
 public:
  TForm2(Session& session, Navigator& navigator);

 private:
  void Edit1Change() { jump(true); }  // bound to GO; an empty box does nothing
  void L1click() { lineClicked(1); }
  void L2click() { lineClicked(2); }
  void L3click() { lineClicked(3); }
  void L4click() { lineClicked(4); }
  void L5click() { lineClicked(5); }
  void L6click() { lineClicked(6); }
  void L7click() { lineClicked(7); }
  void L8click() { lineClicked(8); }
  void L9click() { lineClicked(9); }
  void L10click() { lineClicked(10); }
  void L11click() { lineClicked(11); }
  void L12click() { lineClicked(12); }
  void L13click() { lineClicked(13); }
  void L14click() { lineClicked(14); }
  void L15click() { lineClicked(15); }
  void L16click() { lineClicked(16); }
  void L17clink() { lineClicked(17); }
  void L18click() { lineClicked(18); }
  void L19click() { lineClicked(19); }
  void L20click() { lineClicked(20); }
};

}  // namespace kx
