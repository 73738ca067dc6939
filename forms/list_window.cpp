#include "forms/list_window.h"

#include <string>

#include "ui/services.h"

namespace kx {

namespace {

constexpr int kLineTop = 48;
constexpr int kLinePitch = 24;
constexpr int kButtonTop = 8;
constexpr int kButtonWidth = 65;
constexpr int kButtonHeight = 25;

}  // namespace

ListWindow::ListWindow(Session& s, Navigator& n, const char* formName, const char* caption,
                       int width, ListOrder o, int lineLeft, const char* jumpCaption)
    : ui::Window(formName, caption, width, 560), session(s), navigator(n), order(o) {
  setFont(ui::Font{ui::Font::Proportional, 12, false, false, 0x000000});
  int left = lineLeft;
  auto button = [&](const char* name, const char* text) {
    ui::Button* b = addButton(name, left, kButtonTop, kButtonWidth, kButtonHeight, text);
    left += kButtonWidth + 8;
    return b;
  };
  Button1 = button("Button1", "NEXT");
  Button2 = button("Button2", "BACK");
  Button3 = button("Button3", "TOP");
  Button4 = button("Button4", "BOTTOM");
  Button5 = button("Button5", "SEARCH");
  Button7 = button("Button7", "CLOSE");
  Button1->onClick([this] { Button1Click(); });
  Button2->onClick([this] { Button2Click(); });
  Button3->onClick([this] { Button3Click(); });
  Button4->onClick([this] { Button4Click(); });
  Button5->onClick([this] { Button5Click(); });
  Button7->onClick([this] { Button7Click(); });
  left += 16;
  Edit1 = addEdit("Edit1", left, kButtonTop + 2, 240);
  Button6 = addButton("Button6", left + 248, kButtonTop, 41, kButtonHeight, jumpCaption);
  Edit1->setVisible(false);
  Button6->setVisible(false);
  // The jump compares with kana keys; Enter jumps as the jump button does.
  Edit1->setKana(true);
  Edit1->onEnter([this] { Button6->click(); });
  onEscape([this] { Button7Click(); });

  // The fixed-pitch font keeps the byte-counted columns under each other.
  const ui::Font fixed{ui::Font::Fixed, 21, false, false, 0x000000};
  for (int k = 1; k <= kListLines; ++k) {
    ui::Label* l = addLabel("Label" + std::to_string(k), lineLeft, kLineTop + (k - 1) * kLinePitch);
    l->setFont(fixed);
    lines_[static_cast<size_t>(k - 1)] = l;
  }
  session.listen(this);
}

void ListWindow::entriesChanged() {
  if (isShown()) redraw();
}

void ListWindow::resume() { session.resumeList(order, drawnFrom_); }

void ListWindow::redraw() {
  drawnFrom_ = session.listPosition();
  for (int k = 1; k <= kListLines; ++k)
    line(k)->setCaption(listLine(session.store(), order, session.listPosition() + k - 1));
}

void ListWindow::openList() {
  session.openList(order);
  show();
  redraw();
}

void ListWindow::Button1Click() {
  resume();
  session.pageNext();
  redraw();
}

void ListWindow::Button2Click() {
  resume();
  session.pageBack();
  redraw();
}

void ListWindow::Button3Click() {
  resume();
  session.pageTop();
  redraw();
}

void ListWindow::Button4Click() {
  resume();
  session.pageBottom();
  redraw();
}

void ListWindow::Button5Click() {
  Edit1->setVisible(true);
  Button6->setVisible(true);
  Edit1->setFocus();
}

void ListWindow::Button7Click() { close(); }

void ListWindow::jump(bool emptyDoesNothing) {
  const std::string text = Edit1->text();
  if (emptyDoesNothing && text.empty()) return;
  resume();
  if (!session.jumpInList(order, text)) ui::services().show("Not found");
  Edit1->setVisible(false);
  Button6->setVisible(false);
  redraw();
}

void ListWindow::lineClicked(int k) {
  resume();
  const bool opened = session.viewFromList(order, k);
  // A blank line moves the position without drawing: paging goes on from
  // there, and no line past the end opens anyone.
  drawnFrom_ = session.listPosition();
  if (!opened) return;
  navigator.showEntry();
  close();
}

}  // namespace kx
