// The busy notice, shown while store files are rewritten.
#pragma once

#include "ui/controls.h"

namespace kx {

class App;

class TForm7 : public ui::Window {
 public:
  explicit TForm7(App& app);

  // Shows the notice and lets it paint before the long work starts.
  void showBusy();
  void hideBusy();
  // Either of the two, for work that reports when it is busy (the imports).
  void setBusy(bool shown) { shown ? showBusy() : hideBusy(); }

 private:
  App& app;
};

}  // namespace kx
