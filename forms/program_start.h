// How the program and its driver start alike: the arguments
// [--data-folder | FOLDER], the store folder entered (made when missing),
// then Windows::start with whether that folder is new.
#pragma once

#include <string>


namespace kx {

struct StartArguments {
  bool help = false;
  bool exitAfterStart = false;  // the program's own check that it runs
  bool dataFolder = false;
  std::string folder;  // "" for the working directory
  std::string error;   // wrong arguments: what is wrong
};

// The arguments as given; extraOptions accepts the program's
// --exit-after-start too.
StartArguments parseStartArguments(int argc, char** argv, bool extraOptions);

// Enters the folder the arguments name; false when it cannot be entered
// (the user told why). *created says whether it was made just now.
bool enterStartFolder(const StartArguments& args, bool* created);

}  // namespace kx
