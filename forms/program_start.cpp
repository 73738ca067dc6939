#include "forms/program_start.h"

#include "forms/command_line.h"
#include "ui/folders.h"
#include "ui/services.h"

namespace kx {

StartArguments parseStartArguments(int argc, char** argv, bool extraOptions) {
  StartArguments a;
  CommandLine args(argc, argv);
  a.help = args.takeFlag("--help");
  a.dataFolder = args.takeFlag("--data-folder");
  if (extraOptions) a.exitAfterStart = args.takeFlag("--exit-after-start");
  if (!args.takeFolder(&a.folder))
    a.error = args.error();
  else if (a.dataFolder && !a.folder.empty())
    a.error = "--data-folder or FOLDER, not both";
  return a;
}

bool enterStartFolder(const StartArguments& args, bool* created) {
  *created = false;
  const std::string folder = args.dataFolder ? ui::userDataFolder() : args.folder;
  if (folder.empty()) return true;
  if (const auto failure = ui::enterFolder(folder, created)) {
    ui::services().show(*failure);
    return false;
  }
  return true;
}

}  // namespace kx
