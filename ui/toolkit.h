// The window system's lifetime and event loop, so that main() and the driver
// need not include Qt. Create one Toolkit before the first window and destroy
// it after the last.
#pragma once

#include <memory>
#include <string>

namespace kx::ui {

class Toolkit {
 public:
  Toolkit(int& argc, char** argv);
  ~Toolkit();
  Toolkit(const Toolkit&) = delete;
  Toolkit& operator=(const Toolkit&) = delete;

  // Runs the event loop until quitApplication(); returns the exit code.
  int exec();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Gives every window, message boxes included, the program's icon and ties
// the windows to the desktop's menu entry (which names the same icon).
void applyProgramIcon();

// Qt's own texts (file and folder pickers, standard buttons) in the
// language of localeName ("ja_JP" ...), from the translations Qt installs;
// replaces those loaded before. False when there are none for it (Qt's
// English stays). The toolkit loads the desktop's at start.
bool loadQtTranslations(const std::string& localeName);

// Carries out every event already queued (repaints, deferred deletes, ...).
void processPendingEvents();

}  // namespace kx::ui
