#include "ui/print_render.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QRawFont>
#include <QSaveFile>

#include <cmath>
#include <map>

#include "ui/controls.h"
#include "ui/encoding.h"
#include "ui/services.h"

namespace kx::ui {

namespace {

constexpr double kUnitsPerMm = 100.0;  // the painter's unit: 1/100 mm

QString familyOf(print::Face face) {
  return face == print::Face::Gothic ? QStringLiteral("IPAGothic") : QStringLiteral("IPAMincho");
}

// Fonts by face and size, made once: a page sets a few sizes many times.
class Fonts {
 public:
  explicit Fonts(print::Face face) : family_(familyOf(face)) {}
  const QFont& at(double sizeMm) {
    const int px = std::max(1, static_cast<int>(std::lround(sizeMm * kUnitsPerMm)));
    auto it = fonts_.find(px);
    if (it == fonts_.end()) {
      QFont f(family_);
      f.setPixelSize(px);
      f.setKerning(false);
      f.setHintingPreference(QFont::PreferNoHinting);
      it = fonts_.emplace(px, f).first;
    }
    return it->second;
  }
  // The em box's top is this much of the em above the baseline.
  double ascent() {
    if (ascent_ < 0) {
      QFont f(family_);
      f.setPixelSize(1000);
      ascent_ = QFontMetricsF(f).ascent() / 1000.0;
    }
    return ascent_;
  }

