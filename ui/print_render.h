// Pages of print/ drawn with Qt: into a PDF file, onto a printer, or into a
// picture for the preview. Fonts are the IPA ones the layouts are measured
// for; the PDF embeds them.
#pragma once

#include <functional>
#include <string>

#include "photo/jpeg.h"
#include "print/page.h"
#include "print/print_job.h"

class QImage;
class QPagedPaintDevice;
class QPainter;

namespace kx::ui {

struct RenderOptions {
  bool guides = false;  // the stationery's boxes and label edges drawn too
};

// Page i (from 0) of pages; progress(done) after each page, false to stop.
using PageSource = std::function<print::Page(int)>;
using ProgressStep = std::function<bool(int)>;

// Writes the pages to a PDF at path (replaced only when the whole file was
// written). Returns "" or why it could not (Shift-JIS); a stop by progress
// leaves path as it was and returns "".
std::string writePdf(const std::string& path, print::Sheet sheet, int pages,
                     const PageSource& pageAt, const RenderOptions& o,
                     const ProgressStep& progress = {}, bool* stopped = nullptr);

// The same onto a device already set up (a printer the user chose).
std::string paintPages(QPagedPaintDevice& device, int pages, const PageSource& pageAt,
                       const RenderOptions& o, const ProgressStep& progress = {},
                       bool* stopped = nullptr);

// Sets the device's page to the sheet (a named size where the sheet has
// one), portrait, no margins.
void setSheet(QPagedPaintDevice& device, print::Sheet sheet);

// One page as a picture, pixelsPerMm to the millimetre, guides included.
QImage pageImage(const print::Page& page, double pixelsPerMm);
// The same as the image control shows it.
Picture pagePicture(const print::Page& page, double pixelsPerMm);

class Services;
// The desktop's print dialog (through services), then the pages onto the
// printer chosen. "" when printed or when the user cancelled the dialog
// (*chosen false then), else why it could not be printed.
std::string printPages(Services& services, print::Sheet sheet, int pages,
                       const PageSource& pageAt, const ProgressStep& progress, bool* chosen,
                       bool* stopped);

// Whether the face's font has a glyph for a character; "" when the face's
// font is installed, else what to tell the user.
print::GlyphCheck glyphCheck(print::Face face);
std::string missingFontMessage(print::Face face);

// Draws the page on a painter whose unit is 1/100 mm.
void drawPage(QPainter& painter, const print::Page& page, const RenderOptions& o);

}  // namespace kx::ui
