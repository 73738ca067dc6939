#include "forms/unit4.h"

#include <string>

#include "store/entry_text.h"

namespace kx {

TForm4::TForm4(Session& s, Navigator&) : ui::Window("Form4", "SECRET", 870, 196), session(s) {
  setFont(ui::Font{ui::Font::Proportional, 12, false, false, 0x000000});
  Button1 = addButton("Button1", 0, 0, 75, 25, "CLOSE");
  Button1->onClick([this] { Button1Click(); });
  onEscape([this] { Button1Click(); });
  const ui::Font lineFont{ui::Font::Fixed, 21, false, false, 0x000000};
  ui::Label** lines[] = {&Label1, &Label2, &Label3, &Label4, &Label5};
  for (int i = 0; i < 5; ++i) {
    *lines[i] = addLabel("Label" + std::to_string(i + 1), 0, 32 + 24 * i);
    (*lines[i])->setFont(lineFont);
  }
}

void TForm4::showAtListPosition() {
  show();
  showSecretsOf(session.entryAt(session.listOrder(), session.listPosition()));
}

void TForm4::showOfCurrentEntry() {
  show();
  showSecretsOf(session.entryAt(ListOrder::Name, session.currentNamePosition()));
}

void TForm4::showSecretsOf(int e) {
  if (e < 0) return;
  ui::Label* lines[] = {Label1, Label2, Label3, Label4, Label5};
  const Field secrets[] = {Secret1, Secret2, Secret3, Secret4, Secret5};
  for (int i = 0; i < 5; ++i) lines[i]->setCaption(fieldText(session.store(), e, secrets[i]));
}

void TForm4::Button1Click() { close(); }

}  // namespace kx
