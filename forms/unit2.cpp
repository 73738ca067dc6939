#include "forms/unit2.h"

namespace kx {

TForm2::TForm2(Session& s, Navigator& n)
    : ListWindow(s, n, "Form2", "NAME LIST", 960, ListOrder::Name, 32, "GO") {
  Button6->onClick([this] { Edit1Change(); });

  void (TForm2::*const handlers[kListLines])() = {
      &TForm2::L1click,  &TForm2::L2click,  &TForm2::L3click,  &TForm2::L4click,
      &TForm2::L5click,  &TForm2::L6click,  &TForm2::L7click,  &TForm2::L8click,
      &TForm2::L9click,  &TForm2::L10click, &TForm2::L11click, &TForm2::L12click,
      &TForm2::L13click, &TForm2::L14click, &TForm2::L15click, &TForm2::L16click,
      &TForm2::L17clink, &TForm2::L18click, &TForm2::L19click, &TForm2::L20click};
  bindLines(this, handlers);
  // A click beside the lines counts as one on the middle line.
  onBackgroundClick([this] { L10click(); });
}

}  // namespace kx
