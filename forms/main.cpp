// The program: the twelve windows over the store files of a folder, until
// the main menu closes.
//   korvelix [FOLDER]         the store in FOLDER (created when missing),
//                             else in the working directory
//   korvelix --data-folder    the store in the user's data folder (the menu entry)
//   --exit-after-start        starts, prints the entry count and exits (a check
//                             that an installed program runs)
//   korvelix --export-vcard / --import-vcard / --sync ...   vCards, without any window
//   korvelix --print-addresses OUT.pdf --layout ...  addresses to a PDF, without any window
//   korvelix --history / --undo / --duplicates [FOLDER]   the same, for the
//                             history of changes and likely duplicates
#include <cstdio>
#include <iostream>
#include <string>

#include "exchange/vcard/cli.h"
#include "forms/program_start.h"
#include "forms/windows.h"
#include "print/cli.h"
#include "search/store_commands.h"
#include "session/session.h"
#include "ui/folders.h"
#include "ui/print_backend.h"
#include "ui/services.h"
#include "ui/toolkit.h"
#include "ui/window_places.h"

namespace {

constexpr const char* kUsage =
    "usage: korvelix [--data-folder | FOLDER]\n"
    "  FOLDER         the folder of the store files, created when missing\n"
    "                 (default: the working directory)\n"
    "  --data-folder  the user's data folder, $XDG_DATA_HOME/korvelix\n"
    "       korvelix --export-vcard PATH [--selected] [--vcard-version 3.0|4.0] [FOLDER]\n"
    "       korvelix --import-vcard PATH [FOLDER]\n"
    "       korvelix --sync FOLDER [STORE_FOLDER] [--allow-mass-delete] [--vdirsyncer PAIR]\n"
    "       korvelix --print-addresses OUT.pdf --layout LAYOUT [--selected] [--private] [FOLDER]\n"
    "       korvelix --history | --undo | --duplicates [FOLDER]\n";

}  // namespace

int main(int argc, char** argv) {
  // The vCard commands work on the store without any window.
  if (argc > 1 && kx::isVcardCommand(argv[1]))
    return kx::runVcardCommand({argv + 1, argv + argc}, std::cout, std::cerr);
  if (argc > 1 && kx::print::isPrintCommand(argv[1])) {
    kx::ui::OffscreenGui gui(argc, argv);
    return kx::print::runPrintCommand({argv + 1, argv + argc}, std::cout, std::cerr,
                                      kx::ui::printBackend());
  }
  if (argc > 1 && kx::isStoreCommand(argv[1]))
    return kx::runStoreCommand({argv + 1, argv + argc}, std::cout, std::cerr);
  kx::ui::Toolkit toolkit(argc, argv);
  kx::ui::DesktopServices services;
  kx::ui::setServices(&services);
  kx::ui::keepWindowPlacesOfUser();

  const kx::StartArguments args = kx::parseStartArguments(argc, argv, true);
  if (args.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (!args.error.empty()) {
    std::fprintf(stderr, "korvelix: %s\n%s", args.error.c_str(), kUsage);
    return 2;
  }
  bool newFolder = false;
  if (!kx::enterStartFolder(args, &newFolder)) return 1;

  kx::Session session(".", services);
  kx::Windows windows(session);
  windows.start(newFolder);
  if (args.exitAfterStart) {
    kx::ui::processPendingEvents();
    std::printf("%s\n", windows.entryCountLine().c_str());
    return 0;
  }
  return toolkit.exec();
}
