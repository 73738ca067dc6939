// The command line's address printing, for a run without any window:
//   korvelix --print-addresses OUT.pdf --layout postcard|envelope-naga3|
//            labels-12|labels-24 [--selected] [--private] [FOLDER]
// with the finer choices of the print window as options. The PDF is drawn
// by the caller's backend (Qt); this part holds no Qt.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "print/print_job.h"

namespace kx::print {

bool isPrintCommand(const std::string& arg);

struct PrintBackend {
  // The remembered sender and nudges put into the options.
  std::function<void(PrintOptions&)> remembered;
  // "" when the face's font is installed, else what to tell the user.
  std::function<std::string(Face)> fontMissing;
  std::function<GlyphCheck(Face)> glyphs;
  // Writes pages to a PDF file: "" or why it could not (Shift-JIS).
  std::function<std::string(const std::string& path, Sheet sheet, int pages,
                            const std::function<Page(int)>& pageAt, bool guides)>
      writePdf;
};

// args[0] is the command. Problems go to err (UTF-8), one line each, and a
// summary to out. Returns 0 when the PDF was written, 1 when nothing was,
// 2 for a command line it does not understand.
int runPrintCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const PrintBackend& backend);

}  // namespace kx::print
