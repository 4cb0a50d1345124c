// One pointer per page, set when the main view creates the page and
// cleared when it deletes it. GUI thread only.
#pragma once

namespace vrx4 {

class CPage;
class CLivePage;
class CModePage;
class CAgreementPage;
class CLogoPanel;
class CCtrlPage;
class CUoutPage;
class CIoutPage;
class CAuxinPage;
class CPidPage;
class CAlarmPage;
class CGraphPage;
class CToolsPage;
class CCalibrationPage;
class CAfterSalesPage;
class CInfoPage;

inline CLogoPanel* g_pLogoMakerPage = nullptr;
inline CLogoPanel* g_pLogoBrandPage = nullptr;
inline CLogoPanel* g_pLogoSoftwarePage = nullptr;
inline CAgreementPage* g_pAgreementPage = nullptr;
inline CModePage* g_pModePage = nullptr;
inline CLivePage* g_pLivePage = nullptr;
inline CAfterSalesPage* g_pAfterSalesPage = nullptr;
inline CCalibrationPage* g_pCalibrationPage = nullptr;
inline CCtrlPage* g_pCtrlPage = nullptr;
inline CUoutPage* g_pUoutPage = nullptr;
inline CIoutPage* g_pIoutPage = nullptr;
inline CAuxinPage* g_pAuxinPage = nullptr;
inline CPidPage* g_pPidPage = nullptr;
inline CToolsPage* g_pToolsPage = nullptr;
inline CAlarmPage* g_pAlarmPage = nullptr;
inline CGraphPage* g_pGraphPage = nullptr;
inline CInfoPage* g_pInfoPage = nullptr;

}  // namespace vrx4
