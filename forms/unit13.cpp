#include "forms/unit13.h"

#include <algorithm>
#include <charconv>
#include <memory>

#include "store/message_sink.h"
#include "ui/encoding.h"
#include "ui/print_render.h"
#include "ui/print_settings.h"
#include "ui/progress.h"
#include "ui/services.h"

namespace kx {

namespace {

using ui::fromUtf8;

constexpr const char* kDefaultPdf = "korvelix-addresses.pdf";
constexpr int kPreviewLeft = 424, kPreviewTop = 16, kPreviewWidth = 320, kPreviewHeight = 440;

constexpr print::Layout kLayouts[] = {print::Layout::Postcard, print::Layout::EnvelopeNaga3,
                                      print::Layout::Labels12, print::Layout::Labels24};

// A whole number typed in a box: an optional sign and digits.
bool numberIn(const std::string& text, int* value) {
  std::string t = text;
  t.erase(std::remove(t.begin(), t.end(), ' '), t.end());
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  if (t.empty()) {
    *value = 0;
    return true;
  }
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), *value);
  return ec == std::errc() && end == t.data() + t.size();
}

std::string count(int n) { return std::to_string(n); }

}  // namespace

TForm13::TForm13(Session& s, Navigator&) : ui::Window("Form13", "PRINT", 760, 580), session(s) {
  setFont(ui::Font{ui::Font::Proportional, 12, false, false, 0x000000});
  LayoutGroup = addRadioGroup("LayoutGroup", 16, 8, 392, 60, fromUtf8(u8"用紙"),
                              {fromUtf8(u8"はがき"), fromUtf8(u8"長形3号封筒"),
                               fromUtf8(u8"ラベル12面"), fromUtf8(u8"ラベル24面")},
                              2);
  EntriesGroup = addRadioGroup("EntriesGroup", 16, 74, 392, 44, fromUtf8(u8"宛先"),
                               {fromUtf8(u8"全件"), fromUtf8(u8"選択分"), fromUtf8(u8"表示中の1件")},
                               3);
  MailGroup = addRadioGroup("MailGroup", 16, 124, 392, 44, fromUtf8(u8"宛名"),
                            {fromUtf8(u8"ビジネス(会社名・所属・役職)"), fromUtf8(u8"プライベート(氏名のみ)")},
                            2);
  HonorificGroup = addRadioGroup("HonorificGroup", 16, 174, 192, 44, fromUtf8(u8"敬称"),
                                 {fromUtf8(u8"様・御中"), fromUtf8(u8"なし")}, 2);
  NumeralsGroup = addRadioGroup("NumeralsGroup", 216, 174, 192, 44, fromUtf8(u8"番地の数字"),
                                {fromUtf8(u8"十二"), fromUtf8(u8"一二")}, 2);
  FaceGroup = addRadioGroup("FaceGroup", 16, 224, 192, 44, fromUtf8(u8"書体"),
                            {fromUtf8(u8"明朝"), fromUtf8(u8"ゴシック")}, 2);
  KeepGroup = addRadioGroup("KeepGroup", 216, 224, 192, 44, fromUtf8(u8"住所のない宛先"),
                            {fromUtf8(u8"印刷しない"), fromUtf8(u8"印刷する")}, 2);
  for (ui::RadioGroup* g : {LayoutGroup, EntriesGroup, MailGroup, HonorificGroup, NumeralsGroup,
                            FaceGroup, KeepGroup}) {
    g->setItemIndex(0);
    g->onClick([this] { refresh(); });
  }
  LayoutGroup->onClick([this] { layoutChosen(); });

  SenderLabel = addLabel("SenderLabel", 16, 278, fromUtf8(u8"差出人"));
  SenderLabel->setFont(ui::Font{ui::Font::Proportional, 14, true, false, 0x000000});
  SenderNameLabel = addLabel("SenderNameLabel", 24, 303, fromUtf8(u8"氏名"));
  SenderName = addEdit("SenderName", 72, 300, 336);
  SenderAddressLabel = addLabel("SenderAddressLabel", 24, 329, fromUtf8(u8"住所"));
  SenderAddress = addEdit("SenderAddress", 72, 326, 336);
  SenderZipLabel = addLabel("SenderZipLabel", 24, 355, fromUtf8(u8"〒"));
  SenderZip = addEdit("SenderZip", 72, 352, 96);

  NudgeLabel = addLabel("NudgeLabel", 16, 388, fromUtf8(u8"位置の調整 (0.1mm単位)"));
  NudgeLabel->setFont(ui::Font{ui::Font::Proportional, 14, true, false, 0x000000});
  NudgeXLabel = addLabel("NudgeXLabel", 24, 415, fromUtf8(u8"右へ"));
  NudgeX = addEdit("NudgeX", 72, 412, 56);
  NudgeYLabel = addLabel("NudgeYLabel", 144, 415, fromUtf8(u8"下へ"));
  NudgeY = addEdit("NudgeY", 184, 412, 56);
  StartLabelLabel = addLabel("StartLabelLabel", 256, 415, fromUtf8(u8"開始ラベル"));
  StartLabel = addEdit("StartLabel", 336, 412, 40);
  StartLabel->setText("1");
  for (ui::Edit* e : {SenderName, SenderAddress, SenderZip, NudgeX, NudgeY, StartLabel})
    e->onEnter([this] { refresh(); });

  Problems = addMemo("Problems", 16, 444, 392, 84);
  Problems->setReadOnly(true);
  PdfLabel = addLabel("PdfLabel", 16, 543, "PDF");
  PdfPath = addEdit("PdfPath", 48, 540, 328);
  PdfPath->setText(kDefaultPdf);
  PickPdf = addButton("PickPdf", 383, 538, 25, 25, "...");
  PickPdf->onClick([this] { PickPdfClick(); });

  Preview = addImage("Preview", kPreviewLeft, kPreviewTop, kPreviewWidth, kPreviewHeight);
  PrevPage = addButton("PrevPage", kPreviewLeft, 462, 41, 25, "<");
  PrevPage->onClick([this] { PrevPageClick(); });
  PageLabel = addLabel("PageLabel", 560, 467);
  NextPage = addButton("NextPage", kPreviewLeft + kPreviewWidth - 41, 462, 41, 25, ">");
  NextPage->onClick([this] { NextPageClick(); });
  PreviewButton = addButton("PreviewButton", 320, 384, 88, 25, "PREVIEW");
  PreviewButton->onClick([this] { PreviewButtonClick(); });
  PrintButton = addButton("PrintButton", kPreviewLeft, 500, 97, 33, "PRINT");
  PrintButton->onClick([this] { PrintButtonClick(); });
  SaveButton = addButton("SaveButton", kPreviewLeft + 111, 500, 97, 33, "SAVE AS PDF");
  SaveButton->onClick([this] { SaveButtonClick(); });
  CloseButton = addButton("CloseButton", kPreviewLeft + 223, 500, 97, 33, "CLOSE");
  CloseButton->onClick([this] { close(); });
  onEscape([this] { close(); });
  // What was typed is kept even when nothing was printed with it.
  onClose([this] {
    print::PrintOptions o;
    if (readOptions(&o, true)) ui::saveRemembered(o);
  });
}

