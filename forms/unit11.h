// Form11, the photo window: the current entry's photo, its file and folder.
#pragma once

#include "forms/navigator.h"
#include "session/session.h"
#include "ui/controls.h"

namespace kx {

class TForm11 : public ui::Window {
 public:
  TForm11(Session& session, Navigator& navigator);

  // The view's PHOTO: Image1 takes the decoded picture, shown at the size
  // its file declares (fitted into the box), and the window shows.
  void showPhoto(const ui::Picture& picture, int naturalWidth, int naturalHeight);

  ui::Button *Button1, *Button2, *Button3;
  ui::Image* Image1;

 private:
  void Button1Click();  // ORIGINAL
  void Button2Click();  // FILES
  void Button3Click();  // CLOSE

  Session& session;
};

}  // namespace kx