 private:
  QString family_;
  std::map<int, QFont> fonts_;
  double ascent_ = -1;
};

void drawGuides(QPainter& p, const print::Page& page) {
  p.save();
  QPen pen(QColor(220, 60, 60));
  pen.setWidthF(0.25 * kUnitsPerMm);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  for (const print::Rect& r : page.guides)
    p.drawRect(QRectF(r.x * kUnitsPerMm, r.y * kUnitsPerMm, r.w * kUnitsPerMm, r.h * kUnitsPerMm));
  p.restore();
}

void drawGlyphs(QPainter& p, const print::Page& page, Fonts& fonts) {
  p.setPen(Qt::black);
  const double ascent = fonts.ascent();
  for (const print::Glyph& g : page.glyphs) {
    p.setFont(fonts.at(g.size));
    const QString text = QString::fromUcs4(&g.ch, 1);
    const QPointF origin(-g.advance / 2 * kUnitsPerMm, (ascent - 0.5) * g.size * kUnitsPerMm);
    if (!g.turned) {
      p.drawText(QPointF(g.x * kUnitsPerMm, g.y * kUnitsPerMm) + origin, text);
      continue;
    }
    p.save();
    p.translate(g.x * kUnitsPerMm, g.y * kUnitsPerMm);
    p.rotate(90);
    p.drawText(origin, text);
    p.restore();
  }
}

// The painter's unit set to 1/100 mm of the device.
void scaleToUnits(QPainter& p, const QPaintDevice& device) {
  const double dotsPerMm = device.logicalDpiX() / 25.4;
  p.scale(dotsPerMm / kUnitsPerMm, device.logicalDpiY() / 25.4 / kUnitsPerMm);
}

}  // namespace

void drawPage(QPainter& painter, const print::Page& page, const RenderOptions& o) {
  Fonts fonts(page.face);
  if (o.guides) drawGuides(painter, page);
  drawGlyphs(painter, page, fonts);
}

void setSheet(QPagedPaintDevice& device, print::Sheet sheet) {
  const QSizeF mm(sheet.width, sheet.height);
  QPageSize size(mm, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
  device.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
}

std::string paintPages(QPagedPaintDevice& device, int pages, const PageSource& pageAt,
                       const RenderOptions& o, const ProgressStep& progress, bool* stopped) {
  if (stopped) *stopped = false;
  QPainter painter;
  if (!painter.begin(&device)) return fromUtf8(u8"印刷を始められません");
  painter.setRenderHint(QPainter::TextAntialiasing);
  scaleToUnits(painter, device);
  print::Face face = print::Face::Mincho;
  std::unique_ptr<Fonts> fonts;
  for (int i = 0; i < pages; ++i) {
    const print::Page page = pageAt(i);
    if (!fonts || page.face != face) {
      face = page.face;
      fonts = std::make_unique<Fonts>(face);
    }
    if (i > 0) device.newPage();
    if (o.guides) drawGuides(painter, page);
    drawGlyphs(painter, page, *fonts);
    if (progress && !progress(i + 1)) {
      if (stopped) *stopped = true;
      break;
    }
  }
  painter.end();
  return {};
}

std::string writePdf(const std::string& path, print::Sheet sheet, int pages,
                     const PageSource& pageAt, const RenderOptions& o, const ProgressStep& progress,
                     bool* stopped) {
  QSaveFile file(QString::fromLocal8Bit(path.c_str()));
  if (!file.open(QIODevice::WriteOnly))
    return fromUtf8(u8"PDFファイルを作れません: ") + path;
  std::string failed;
  bool halted = false;
  {
    QPdfWriter writer(&file);
    writer.setResolution(1200);
    writer.setCreator(QStringLiteral("KORVELIX"));
    writer.setTitle(QStringLiteral("KORVELIX"));
    setSheet(writer, sheet);
    failed = paintPages(writer, pages, pageAt, o, progress, &halted);
  }
  if (stopped) *stopped = halted;
  if (!failed.empty() || halted) {
    file.cancelWriting();
    return failed;
  }
  if (!file.commit()) return fromUtf8(u8"PDFファイルを書けません: ") + path;
  return {};
}

QImage pageImage(const print::Page& page, double pixelsPerMm) {
  QImage image(std::max(1, static_cast<int>(std::lround(page.sheet.width * pixelsPerMm))),
               std::max(1, static_cast<int>(std::lround(page.sheet.height * pixelsPerMm))),
               QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.scale(pixelsPerMm / kUnitsPerMm, pixelsPerMm / kUnitsPerMm);
  drawPage(painter, page, RenderOptions{true});
  return image;
}

Picture pagePicture(const print::Page& page, double pixelsPerMm) {
  const QImage image = pageImage(page, pixelsPerMm).convertToFormat(QImage::Format_RGB888);
  Picture p;
  p.width = image.width();
  p.height = image.height();
  p.rgb.resize(static_cast<std::size_t>(p.width) * p.height * 3);
  for (int y = 0; y < p.height; ++y)
    std::copy_n(image.constScanLine(y), p.width * 3, p.rgb.begin() + static_cast<long>(y) * p.width * 3);
  return p;
}

std::string printPages(Services& services, print::Sheet sheet, int pages,
                       const PageSource& pageAt, const ProgressStep& progress, bool* chosen,
                       bool* stopped) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setFullPage(true);
  setSheet(printer, sheet);
  printer.setFromTo(1, pages);
  *chosen = services.choosePrinter(printer);
  *stopped = false;
  if (!*chosen) return {};
  // The dialog may have narrowed the run to some pages.
  int from = 1, to = pages;
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    from = std::clamp(printer.fromPage(), 1, pages);
    to = std::clamp(printer.toPage() > 0 ? printer.toPage() : pages, from, pages);
  }
  return paintPages(
      printer, to - from + 1, [&](int i) { return pageAt(from - 1 + i); }, RenderOptions{},
      progress, stopped);
}

print::GlyphCheck glyphCheck(print::Face face) {
  QFont f(familyOf(face));
  f.setPixelSize(100);
  const QRawFont raw = QRawFont::fromFont(f);
  return [raw](char32_t c) { return raw.supportsCharacter(static_cast<uint>(c)); };
}

std::string missingFontMessage(print::Face face) {
  QFont f(familyOf(face));
  if (QFontInfo(f).family() == familyOf(face)) return {};
  return fromUtf8(u8"印刷用のフォントがありません: ") + familyOf(face).toStdString();
}

}  // namespace kx::ui
