#include "forms/secret_mode.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "forms/unit3.h"
#include "forms/unit6.h"
#include "forms/unit8.h"
#include "forms/unit10.h"
#include "forms/app.h"
#include "forms/unit1.h"

namespace kx {

namespace {

struct SecretControl {
  int form;  // 1 = Form1 ...
  const char* control;
  bool byView;
  bool byBrowser;
};

// Every control under the secret mode. The add form's boxes and the main
// menu's all-fields search are reached by the view's switch only; the update
// form's secret boxes are not here at all, its fill decides them.
constexpr SecretControl kSecretControls[] = {
    {1, "Button15", true, true},  // "ｷｰﾜｰﾄﾞｻｰﾁ"
    {1, "Button16", true, true},  // "ｼｰｸﾚｯﾄｻｰﾁ"
    {1, "Button22", true, false},  // "全項目ｻｰﾁ"
    {3, "Button2", true, true},   // "SECRET"
    {3, "Button5", true, true},   // "TEXT"
    {3, "Label32", true, true},   // "SEARCH KEY"
    {3, "Label23", true, true},   // the search keys
    {6, "Label19", true, true},   // "SEARCH KEYS"
    {6, "Label20", true, true},   // "SECRETS"
    {6, "Edit23", true, true},    // search keys box
    {8, "Label18", true, false},  // "SEARCH KEYS"
    {8, "Label19", true, false},  // "SECRETS"
    {8, "Edit23", true, false},
    {8, "Edit25", true, false},
    {8, "Edit26", true, false},
    {8, "Edit27", true, false},
    {8, "Edit28", true, false},
    {8, "Edit29", true, false},
    {10, "Button2", true, true},  // "SECRET"
    {10, "Button5", true, true},  // "TEXT"
    {10, "Label32", true, true},  // "SEARCH KEY"
    {10, "Label23", true, true},  // the search keys
};

ui::Window& form(App& app, int n) {
  ui::Window* w = nullptr;
  switch (n) {
    case 1: w = app.Form1.get(); break;
    case 3: w = app.Form3.get(); break;
    case 6: w = app.Form6.get(); break;
    case 8: w = app.Form8.get(); break;
    case 10: w = app.Form10.get(); break;
    default: break;
  }
  if (!w) throw std::logic_error("secret mode: Form" + std::to_string(n) + " does not exist");
  return *w;
}

}  // namespace

void showSecretControls(App& app, SecretSwitch by, bool show) {
  // Every control is found before any changes, so a missing one leaves the
  // windows as they were instead of half switched.
  std::vector<ui::Control*> reached;
  for (const SecretControl& s : kSecretControls) {
    if (!(by == SecretSwitch::View ? s.byView : s.byBrowser)) continue;
    ui::Window& w = form(app, s.form);
    ui::Control* c = w.find(s.control);
    if (!c) throw std::logic_error("secret mode: " + w.name() + " has no " + s.control);
    reached.push_back(c);
  }
  for (ui::Control* c : reached) c->setVisible(show);
}

void secretFromView(App& app) {
  const bool on = app.cur.secretMode == 0 && kSecretModeEnable == 1;
  showSecretControls(app, SecretSwitch::View, on);
  app.cur.secretMode = on ? 1 : 0;
}

void secretFromBrowser(App& app) {
  const bool on = app.cur.secretMode == 0;
  showSecretControls(app, SecretSwitch::Browser, on);
  app.cur.secretMode = on ? 1 : 0;
}

}  // namespace kx
