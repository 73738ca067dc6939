#include "ui/progress.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include "ui/controls.h"
#include "ui/encoding.h"

namespace kx::ui {

Progress::Progress(Window& owner, const std::string& sjisCaption, int total)
    : dialog_(std::make_unique<QProgressDialog>(toUnicode(sjisCaption), toUnicode(fromUtf8(u8"中止")),
                                                0, total, owner.widget())) {
  dialog_->setObjectName(QStringLiteral("Progress"));
  dialog_->setWindowModality(Qt::WindowModal);
  dialog_->setMinimumDuration(300);
  dialog_->setAutoClose(false);
  dialog_->setAutoReset(false);
  dialog_->setValue(0);
}

Progress::~Progress() = default;

bool Progress::step(int done) {
  dialog_->setValue(done);
  // The dialog paints and takes the cancel click between steps.
  QCoreApplication::processEvents();
  return !dialog_->wasCanceled();
}

void Progress::cancel() { dialog_->cancel(); }

bool Progress::cancelled() const { return dialog_->wasCanceled(); }

}  // namespace kx::ui
