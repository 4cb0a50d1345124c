// The main view's side of the link: the lamp and the link's state, and
// the images' trust: after a link restart they wait for the regulator's
// confirmation, and the link thread alone ends a transfer. Until then the
// pages show them as last read.
#include "core/link/comm_thread.h"
#include "gui/app/vrx4_app.h"
#include "gui/app/vrx4_view.h"

#include <QLabel>

#include "core/link/link_notifier.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/indicator_lamp.h"
#include "gui/memory/after_sales_page.h"
#include "gui/memory/calibration_page.h"
#include "gui/memory/tools_page.h"
#include "gui/pages/alarm_page.h"
#include "gui/pages/auxin_page.h"
#include "gui/pages/ctrl_page.h"
#include "gui/pages/iout_page.h"
#include "gui/pages/page_registry.h"
#include "gui/pages/pid_page.h"
#include "gui/pages/uout_page.h"
#include "gui/controls/command_reason.h"
#include "gui/pages/page.h"

namespace vrx4 {

void CVRX4View::doubtImages() {
  DeviceState& s = m_app.state();
  if (s.g_fileMode.load() == 1) return;  // the images are the file's
  // The images are those of whichever regulator the old link last read;
  // the new one may reach another. Until the identity check or a full
  // read has confirmed them, no page writes and Import saves nothing; a
  // different serial number reloads them, as when the lamp went red.
  // Images no regulator ever filled wait for the full read instead.
  const bool loaded = s.g_eepromLoaded.exchange(0) == 1;
  if (loaded || m_deviceAnswered) s.g_identifyRequest.store(1);
  OnReloadStarted();
}

void CVRX4View::OnIdentityConfirmed() {
  // The pages write again as after a full read, unless a transfer runs
  // (its end does that) or the images have been doubted since.
  const DeviceState& s = m_app.state();
  if (s.g_fileMode.load() == 1 || s.g_eepromLoaded.load() != 1 || s.requestPending()) return;
  OnTransferDone(1);
}

Blocked CVRX4View::imagesWaitReason() const {
  const DeviceState& s = m_app.state();
  // A write runs to its verified end before anything is read.
  if (s.writeRunning()) return Blocked::TransferRunning;
  return s.g_identifyRequest.load() == 1 ? Blocked::IdentityCheck : Blocked::ReadRunning;
}

void CVRX4View::TellFreshness(bool force) {
  const DeviceState& s = m_app.state();
  const bool silent = lampRed();
  const bool fileMode = s.g_fileMode.load() == 1;
  if (silent != linkSilent()) {
    // What waits on the regulator now says whether it answers.
    setLinkSilent(silent);
    retellReasons(this);
  }
  const Shown images = shownImages(fileMode, silent, s.imagesConfirmed());
  // In file mode no live value comes, whatever the lamp says.
  const bool liveSilent = silent || fileMode;
  if (!force && m_freshnessTold && images == m_toldImages && liveSilent == m_toldLiveSilent) return;
  m_freshnessTold = true;
  m_toldImages = images;
  m_toldLiveSilent = liveSilent;
  for (CPage* p : m_pages) p->ShowFreshness(images, liveSilent);
}

void CVRX4View::cancelRead() {
  // Ended by the link thread between two frames; a write runs on to its
  // verified end.
  if (m_link) m_link->cancelRead();
}

void CVRX4View::OnLinkState(std::uintptr_t wParam) {
  DeviceState& s = m_app.state();
  const bool fileMode = s.g_fileMode.load() == 1;
  const bool wasRed = lampRed();
  // The lamp and the text are drawn again only when they change: the link
  // reports its state with every reply it hands on.
  auto show = [this](ColourWord colour, const QString* text) {
    if (m_lamp->GetColour() != colour) m_lamp->SetColour(colour);
    if (text != nullptr && m_statusText->text() != *text) m_statusText->setText(*text);
  };
  switch (wParam) {
    case link_state::kAlive:
      show(kLampGreen, &m_strCommunicate);
      if (g_pToolsPage != nullptr) g_pToolsPage->SetRegulatorAnswering(true);
      if (!fileMode) m_deviceAnswered = true;
      break;
    case link_state::kLate:
      show(kLampYellow, &m_strCommunicate);
      break;
    case link_state::kNoDevice:
      show(kLampRed, &m_strNoCommunicate);
      if (g_pToolsPage != nullptr) g_pToolsPage->SetRegulatorAnswering(false);
      if (!fileMode && m_deviceAnswered) {
        s.g_eepromLoaded.store(0);
        if (s.g_identifyRequest.load() != 1 && m_link) m_link->resetLastRxTick();
        if (m_link) m_link->requestIdentityCheck();
        else s.g_identifyRequest.store(1);
        // The images are last read now: the pages write again once the
        // regulator has confirmed its serial number.
        if (!wasRed) OnReloadStarted();
      }
      break;
    default:
      show(kLampIdle, nullptr);
      break;
  }
  // The cursor follows a request a page has just made, and the lamp.
  UpdateCursor();
}

void CVRX4View::OnReloadStarted() {
  const Blocked why = imagesWaitReason();
  for (CPage* p : {static_cast<CPage*>(g_pUoutPage), static_cast<CPage*>(g_pToolsPage),
                   static_cast<CPage*>(g_pIoutPage), static_cast<CPage*>(g_pCtrlPage),
                   static_cast<CPage*>(g_pCalibrationPage), static_cast<CPage*>(g_pAuxinPage),
                   static_cast<CPage*>(g_pPidPage), static_cast<CPage*>(g_pAlarmPage),
                   static_cast<CPage*>(g_pAfterSalesPage)})
    if (p != nullptr && p->built()) p->Wait(why);
}

bool CVRX4View::lampRed() const { return m_lamp == nullptr || m_lamp->GetColour() == kLampRed; }

}  // namespace vrx4
