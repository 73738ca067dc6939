// A progress bar with a cancel button over a window, for work that runs in
// steps on the user-interface thread: each step lets the window repaint and
// the cancel button be pressed, so a long run never freezes the program.
#pragma once

#include <memory>
#include <string>

class QProgressDialog;

namespace kx::ui {

class Window;

class Progress {
 public:
  // Shown over owner once the work has run a moment; total steps.
  Progress(Window& owner, const std::string& sjisCaption, int total);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // done steps of total so far; false once the user has cancelled.
  bool step(int done);
  void cancel();  // what the cancel button does
  bool cancelled() const;
  QProgressDialog* dialog() const { return dialog_.get(); }

 private:
  std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace kx::ui
