#include "forms/unit5.h"

namespace kx {

TForm5::TForm5(Session& s, Navigator& n)
    : ListWindow(s, n, "Form5", "COMPANY LIST", 1080, ListOrder::Company, 24, "OK") {
  Button6->onClick([this] { Button6Click(); });

  void (TForm5::*const handlers[kListLines])() = {
      &TForm5::Label1Click,  &TForm5::Label2Click,  &TForm5::Label3Click,  &TForm5::Label4Click,
      &TForm5::Label5Click,  &TForm5::Label6Click,  &TForm5::Label7Click,  &TForm5::Label8Click,
      &TForm5::Label9Click,  &TForm5::Label10Click, &TForm5::Label11Click, &TForm5::Label12Click,
      &TForm5::Label13Click, &TForm5::Label14Click, &TForm5::Label15Click, &TForm5::Label16Click,
      &TForm5::Label17Click, &TForm5::Label18Click, &TForm5::Label19Click, &TForm5::Label20Click};
  bindLines(this, handlers);
}

}  // namespace kx
