// The exchange file import: overwrite from KORVELIX.SDX, append from
// IMPORT.SDX, or cancel. Below it, vCard export and import through a file
// or folder named in a box or picked.
#pragma once

#include <string>

#include "ui/controls.h"

namespace kx {

class App;

class TForm9 : public ui::Window {
 public:
  explicit TForm9(App& app);

  ui::Label *Label1, *Label2, *Label3;
  ui::RadioGroup* RadioGroup1;
  ui::Button* Button1;

  // vCard: Edit1 holds the file or folder, Button2 ("...") picks it,
  // RadioGroup2 is all / selected, RadioGroup3 one file / a folder of files,
  // RadioGroup4 the export's version (4.0 / 3.0), Button3 exports, Button4
  // imports.
  ui::Label *Label4, *Label5;
  ui::Edit* Edit1;
  ui::Button *Button2, *Button3, *Button4;
  ui::RadioGroup *RadioGroup2, *RadioGroup3, *RadioGroup4;

 private:
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  // The path in Edit1, or "" with the user told that it is missing.
  std::string vcardPath();
  std::string inStoreFolder(const std::string& path) const;

  App& app;
};

}  // namespace kx
