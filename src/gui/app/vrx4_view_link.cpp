// The main view's side of the images' trust: after a link restart they
// wait for the regulator's confirmation, and the link thread alone ends a
// transfer.
#include "core/link/comm_thread.h"
#include "gui/app/vrx4_app.h"
#include "gui/app/vrx4_view.h"

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

void CVRX4View::cancelRead() {
  // Ended by the link thread between two frames; a write runs on to its
  // verified end.
  if (m_link) m_link->cancelRead();
}

}  // namespace vrx4
