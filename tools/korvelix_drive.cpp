// korvelix-drive [--data-folder | FOLDER]: the program off screen, driven by
// commands on standard input, for end-to-end tests. It takes the program's
// arguments and starts exactly as the program does (the load's messages
// come first), then carries out one
// command per line and prints what happened:
//   MSG text / ASK text / OPEN name / BROWSE name   as the program asks for them
//   = value                              answers to get, visible, shown, item, image, focus
//   # text                               echo
//   ERROR reason                         a command that could not be carried out
// It ends at the end of input or when the main menu closes.
// KX_DRIVE_REFUSE, when set, holds comma-separated file names (UTF-8) that
// the desktop refuses to open, as a desktop with no viewer for them would.
// KX_DRIVE_ANSWER=yes answers every question Yes (ASK text); else No.
// KX_DRIVE_SETTINGS names the settings file the windows' places are kept in
// (never the user's own); without it none are kept.
// Besides the program's own commands: `move F LEFT TOP` moves window F as a
// user dragging it would, and `place F` prints `= LEFT,TOP WIDTHxHEIGHT`.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "forms/program_start.h"
#include "forms/windows.h"
#include "session/session.h"
#include "ui/controls.h"
#include "ui/driver_support.h"
#include "ui/services.h"
#include "ui/toolkit.h"
#include "ui/window_places.h"

