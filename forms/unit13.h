// Form13, the print window: addresses of the store's entries on postcards,
// envelopes or label sheets, previewed card by card and sent to a printer
// through the desktop's print dialog or saved as a PDF. It only reads the
// store; the sender and the nudges are remembered between runs.
#pragma once

#include "forms/navigator.h"
#include "print/print_job.h"
#include "session/session.h"
#include "ui/controls.h"

namespace kx {

class TForm13 : public ui::Window {
 public:
  TForm13(Session& session, Navigator& navigator);

  // Shows the window on the store as it is now; onView is the entry on view
  // (-1 when none is).
  void open(int onView);

  ui::RadioGroup *LayoutGroup, *EntriesGroup, *MailGroup, *HonorificGroup, *NumeralsGroup,
      *FaceGroup, *KeepGroup;
  ui::Label *SenderLabel, *SenderNameLabel, *SenderAddressLabel, *SenderZipLabel, *NudgeLabel,
      *NudgeXLabel, *NudgeYLabel, *StartLabelLabel, *PdfLabel, *PageLabel;
  ui::Edit *SenderName, *SenderAddress, *SenderZip, *NudgeX, *NudgeY, *StartLabel, *PdfPath;
  ui::Memo* Problems;
  ui::Image* Preview;
  ui::Button *PreviewButton, *PrevPage, *NextPage, *PrintButton, *SaveButton, *PickPdf,
      *CloseButton;

  // The plan the preview shows.
  const print::PrintPlan& plan() const { return plan_; }
  int shownPage() const { return page_; }

 private:
  // The choices on the window; false (the user told, unless quiet) when a
  // number box holds no number.
  bool readOptions(print::PrintOptions* o, bool quiet = false);
  // Plans the run again from the window's choices, lists its problems and
  // shows its first page; false when the choices could not be read.
  bool refresh();
  void showPage(int page);
  void layoutChosen();
  // The run ready to go out: planned, with something to print and the font
  // there; false (the user told) otherwise.
  bool readyToGo();

  void PreviewButtonClick();
  void PrevPageClick();
  void NextPageClick();
  void PrintButtonClick();
  void SaveButtonClick();
  void PickPdfClick();

  Session& session;
  int onView_ = -1;
  print::Layout nudgesOf_ = print::Layout::Postcard;  // the layout the nudge boxes hold
  print::PrintOptions planned_;
  print::PrintPlan plan_;
  int page_ = 0;
};

}  // namespace kx