void TForm13::open(int onView) {
  onView_ = onView;
  print::PrintOptions o;
  o.layout = kLayouts[std::clamp(LayoutGroup->itemIndex(), 0, 3)];
  ui::loadRemembered(o);
  SenderName->setText(o.sender.name);
  SenderAddress->setText(o.sender.address);
  SenderZip->setText(o.sender.zip);
  NudgeX->setText(count(o.nudgeX));
  NudgeY->setText(count(o.nudgeY));
  nudgesOf_ = o.layout;
  // The one on view is what the user most likely means when there is one.
  EntriesGroup->setItemIndex(onView >= 0 ? 2 : 0);
  show();
  refresh();
}

bool TForm13::readOptions(print::PrintOptions* o, bool quiet) {
  o->layout = kLayouts[std::clamp(LayoutGroup->itemIndex(), 0, 3)];
  o->address.business = MailGroup->itemIndex() != 1;
  o->address.honorific = HonorificGroup->itemIndex() != 1;
  o->address.numerals =
      NumeralsGroup->itemIndex() == 1 ? print::NumeralStyle::Digits : print::NumeralStyle::Positional;
  o->face = FaceGroup->itemIndex() == 1 ? print::Face::Gothic : print::Face::Mincho;
  o->keepIncomplete = KeepGroup->itemIndex() == 1;
  o->sender.name = SenderName->text();
  o->sender.address = SenderAddress->text();
  o->sender.zip = SenderZip->text();
  if (!numberIn(NudgeX->text(), &o->nudgeX) || !numberIn(NudgeY->text(), &o->nudgeY) ||
      !numberIn(StartLabel->text(), &o->startLabel) || o->nudgeX < -100 || o->nudgeX > 100 ||
      o->nudgeY < -100 || o->nudgeY > 100) {
    if (!quiet) ui::services().show(fromUtf8(u8"位置の調整は -100 から 100 までの数字で入力してください"));
    return false;
  }
  const int labels = print::cardsPerSheet(o->layout);
  if (o->startLabel < 1 || o->startLabel > labels) {
    if (!quiet) ui::services().show(fromUtf8(u8"開始ラベルは 1 から ") + count(labels) +
                   fromUtf8(u8" までの数字で入力してください"));
    return false;
  }
  return true;
}

