// The main view's side of the images' trust: after a link restart they
// wait for the regulator's confirmation, and the link thread alone ends a
// transfer. Until then the pages show them as last read.
#include "core/link/comm_thread.h"
#include "gui/app/vrx4_app.h"
#include "gui/app/vrx4_view.h"
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

}  // namespace vrx4