namespace {

using kx::ui::Control;
using kx::ui::Window;

void print(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void answer(const std::string& value) { print("= " + value); }
void error(const std::string& reason) { print("ERROR " + reason); }

// One addressed thing: a window, and a control of it unless the address was
// a bare window name.
struct Target {
  Window* window = nullptr;
  Control* control = nullptr;
  std::string address;  // as typed, for messages
};

// Splits "FORM.CONTROL" or "FORM" and looks both up; prints the error and
// returns false when either is unknown or the address is malformed.
bool resolve(const std::string& address, Target& t) {
  t.address = address;
  if (address.empty() || address.find(' ') != std::string::npos) {
    error("malformed address '" + address + "'");
    return false;
  }
  const auto dot = address.find('.');
  const std::string form = address.substr(0, dot);
  if (form.empty() || (dot != std::string::npos && dot + 1 == address.size())) {
    error("malformed address '" + address + "'");
    return false;
  }
  t.window = Window::byName(form);
  if (!t.window) {
    error("unknown window " + form);
    return false;
  }
  if (dot == std::string::npos) return true;
  t.control = t.window->find(address.substr(dot + 1));
  if (!t.control) {
    error("unknown control " + address);
    return false;
  }
  return true;
}

// A user can only reach a control that is visible in a window on screen.
bool reachable(const Target& t) {
  const bool ok = t.window->isShown() && (!t.control || t.control->isVisible());
  if (!ok) error("hidden " + t.address);
  return ok;
}

bool needControl(const Target& t, const std::string& command) {
  if (t.control) return true;
  error(command + " needs FORM.CONTROL, not " + t.address);
  return false;
}

bool needWindow(const Target& t, const std::string& command) {
  if (!t.control) return true;
  error(command + " takes a window, not " + t.address);
  return false;
}

bool parseIndex(const std::string& s, int& n) {
  if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos)
    return false;
  n = std::stoi(s);
  return true;
}

void click(const Target& t) {
  if (!reachable(t)) return;
  // A click goes into the active window, as the user's own would.
  kx::ui::activate(*t.window);
  if (t.control)
    t.control->click();
  else
    t.window->backgroundClick();
}

void dblClick(const Target& t) {
  if (!needControl(t, "dblclick") || !reachable(t)) return;
  kx::ui::activate(*t.window);
  t.control->dblClick();
}

void type(const Target& t, const std::string& text) {
  if (!needControl(t, "type")) return;
  if (!reachable(t)) return;
  switch (kx::ui::typeText(*t.control, text)) {
    case kx::ui::TypeResult::Typed: break;
    case kx::ui::TypeResult::ReadOnly: error("read-only " + t.address); break;
    case kx::ui::TypeResult::NotEditable: error("not an edit box " + t.address); break;
  }
}

// ime F.C PREEDIT|COMMIT: split at the last "|".
void ime(const Target& t, const std::string& text) {
  if (!needControl(t, "ime") || !reachable(t)) return;
  const auto bar = text.rfind('|');
  if (bar == std::string::npos) {
    error("malformed composition '" + text + "': ime needs FORM.CONTROL PREEDIT|COMMIT");
    return;
  }
  switch (kx::ui::compose(*t.window, *t.control, text.substr(0, bar), text.substr(bar + 1))) {
    case kx::ui::TypeResult::Typed: break;
    case kx::ui::TypeResult::ReadOnly: error("read-only " + t.address); break;
    case kx::ui::TypeResult::NotEditable: error("not an edit box " + t.address); break;
  }
}

kx::ui::RadioGroup* radioGroup(const Target& t, const std::string& command) {
  if (!needControl(t, command)) return nullptr;
  auto* g = dynamic_cast<kx::ui::RadioGroup*>(t.control);
  if (!g) error("not a radio group " + t.address);
  return g;
}

void pick(const Target& t, const std::string& item) {
  int n = 0;
  if (!parseIndex(item, n)) {
    error("malformed item number '" + item + "'");
    return;
  }
  auto* g = radioGroup(t, "pick");
  if (!g || !reachable(t)) return;
  if (n >= g->itemCount()) {
    error("no item " + item + " in " + t.address);
    return;
  }
  kx::ui::activate(*t.window);
  g->setItemIndex(n);
  if (g->hasClick()) g->click();
}

void get(const Target& t) {
  answer(kx::ui::driverText(t.control ? kx::ui::controlText(*t.control) : t.window->caption()));
}

void visible(const Target& t) {
  answer((t.control ? t.control->isVisible() : t.window->isShown()) ? "1" : "0");
}

void shown(const Target& t) {
  if (needWindow(t, "shown")) answer(t.window->isShown() ? "1" : "0");
}

void item(const Target& t) {
  if (auto* g = radioGroup(t, "item")) answer(std::to_string(g->itemIndex()));
}

void image(const Target& t) {
  if (!needControl(t, "image")) return;
  auto* img = dynamic_cast<kx::ui::Image*>(t.control);
  if (!img) {
    error("not an image " + t.address);
    return;
  }
  if (img->shownWidth() == 0)
    answer("none");
  else
    answer(std::to_string(img->shownWidth()) + "x" + std::to_string(img->shownHeight()));
}

void key(const Target& t, const std::string& name) {
  if (!reachable(t)) return;
  if (kx::ui::pressKey(*t.window, t.control, name) == kx::ui::KeyResult::UnknownKey)
    error("unknown key '" + name + "'");
}

void focus() {
  const std::string where = kx::ui::focusedControl();
  answer(where.empty() ? "none" : where);
}

void place(const Target& t) {
  if (!needWindow(t, "place")) return;
  const Window::Place p = t.window->place();
  answer(std::to_string(p.left) + "," + std::to_string(p.top) + " " + std::to_string(p.width) +
         "x" + std::to_string(p.height));
}

// "LEFT TOP", each a number, maybe negative.
bool parsePoint(const std::string& s, int& left, int& top) {
  const auto sep = s.find(' ');
  if (sep == std::string::npos) return false;
  auto number = [](const std::string& n, int& out) {
    const std::string digits = !n.empty() && n[0] == '-' ? n.substr(1) : n;
    if (!parseIndex(digits, out)) return false;
    if (n[0] == '-') out = -out;
    return true;
  };
  return number(s.substr(0, sep), left) && number(s.substr(sep + 1), top);
}

void moveWindow(const Target& t, const std::string& where) {
  int left = 0, top = 0;
  if (!parsePoint(where, left, top)) {
    error("malformed position '" + where + "'");
    return;
  }
  if (!needWindow(t, "move") || !reachable(t)) return;
  t.window->moveTo(left, top);
}

void closeWindow(const Target& t) {
  if (!needWindow(t, "close") || !reachable(t)) return;
  t.window->close();
}

// Carries out one command line.
void run(const std::string& line) {
  const auto space = line.find(' ');
  const std::string command = line.substr(0, space);
  const std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);

  if (command == "echo") {
    print("# " + rest);
    return;
  }
  if (command == "focus") {
    if (space != std::string::npos)
      error("malformed line '" + line + "': focus takes nothing");
    else
      focus();
    return;
  }

