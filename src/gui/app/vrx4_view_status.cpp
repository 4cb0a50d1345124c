// The main view's status bar beside the lamp: the running transfer's
// progress, as the link engine reports it, and the short texts that say a
// command has finished.
#include "gui/app/vrx4_app.h"
#include "gui/app/vrx4_view.h"
#include "gui/controls/status_notice.h"
#include "gui/controls/transfer_progress_bar.h"

namespace vrx4 {

void CVRX4View::createStatusBar() {
  // On the bottom band, between the brand logo and the status text; the
  // notice on the line below, so that a transfer a command starts (Save
  // reads the regulator again) does not hide what it says.
  m_progressBar = new CTransferProgressBar(this);
  m_progressBar->setGeometry(175, 635, 385, 20);
  m_notice = new CStatusNotice(this);
  m_notice->setGeometry(175, 660, 385, 20);
}

void CVRX4View::applyStatusTexts() {
  auto text = [this](Kept k) { return QString::fromStdString(m_app.keptText(k)); };
  m_progressBar->setTexts(text(Kept::ProgressReading), text(Kept::ProgressWriting), text(Kept::ProgressWaiting));
}

void CVRX4View::OnTransferProgress(std::uintptr_t wParam, std::intptr_t lParam) {
  m_progressBar->showProgress(transfer_progress::fromMessage(wParam, lParam));
  m_progressBar->raise();
}

void CVRX4View::showNotice(const QString& text) { m_notice->showNotice(text); }

}  // namespace vrx4
