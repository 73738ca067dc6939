#include "print/cli.h"

#include <charconv>
#include <sys/stat.h>

#include "store/sjis_unicode.h"
#include "store/store_files.h"

namespace kx::print {

namespace {

constexpr const char* kCommand = "--print-addresses";

std::string utf8(std::u8string_view text) { return {text.begin(), text.end()}; }

void printMessage(std::ostream& os, const std::string& sjis) {
  std::string text;
  appendUtf8(text, sjis);
  os << text << '\n';
}

int usage(std::ostream& err) {
  err << "usage: korvelix --print-addresses OUT.pdf --layout LAYOUT [--selected] [--private]\n"
         "                [--no-honorific] [--digits] [--gothic] [--start-label N]\n"
         "                [--keep-incomplete] [--guides] [FOLDER]\n"
         "LAYOUT: postcard, envelope-naga3, labels-12 or labels-24.\n"
         "  --selected         only the selected entries (else all, in name order)\n"
         "  --private          the name only, without company, division and title\n"
         "  --no-honorific     no sama or onchu after the name\n"
         "  --digits           numbers of an address digit by digit (else 12 as ju-ni)\n"
         "  --gothic           Gothic type (else Mincho)\n"
         "  --start-label N    the first free label of the first sheet, from 1\n"
         "  --keep-incomplete  also print entries without a postal code or address\n"
         "  --guides           draw the printed boxes and label edges too\n"
         "The sender and the nudges are those the print window remembers.\n"
         "FOLDER: the store's folder, by default the current one.\n";
  return 2;
}

bool isDirectory(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

bool isPrintCommand(const std::string& arg) { return arg == kCommand; }

int runPrintCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const PrintBackend& backend) {
  if (args.size() < 2 || !isPrintCommand(args[0]) || args[1].empty() || args[1][0] == '-')
    return usage(err);
  const std::string path = args[1];
  PrintOptions o;
  bool selected = false, guides = false, layoutGiven = false;
  std::vector<std::string> folders;
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--layout" && hasValue) {
      const auto l = layoutNamed(args[++i]);
      if (!l) return usage(err);
      o.layout = *l;
      layoutGiven = true;
    } else if (a == "--start-label" && hasValue) {
      const std::string& v = args[++i];
      int n = 0;
      const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
      if (ec != std::errc() || end != v.data() + v.size() || n < 1) return usage(err);
      o.startLabel = n;
    } else if (a == "--selected") {
      selected = true;
    } else if (a == "--private") {
      o.address.business = false;
    } else if (a == "--no-honorific") {
      o.address.honorific = false;
    } else if (a == "--digits") {
      o.address.numerals = NumeralStyle::Digits;
    } else if (a == "--gothic") {
      o.face = Face::Gothic;
    } else if (a == "--keep-incomplete") {
      o.keepIncomplete = true;
    } else if (a == "--guides") {
      guides = true;
    } else if (!a.empty() && a[0] == '-') {
      return usage(err);
    } else {
      folders.push_back(a);
    }
  }
  if (!layoutGiven || folders.size() > 1) return usage(err);
  if (isVertical(o.layout) && o.startLabel != 1) {
    err << utf8(u8"korvelix: --start-label はラベル用紙にだけ使えます") << '\n';
    return 2;
  }
  if (o.startLabel > cardsPerSheet(o.layout)) {
    err << "korvelix: --start-label " << o.startLabel << utf8(u8": 1枚のラベルは")
        << cardsPerSheet(o.layout) << utf8(u8"枚です") << '\n';
    return 2;
  }
  // Remembered nudges are those of the layout asked for.
  if (backend.remembered) backend.remembered(o);
  const std::string folder = folders.empty() ? std::string(".") : folders[0];
  if (!isDirectory(folder)) {
    err << "korvelix: " << folder << utf8(u8": フォルダがありません") << '\n';
    return 1;
  }
  if (backend.fontMissing) {
    const std::string missing = backend.fontMissing(o.face);
    if (!missing.empty()) {
      printMessage(err, missing);
      return 1;
    }
  }

  auto s = makeStore();
  StoreLock lock;
  VectorSink loading;
  openStore(*s, folder, loading, lock);
  // Printing only reads: a store another copy holds may be printed from.
  for (const std::string& m : loading.messages)
    if (m != kOtherCopyLoadMessage) printMessage(err, m);

  const auto entries = entriesToPrint(*s, selected ? Entries::Selected : Entries::All, -1);
  const PrintPlan plan = planPrint(*s, entries, o, backend.glyphs ? backend.glyphs(o.face) : GlyphCheck{});
  for (const std::string& line : problemLines(*s, plan, o)) printMessage(err, line);
  if (plan.cards.empty()) {
    err << utf8(u8"korvelix: 印刷する宛先がありません") << '\n';
    return 1;
  }
  const std::string failed = backend.writePdf(
      path, sheetOf(o.layout), plan.pages,
      [&](int i) { return layoutPage(*s, plan, o, i); }, guides);
  if (!failed.empty()) {
    printMessage(err, failed);
    return 1;
  }
  out << plan.cards.size() << utf8(u8"件の宛先を") << plan.pages << utf8(u8"ページに書き出しました: ")
      << path << '\n';
  return 0;
}

}  // namespace kx::print