  // Commands whose target is followed by an argument: type and ime keep
  // everything after the one space, spaces and all; pick takes one item
  // number, key one key name.
  const bool typeCommand = command == "type";
  const bool pickCommand = command == "pick";
  const bool keyCommand = command == "key";
  const bool imeCommand = command == "ime";
  const bool moveCommand = command == "move";
  std::string address = rest, argument;
  if (typeCommand || pickCommand || keyCommand || imeCommand || moveCommand) {
    const auto sep = rest.find(' ');
    address = rest.substr(0, sep);
    if (sep != std::string::npos) argument = rest.substr(sep + 1);
    if (pickCommand && sep == std::string::npos) {
      error("malformed line '" + line + "': pick needs FORM.CONTROL N");
      return;
    }
    if (keyCommand && (argument.empty() || argument.find(' ') != std::string::npos)) {
      error("malformed line '" + line + "': key needs FORM[.CONTROL] KEY");
      return;
    }
  }

  using Handler = void (*)(const Target&);
  Handler handler = nullptr;
  if (command == "click") handler = click;
  else if (command == "dblclick") handler = dblClick;
  else if (command == "close") handler = closeWindow;
  else if (command == "get") handler = get;
  else if (command == "visible") handler = visible;
  else if (command == "shown") handler = shown;
  else if (command == "item") handler = item;
  else if (command == "image") handler = image;
  else if (command == "place") handler = place;
  else if (!typeCommand && !pickCommand && !keyCommand && !imeCommand && !moveCommand) {
    error("unknown command '" + command + "'");
    return;
  }
  if (address.empty()) {
    error("malformed line '" + line + "': " + command + " needs a window or control");
    return;
  }
  if (handler && address.find(' ') != std::string::npos) {
    error("malformed line '" + line + "': " + command + " takes one window or control");
    return;
  }

  Target t;
  if (!resolve(address, t)) return;
  if (typeCommand)
    type(t, argument);
  else if (pickCommand)
    pick(t, argument);
  else if (keyCommand)
    key(t, argument);
  else if (imeCommand)
    ime(t, argument);
  else if (moveCommand)
    moveWindow(t, argument);
  else
    handler(t);
}

}  // namespace

int main(int argc, char** argv) {
  // Never a real screen: the same widgets, drawn nowhere.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  kx::ui::Toolkit toolkit(argc, argv);

  kx::ui::RecordingServices services;
  services.listener = [](const kx::ui::RecordingServices::Event& e) {
    using Kind = kx::ui::RecordingServices::Event::Kind;
    const char* tag = e.kind == Kind::Msg    ? "MSG "
                      : e.kind == Kind::Ask  ? "ASK "
                      : e.kind == Kind::Open ? "OPEN "
                      : e.kind == Kind::Pick ? "PICK "
                                             : "BROWSE ";
    print(tag + kx::ui::driverText(e.text));
  };
  if (const char* answer = std::getenv("KX_DRIVE_ANSWER"))
    services.answer = std::string_view(answer) == "yes";
  if (const char* refuse = std::getenv("KX_DRIVE_REFUSE")) {
    std::string_view names = refuse;
    while (!names.empty()) {
      const auto comma = std::min(names.find(','), names.size());
      if (comma > 0) services.refused.insert(kx::ui::driverInput(names.substr(0, comma)));
      names.remove_prefix(std::min(comma + 1, names.size()));
    }
  }
  kx::ui::setServices(&services);
  if (const char* file = std::getenv("KX_DRIVE_SETTINGS")) kx::ui::keepWindowPlacesIn(file);

  const kx::StartArguments args = kx::parseStartArguments(argc, argv, false);
  if (args.help || !args.error.empty()) {
    std::fprintf(args.help ? stdout : stderr,
                 "%s%susage: korvelix-drive [--data-folder | FOLDER] < COMMANDS\n",
                 args.error.c_str(), args.error.empty() ? "" : "\n");
    return args.help ? 0 : 2;
  }
  bool newFolder = false;
  if (!kx::enterStartFolder(args, &newFolder)) return 1;

  kx::Session session(".", services);
  kx::Windows windows(session);
  windows.start(newFolder);
  kx::ui::processPendingEvents();

  std::string line;
  while (!kx::ui::quitRequested() && std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    run(line);
    kx::ui::processPendingEvents();
  }
  return 0;
}
