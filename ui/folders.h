// The folder the program keeps its store in: one given on the command line,
// or the user's data folder that the desktop menu entry asks for.
#pragma once

#include <optional>
#include <string>

namespace kx::ui {

// The program's folder in the user's data folder: $XDG_DATA_HOME/korvelix,
// ~/.local/share/korvelix by default (a local path).
std::string userDataFolder();

// Makes `localPath` the working directory, first creating it and any missing
// parents. On failure nothing changes and the result is the message to show
// (Shift-JIS), naming the folder and the reason. *created, when given, says
// whether the folder was made just now.
std::optional<std::string> enterFolder(const std::string& localPath, bool* created = nullptr);

}  // namespace kx::ui
