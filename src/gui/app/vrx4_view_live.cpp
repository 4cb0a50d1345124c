// The main view's handling of the live measurements and of the device's
// information messages: values into the LIVE page and the channel pages.
#include "core/base/language_table.h"
#include "core/link/notification_mailbox.h"
#include "gui/app/gui_notifier.h"
#include "core/monitoring/live_display.h"
#include "gui/app/message_box.h"
#include "gui/app/vrx4_app.h"
#include "gui/app/vrx4_view.h"
#include "core/link/comm_thread.h"
#include "gui/monitoring/graph_page.h"
#include "gui/monitoring/live_page.h"
#include "gui/memory/calibration_page.h"
#include "gui/pages/alarm_page.h"
#include "gui/pages/auxin_page.h"
#include "gui/pages/ctrl_page.h"
#include "gui/pages/iout_page.h"
#include "gui/pages/page_registry.h"
#include "gui/pages/uout_page.h"

namespace vrx4 {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The device's input type mirrored into a channel page, unless the user is
// editing it or a transfer is about to change its images. Its buttons stay
// as they are: a page waiting for the images keeps waiting.
template <class Page>
void mirrorInputType(Page* page, int type, bool transferRequested) {
  if (page == nullptr || page->m_editing != 0 || transferRequested) return;
  if (page->m_inputType == type) return;
  page->m_inputType = type;
  page->Refresh(1);
}

}  // namespace

void CVRX4View::OnLinkNotification(const LinkNotification& n) {
  if (n.message == msg::kLiveValues && n.measurement && !m_destroyed) OnLiveValues(n.lParam, &*n.measurement);
  else OnLinkMessage(n.message, n.wParam, n.lParam);
}

void CVRX4View::OnLiveValues(std::intptr_t lParam, const LiveMeasurement* measurement) {
  DeviceState& s = m_app.state();
  if (s.g_fileMode.load() == 1) {
    if (s.g_fileModeNoticeShown.load() == 0) {
      s.g_fileModeNoticeShown.store(1);
      messageBox(this, QStringLiteral("Currently in file mode....."));
    }
    return;
  }
  CLivePage* live = g_pLivePage;
  if (live == nullptr || (measurement == nullptr && !m_link)) return;
  live->UpdateData(true);

  // The measurement the notice came with, or one snapshot of the block:
  // the link thread goes on writing it.
  LiveDisplayInput in;
  in.m = measurement != nullptr ? *measurement : m_link->measurement();
  in.scaling = commandScaling(s.device(Area::Base));
  in.pressureFactor = m_app.m_fPressureFactor;
  in.pressureUnit = m_app.settings().m_nPressureUnit;
  in.accessMode = s.g_accessMode.load();
  in.ctrlForcedOnLivePage = live->m_bTestCtrl == 1 && s.g_currentPage.load() == 2;
  in.testCtrlUnit = live->m_nTestCtrlUnit;
  const LiveDisplay d = computeLiveDisplay(in);
  const bool transferRequested = s.g_xferRequest.load() != 0;

  live->setReportedInputTypes(d.ctrlUnit, d.auxinUnit);
  mirrorInputType(g_pCtrlPage, d.ctrlUnit, transferRequested);
  mirrorInputType(g_pAuxinPage, d.auxinUnit, transferRequested);
  live->setValueTexts(qs(d.ctrl), qs(d.auxin), qs(d.p2), qs(d.supply), qs(d.uout), qs(d.iout), qs(d.error));
  if (g_pCtrlPage != nullptr) g_pCtrlPage->setControlText(1140, qs(d.ctrlPage));
  if (g_pAuxinPage != nullptr) g_pAuxinPage->setControlText(1188, qs(d.auxin));
  if (g_pUoutPage != nullptr) g_pUoutPage->setControlText(1160, qs(d.p2));
  if (g_pIoutPage != nullptr) g_pIoutPage->setControlText(1172, qs(d.p2));

  live->m_nAlarmState = d.alarmState;
  if (g_pAlarmPage != nullptr) g_pAlarmPage->m_alarmOutput = d.alarmState;

  // Captions with the unit of the input mode the device reports.
  const QString ctrlCaption = live->controlText(live_id::kCtrlCaption) + QLatin1String(unitCaptionSuffix(d.ctrlUnit));
  const QString auxinCaption =
      live->controlText(live_id::kAuxinCaption) + QLatin1String(unitCaptionSuffix(d.auxinUnit));
  live->setUnitCaptions(QLatin1String(unitCaption(d.ctrlUnit)), QLatin1String(unitCaption(d.auxinUnit)));
  if (g_pCtrlPage != nullptr) g_pCtrlPage->setControlText(1144, ctrlCaption);
  if (g_pGraphPage != nullptr) g_pGraphPage->setControlText(1231, ctrlCaption);
  if (g_pAuxinPage != nullptr) g_pAuxinPage->setControlText(1189, auxinCaption);
  live->setControlText(live_id::kP2Auxin, auxinCaption);
  if (g_pGraphPage != nullptr) g_pGraphPage->setControlText(1232, auxinCaption);

  live->m_nP2Source = d.p2Source;

  for (CPage* p : {static_cast<CPage*>(live), static_cast<CPage*>(g_pCtrlPage), static_cast<CPage*>(g_pAlarmPage),
                   static_cast<CPage*>(g_pUoutPage), static_cast<CPage*>(g_pIoutPage),
                   static_cast<CPage*>(g_pAuxinPage)})
    if (p != nullptr && p->built()) p->UpdateData(false);

  // A capture sample goes to the graph page: its store, its chart and the
  // capture file.
  if (lParam == 1 && g_pGraphPage != nullptr) g_pGraphPage->OnCaptureSample(in.m, in.m.m_sampleMs);
}

void CVRX4View::OnInformation() {
  const ProfileFile& errors = m_app.errorMessages();
  const auto info = m_app.state().deviceInfo();
  std::array<std::uint8_t, 8> codes{};
  std::copy_n(info.begin(), codes.size(), codes.begin());
  QString text = qs(informationText(errors, m_app.settings().m_nLanguage, codes));
  text.remove(QLatin1Char('\r'));
  applyLabelText(dialog::kLive, 1013, text);
  applyLabelText(dialog::kCalibration, 1121, text);
}

}  // namespace vrx4