bool TForm13::refresh() {
  print::PrintOptions o;
  if (!readOptions(&o)) return false;
  // What is typed in is remembered as soon as it is used.
  ui::saveRemembered(o);
  const print::Entries which = EntriesGroup->itemIndex() == 1   ? print::Entries::Selected
                               : EntriesGroup->itemIndex() == 2 ? print::Entries::OnView
                                                                : print::Entries::All;
  planned_ = o;
  plan_ = print::planPrint(session.store(), print::entriesToPrint(session.store(), which, onView_), o,
                           ui::glyphCheck(o.face));
  std::vector<std::string> lines = print::problemLines(session.store(), plan_, o);
  if (plan_.cards.empty())
    lines.insert(lines.begin(), fromUtf8(u8"印刷する宛先がありません"));
  Problems->setLines(lines);
  showPage(0);
  return true;
}

void TForm13::showPage(int page) {
  page_ = std::clamp(page, 0, std::max(0, plan_.pages - 1));
  if (plan_.pages == 0) {
    print::Page blank;
    blank.sheet = print::sheetOf(planned_.layout);
    print::addGuides(planned_.layout, blank);
    const double scale = std::min(kPreviewWidth / blank.sheet.width, kPreviewHeight / blank.sheet.height);
    Preview->setPicture(ui::pagePicture(blank, scale));
    PageLabel->setCaption("0 / 0");
    return;
  }
  const print::Page p = print::layoutPage(session.store(), plan_, planned_, page_);
  const double scale = std::min(kPreviewWidth / p.sheet.width, kPreviewHeight / p.sheet.height);
  Preview->setPicture(ui::pagePicture(p, scale));
  PageLabel->setCaption(count(page_ + 1) + " / " + count(plan_.pages));
}

void TForm13::layoutChosen() {
  const print::Layout chosen = kLayouts[std::clamp(LayoutGroup->itemIndex(), 0, 3)];
  int start = 1;
  if (!numberIn(StartLabel->text(), &start) || start < 1 || start > print::cardsPerSheet(chosen))
    StartLabel->setText("1");
  // The nudge boxes follow the layout: each has its own printer feed.
  print::PrintOptions o;
  if (readOptions(&o, true)) {
    o.layout = nudgesOf_;
    ui::saveRemembered(o);
  }
  print::PrintOptions next;
  next.layout = chosen;
  ui::loadRemembered(next);
  NudgeX->setText(count(next.nudgeX));
  NudgeY->setText(count(next.nudgeY));
  nudgesOf_ = chosen;
  refresh();
}

