// The photo view of the current entry.
#pragma once

#include "ui/controls.h"

namespace kx {

class App;

class TForm11 : public ui::Window {
 public:
  explicit TForm11(App& app);

  // The view's PHOTO: Image1 takes the decoded picture, shown at the size
  // its file declares (fitted into the box), and the window shows.
  void showPhoto(const ui::Picture& picture, int naturalWidth, int naturalHeight);

  void Button1Click();  // ORIGINAL
  void Button2Click();  // FILES
  void Button3Click();  // CLOSE

  ui::Button *Button1, *Button2, *Button3;
  ui::Image* Image1;

 private:
  App& app;
};

}  // namespace kx
