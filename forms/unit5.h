// Form5, the company list: twenty entries a page in company order; a click views one.
#pragma once

#include "forms/list_window.h"

namespace kx {

class TForm5 : public ListWindow {
 public:
  TForm5(Session& session, Navigator& navigator);

 private:
  void Button6Click() { jump(false); }  // an empty box lands on position 0
  void Label1Click() { lineClicked(1); }
  void Label2Click() { lineClicked(2); }
  void Label3Click() { lineClicked(3); }
  void Label4Click() { lineClicked(4); }
  void Label5Click() { lineClicked(5); }
  void Label6Click() { lineClicked(6); }
  void Label7Click() { lineClicked(7); }
  void Label8Click() { lineClicked(8); }
  void Label9Click() { lineClicked(9); }
  void Label10Click() { lineClicked(10); }
  void Label11Click() { lineClicked(11); }
  void Label12Click() { lineClicked(12); }
  void Label13Click() { lineClicked(13); }
  void Label14Click() { lineClicked(14); }
  void Label15Click() { lineClicked(15); }
  void Label16Click() { lineClicked(16); }
  void Label17Click() { lineClicked(17); }
  void Label18Click() { lineClicked(18); }
  void Label19Click() { lineClicked(19); }
  void Label20Click() { lineClicked(20); }
};

}  // namespace kx
