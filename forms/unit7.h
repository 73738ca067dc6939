// Form7, the busy notice: shown while store files are rewritten.
#pragma once

#include "forms/navigator.h"
#include "session/session.h"
#include "ui/controls.h"

namespace kx {

class TForm7 : public ui::Window {
 public:
  TForm7(Session& session, Navigator& navigator);

  // Shown, it paints before the long work starts.
  void setBusy(bool shown) { shown ? showAndPaint() : hide(); }
};

}  // namespace kx