bool TForm13::readyToGo() {
  if (!refresh()) return false;
  if (plan_.cards.empty()) {
    ui::services().show(fromUtf8(u8"印刷する宛先がありません"));
    return false;
  }
  const std::string missing = ui::missingFontMessage(planned_.face);
  if (!missing.empty()) {
    ui::services().show(missing);
    return false;
  }
  // What is left out or will not print as it should is said once more,
  // and the user decides.
  const std::vector<std::string> lines = print::problemLines(session.store(), plan_, planned_);
  if (lines.empty()) return true;
  std::string question;
  const int shown = std::min<int>(static_cast<int>(lines.size()), kShownLineProblems);
  for (int i = 0; i < shown; ++i) question += lines[i] + "\n";
  if (static_cast<int>(lines.size()) > shown)
    question += fromUtf8(u8"ほか") + count(static_cast<int>(lines.size()) - shown) + fromUtf8(u8"件\n");
  return ui::services().ask(question + "\n" + count(static_cast<int>(plan_.cards.size())) +
                       fromUtf8(u8"件の宛先を印刷しますか？"));
}

void TForm13::PreviewButtonClick() { refresh(); }

void TForm13::PrevPageClick() { showPage(page_ - 1); }

void TForm13::NextPageClick() { showPage(page_ + 1); }

void TForm13::PrintButtonClick() {
  if (!readyToGo()) return;
  // The bar appears once pages go out, never over the print dialog.
  std::unique_ptr<ui::Progress> progress;
  bool chosen = false, stopped = false;
  const std::string failed = ui::printPages(
      ui::services(), print::sheetOf(planned_.layout), plan_.pages,
      [this](int i) { return print::layoutPage(session.store(), plan_, planned_, i); },
      [&](int done) {
        if (!progress) progress = std::make_unique<ui::Progress>(*this, fromUtf8(u8"印刷しています"), plan_.pages);
        return progress->step(done);
      },
      &chosen, &stopped);
  progress.reset();
  if (!chosen) return;
  if (!failed.empty()) ui::services().show(failed);
  else if (stopped) ui::services().show(fromUtf8(u8"印刷を中止しました"));
  else ui::services().show(count(plan_.pages) + fromUtf8(u8"ページを印刷しました"));
}

void TForm13::SaveButtonClick() {
  const std::string path = PdfPath->fileName();
  if (path.empty()) {
    ui::services().show(fromUtf8(u8"PDFファイル名を入力してください"));
    return;
  }
  if (!readyToGo()) return;
  // A relative name is a file beside the store's.
  const std::string file = session.inStoreFolder(path);
  std::unique_ptr<ui::Progress> progress;
  bool stopped = false;
  const std::string failed = ui::writePdf(
      file, print::sheetOf(planned_.layout), plan_.pages,
      [this](int i) { return print::layoutPage(session.store(), plan_, planned_, i); }, {},
      [&](int done) {
        if (!progress)
          progress = std::make_unique<ui::Progress>(*this, fromUtf8(u8"PDFに書き出しています"), plan_.pages);
        return progress->step(done);
      },
      &stopped);
  progress.reset();
  if (!failed.empty()) ui::services().show(failed);
  else if (stopped) ui::services().show(fromUtf8(u8"PDFの書き出しを中止しました"));
  else
    ui::services().show(count(plan_.pages) + fromUtf8(u8"ページをPDFに書き出しました\n") +
                   ui::pathText(path));
}

void TForm13::PickPdfClick() {
  const std::string chosen =
      ui::services().pickPath(ui::Services::Pick::File, session.inStoreFolder(PdfPath->fileName()));
  if (!chosen.empty()) PdfPath->setFileName(chosen);
}

}  // namespace kx
