#include "forms/unit4.h"

#include <cstdint>
#include <string>

#include "store/entry_text.h"
#include "forms/app.h"

namespace kx {

namespace {

constexpr const char* kExkeymodeInvalid = "exkeymode invalid";

// The entry at position p of an order, or -1 when p is past the entries
// (slots there hold leftovers, not entry numbers).
int entryAt(const Store& s, const std::int32_t* index, int p) {
  if (p < 0 || p > s.lastIndex || p >= kCapacity) return -1;
  const int e = index[p];
  return e >= 0 && e <= s.lastIndex ? e : -1;
}

}  // namespace

TForm4::TForm4(App& a) : ui::Window("Form4", "SECRET", 870, 196), app(a) {
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

void TForm4::showFromView() {
  show();
  const Cursors& c = app.cur;
  if (c.exkeymode == ListOrder::None) {
    app.services.show(kExkeymodeInvalid);
    return;
  }
  const std::int32_t* index = c.exkeymode == ListOrder::Name ? app.store.names.index : app.store.companies.index;
  showSecretsOf(entryAt(app.store, index, c.listPosition));
}

void TForm4::showFromBrowser() {
  show();
  showSecretsOf(entryAt(app.store, app.store.names.index, app.cur.currentNamePos));
}

void TForm4::showSecretsOf(int e) {
  if (e < 0) return;  // no entry there: the lines stay as they were
  ui::Label* lines[] = {Label1, Label2, Label3, Label4, Label5};
  const Field secrets[] = {Secret1, Secret2, Secret3, Secret4, Secret5};
  for (int i = 0; i < 5; ++i) lines[i]->setCaption(fieldText(app.store, e, secrets[i]));
}

void TForm4::Button1Click() { close(); }

}  // namespace kx
