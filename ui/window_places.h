// Windows come back where the user left them: each window's last place on
// the screen and size, kept by its form name in the user's settings.
#pragma once

#include <string>

class QWidget;

namespace kx::ui {

// The program: Qt's usual per-user settings ($XDG_CONFIG_HOME/korvelix/).
void keepWindowPlacesOfUser();
// The driver and tests: a settings file of their own, never the user's.
void keepWindowPlacesIn(const std::string& iniFile);

namespace detail {
// Puts a window about to be shown for the first time where it was left,
// when that is still on a screen.
void restorePlace(QWidget* window, const std::string& formName);
// Notes where a window on screen stands now.
void rememberPlace(const QWidget* window, const std::string& formName);
}  // namespace detail

}  // namespace kx::ui
