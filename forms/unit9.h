// Form9, the import window: the exchange file in, and vCards out and in.
// The exchange file overwrites or appends; vCards go through a file or a
// folder named in a box or picked.
#pragma once

#include <string>

#include "forms/navigator.h"
#include "session/session.h"
#include "ui/controls.h"

namespace kx {

class TForm9 : public ui::Window {
 public:
  TForm9(Session& session, Navigator& navigator);

  // The main menu's IMPORT: the file names shown, the window on screen.
  void open();

  ui::Label *Label1, *Label2, *Label3;
  ui::RadioGroup* RadioGroup1;
  ui::Button* Button1;

  // vCard: Edit1 holds the file or folder, Button2 ("...") picks it,
  // RadioGroup2 is all / selected, RadioGroup3 one file / a folder of files,
  // RadioGroup4 the export's version (4.0 / 3.0), Button3 exports, Button4
  // imports, Button5 syncs the store both ways with the folder (the one last
  // synced with, when the window opens).
  ui::Label *Label4, *Label5;
  ui::Edit* Edit1;
  ui::Button *Button2, *Button3, *Button4, *Button5;
  ui::RadioGroup *RadioGroup2, *RadioGroup3, *RadioGroup4;

 private:
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  // The path in Edit1, or "" with the user told that it is missing.
  std::string vcardPath();

  Session& session;
  Navigator& navigator;
};

}  // namespace kx
