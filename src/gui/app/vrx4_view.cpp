#include "gui/app/vrx4_view.h"

#include <QCoreApplication>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>

#include "core/base/access_modes.h"
#include "gui/app/agreement_page.h"
#include "core/base/control_ids.h"
#include "gui/controls/dialog_units.h"
#include "gui/app/gui_notifier.h"
#include "core/base/language_table.h"
#include "gui/app/logo_panel.h"
#include "gui/app/main_frame.h"
#include "gui/app/manual_viewer.h"
#include "gui/app/message_box.h"
#include "gui/app/mode_page.h"
#include "core/base/number_format.h"
#include "core/base/pressure_units.h"
#include "gui/app/vrx4_app.h"
#include "gui/controls/colour_button.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/command_reason.h"
#include "gui/controls/control_id.h"
#include "gui/controls/indicator_lamp.h"
#include "core/link/comm_thread.h"
#include "core/link/link_notifier.h"
#include "gui/memory/after_sales_page.h"
#include "gui/memory/calibration_page.h"
#include "gui/memory/info_page.h"
#include "gui/memory/tools_page.h"
#include "gui/monitoring/graph_page.h"
#include "gui/monitoring/live_page.h"
#include "gui/pages/alarm_page.h"
#include "gui/pages/auxin_page.h"
#include "gui/pages/ctrl_page.h"
#include "gui/pages/iout_page.h"
#include "gui/pages/page_registry.h"
#include "gui/pages/pid_page.h"
#include "gui/pages/uout_page.h"

namespace vrx4 {
namespace {

// The navigation column, top to bottom: each mode adds buttons below the
// ones of the mode before it.
struct NavButton {
  int id;
  const char* text;
};
constexpr NavButton kNavigation[] = {
    {view_id::kHome, "HOME"},     {view_id::kTools, "TOOLS"}, {view_id::kLive, "LIVE"},
    {view_id::kGraph, "GRAPH"},   {view_id::kControl, "CONTROL"}, {view_id::kAlarm, "ALARM"},
    {view_id::kUout, "Uout"},     {view_id::kIout, "Iout"},   {view_id::kAuxin, "AUXin"},
    {view_id::kPid, "PID"},       {view_id::kCalibration, "Calibration"},
    {view_id::kAfterSales, "After-Sales"}};

// The page area.
constexpr int kPageX = 210, kPageY = 110, kPageW = 800, kPageH = 510;

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CVRX4View::CVRX4View(CVRX4App& app)
    : m_app(app),
      m_notifier(std::make_unique<GuiNotifier>(this, [this](const LinkNotification& n) { OnLinkNotification(n); })) {
  setControlId(this, dialog::kView);
  setStateTexts([this](Kept k) { return qs(m_app.keptText(k)); });
  setLinkSilent(true);
  setMinimumSize(kFormWidth, kFormHeight);
  createControls();
  auto* print = new QShortcut(QKeySequence::Print, this);
  connect(print, &QShortcut::activated, this, [this] { OnFilePrint(); });
  auto* preview = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), this);
  connect(preview, &QShortcut::activated, this, [this] { OnFilePrintPreview(); });
}

CVRX4View::~CVRX4View() {
  // The link thread reads the LIVE page's test fields and posts to this
  // view: it stops before either goes.
  stopLink();
  for (CPage* page : m_pages) delete page;
  m_pages.clear();
  setStateTexts({});
  g_pLogoMakerPage = g_pLogoBrandPage = g_pLogoSoftwarePage = nullptr;
  g_pAgreementPage = nullptr;
  g_pModePage = nullptr;
  g_pLivePage = nullptr;
  g_pAfterSalesPage = nullptr;
  g_pCalibrationPage = nullptr;
  g_pCtrlPage = nullptr;
  g_pUoutPage = nullptr;
  g_pIoutPage = nullptr;
  g_pAuxinPage = nullptr;
  g_pPidPage = nullptr;
  g_pToolsPage = nullptr;
  g_pAlarmPage = nullptr;
  g_pGraphPage = nullptr;
  g_pInfoPage = nullptr;
}

void CVRX4View::createControls() {
  auto band = [this](int id, QRect r) {
    auto* l = new CColourLabel(QString(), this);
    setControlId(l, id);
    l->setTextColour(colour::kDarkBlue);
    l->setBackColour(colour::kDarkBlue);
    l->setGeometry(r);
    l->lower();
  };
  band(view_id::kDecoUp, dluRect(0, 0, 677, 64));
  band(view_id::kDecoDown, dluRect(0, 384, 677, 39));

  int y = 112;
  for (const NavButton& n : kNavigation) {
    auto* b = new CColourButton(QString::fromLatin1(n.text), this);
    setControlId(b, n.id);
    b->setBackColour(colour::kNavButton);
    b->setGeometry(12, y, 182, 34);
    b->hide();
    const int id = n.id;
    connect(b, &QPushButton::clicked, this, [this, id] { OnNavigate(id); });
    m_nav[n.id] = b;
    y += 42;
  }

  auto* reconnect = new CColourButton(QStringLiteral("RE-CONNEXION"), this);
  setControlId(reconnect, view_id::kReconnect);
  reconnect->setGeometry(12, 630, 150, 24);
  reconnect->hide();  // the tools page's "Reconnexion" is the visible way
  connect(reconnect, &QPushButton::clicked, this, [this] { RestartLink(true); });

  auto selector = [this](int id, const char* text, int x, int w) {
    auto* l = new CColourLabel(QString::fromLatin1(text), this);
    setControlId(l, id);
    l->setTextColour(colour::kWhite);
    l->setBackColour(colour::kDarkBlue);
    l->setAlignment(Qt::AlignCenter);
    l->setGeometry(x, 76, w, 22);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
  };
  // Units and languages, each group framed and divided by "I" separators:
  // I bar I PSI I kPa I MPa I     I E I F I D I I I     ?
  auto group = [&](int x, const int (&ids)[4], const char* const (&texts)[4], const int (&separators)[5], int w,
                   std::array<CColourLabel*, 4>& labels) {
    selector(separators[0], "I", x, 10);
    x += 10;
    for (int i = 0; i < 4; ++i) {
      labels[i] = selector(ids[i], texts[i], x, w);
      labels[i]->setClickable(true);
      x += w;
      selector(separators[i + 1], "I", x, 10);
      x += 10;
    }
    return x;
  };
  const int unitIds[] = {view_id::kBar, view_id::kPsi, view_id::kKpa, view_id::kMpa};
  const char* const unitTexts[] = {"bar", "PSI", "kPa", "MPa"};
  const int unitSeparators[] = {1083, 1079, 1080, 1082, 1084};
  int x = group(320, unitIds, unitTexts, unitSeparators, 44, m_units);
  const int languageIds[] = {view_id::kEnglish, view_id::kFrancais, view_id::kDeutsch, view_id::kItaliano};
  const char* const languageTexts[] = {"E", "F", "D", "I"};
  const int languageSeparators[] = {1103, 1100, 1101, 1102, 1104};
  x = group(x + 30, languageIds, languageTexts, languageSeparators, 24, m_languages);
  for (int i = 0; i < 4; ++i) {
    const auto n = static_cast<std::uint8_t>(i);
    connect(m_units[i], &CColourLabel::clicked, this, [this, n] { OnUnit(n); });
    connect(m_languages[i], &CColourLabel::clicked, this, [this, n] { OnLanguage(n); });
  }
  auto* manual = selector(view_id::kManual, "?", x + 30, 24);
  manual->setClickable(true);
  manual->setToolTip(QStringLiteral("User manual"));
  connect(manual, &CColourLabel::clicked, this, [this] { OnManual(); });

  m_modeCaption = selector(view_id::kModeCaption, "test", 260, 400);
  // Clear of the software logo, which moves left in a narrower window.
  m_modeCaption->setGeometry(260, 18, 360, 36);
  QFont captionFont = m_modeCaption->font();
  captionFont.setPixelSize(22);
  m_modeCaption->setFont(captionFont);
  m_modeCaption->setText(QString());

  m_statusText = selector(view_id::kStatusText, "communicate", 560, 280);
  m_statusText->setGeometry(560, 635, 285, 20);
  m_statusText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* place = selector(view_id::kStatusPlace, "", 885, 100);
  place->setGeometry(885, 635, 100, 20);
  createStatusBar();
}

void CVRX4View::placePage(CPage* page, int x, int y, int w, int h, bool visible) {
  if (page == nullptr) return;
  page->setGeometry(x, y, w, h);
  page->setVisible(visible);
}

void CVRX4View::createPages() {
  // Creation order is also the order the pages are deleted in.
  const std::string dataDir = m_app.GetProgramDir();
  g_pAgreementPage = new CAgreementPage(m_app, this);
  g_pLivePage = new CLivePage(this);
  g_pModePage = new CModePage(m_app, *this);
  setUpMemoryHost();
  g_pCalibrationPage = new CCalibrationPage(m_memoryHost, this);
  g_pAfterSalesPage = new CAfterSalesPage(m_memoryHost, this);
  setUpPageHost();
  g_pCtrlPage = new CCtrlPage(m_pageHost, this);
  g_pUoutPage = new CUoutPage(m_pageHost, this);
  g_pIoutPage = new CIoutPage(m_pageHost, this);
  g_pAuxinPage = new CAuxinPage(m_pageHost, this);
  g_pPidPage = new CPidPage(m_pageHost, this);
  g_pToolsPage = new CToolsPage(m_memoryHost, this);
  g_pInfoPage = g_pToolsPage->infoPage();
  g_pAlarmPage = new CAlarmPage(m_pageHost, this);
  g_pGraphPage = new CGraphPage(graphPageHost(), this);
  g_pLogoMakerPage = new CLogoPanel(dialog::kLogoMaker, kMakerLogo, dataDir, this);
  g_pLogoBrandPage = new CLogoPanel(dialog::kLogoBrand, kBrandLogo, dataDir, this);
  g_pLogoSoftwarePage = new CLogoPanel(dialog::kLogoSoftware, kSoftwareLogo, dataDir, this);
  m_pages = {g_pAgreementPage, g_pLivePage,      g_pModePage,      g_pCalibrationPage, g_pAfterSalesPage,
             g_pCtrlPage,      g_pUoutPage,      g_pIoutPage,      g_pAuxinPage,       g_pPidPage,
             g_pToolsPage,     g_pAlarmPage,     g_pGraphPage,     g_pLogoMakerPage,   g_pLogoBrandPage,
             g_pLogoSoftwarePage};
}

CPage* CVRX4View::pageByDialog(int dialogId) const {
  if (dialogId == dialog::kInfo) return g_pInfoPage;  // a child of the tools page
  for (CPage* p : m_pages)
    if (p->dialogId() == dialogId) return p;
  return nullptr;
}

void CVRX4View::OnInitialUpdate() {
  if (m_initialised) return;  // pages and the link exist once
  m_initialised = true;
  DeviceState& s = m_app.state();

  m_lamp = new CIndicatorLamp(this);
  m_lamp->SetPlace(855, 635, 875, 655, kLampRed);
  m_lamp->Create(this, view_id::kLamp);
  m_lamp->SetColour(kLampRed);

  createPages();
  placePage(g_pLogoMakerPage, 0, 0, 175, 66, true);
  placePage(g_pLogoBrandPage, 0, 640, 161, 20, true);
  placePage(g_pLogoSoftwarePage, 820, 0, 138, 67, true);
  if (!m_app.settings().m_bAgreementAccepted) {
    placePage(g_pAgreementPage, 0, 110, 1100, 510, true);
    placePage(g_pModePage, kPageX, kPageY, kPageW, kPageH, false);
  } else {
    s.g_accessMode.store(access::kVisualisation);
    UpdateData();
    placePage(g_pAgreementPage, 0, 110, 1100, 510, false);
    placePage(g_pModePage, kPageX, kPageY, kPageW, kPageH, true);
  }
  placePage(g_pLivePage, kPageX, kPageY, kPageW, kPageH, false);
  placePage(g_pAfterSalesPage, 195, 110, 820, 510, false);
  for (CPage* p : {static_cast<CPage*>(g_pCalibrationPage), static_cast<CPage*>(g_pCtrlPage),
                   static_cast<CPage*>(g_pUoutPage), static_cast<CPage*>(g_pIoutPage),
                   static_cast<CPage*>(g_pAuxinPage), static_cast<CPage*>(g_pPidPage),
                   static_cast<CPage*>(g_pToolsPage), static_cast<CPage*>(g_pAlarmPage),
                   static_cast<CPage*>(g_pGraphPage)})
    placePage(p, kPageX, kPageY, kPageW, kPageH, false);
  s.g_currentPage.store(1);

  RestartLink(false);

  UpdateLabels();
  UpdateUnitLabels();
  m_nav[view_id::kHome]->setBackColour(colour::kWhite);
  requestFullRead();
}

void CVRX4View::stopLink() {
  if (m_link) {
    m_link->stop();
    m_link.reset();
  }
}

void CVRX4View::RestartLink(bool restart) {
  stopLink();
  if (restart) doubtImages();
  m_link = std::make_unique<CCommThread>(m_app.state(), *m_notifier,
                                         g_pLivePage != nullptr ? &g_pLivePage->testFields() : nullptr);
  m_link->setPortName(m_app.linkPort());
  m_link->start();
  if (restart) {
    if (isSettingMode(m_app.state().g_accessMode.load()) && g_pLivePage != nullptr)
      g_pLivePage->testFields().m_liveCommandRetry.store(1);
    setToolsButtons({1066}, true);
  }
}

void CVRX4View::requestFullRead() {
  TransferRequest r;
  r.op = 1;
  m_app.state().publishRequest(r);
  UpdateCursor();
}

void CVRX4View::readRequest(CPage* page) {
  DeviceState& s = m_app.state();
  if (s.g_fileMode.load() == 1 || s.g_eepromLoaded.load() == 1) return;
  requestFullRead();
  if (page != nullptr) page->Wait(imagesWaitReason());
}

void CVRX4View::paintNavigation(int whiteButton) {
  for (auto& [id, button] : m_nav) button->setBackColour(id == whiteButton ? colour::kWhite : colour::kNavButton);
}

void CVRX4View::showOnly(CPage* target) {
  for (CPage* p : m_pages) {
    if (p == g_pLogoMakerPage || p == g_pLogoBrandPage || p == g_pLogoSoftwarePage) continue;
    if (p != target) p->hide();
  }
  if (target != nullptr) {
    target->show();
    target->raise();
  }
}

void CVRX4View::OnNavigate(int id) {
  DeviceState& s = m_app.state();
  struct Target {
    CPage* page;
    std::uint32_t number;
  };
  const std::map<int, Target> targets = {
      {view_id::kHome, {g_pModePage, 1}},      {view_id::kLive, {g_pLivePage, 2}},
      {view_id::kGraph, {g_pGraphPage, 13}},   {view_id::kControl, {g_pCtrlPage, 7}},
      {view_id::kUout, {g_pUoutPage, 8}},      {view_id::kIout, {g_pIoutPage, 9}},
      {view_id::kAuxin, {g_pAuxinPage, 10}},   {view_id::kTools, {g_pToolsPage, 11}},
      {view_id::kAlarm, {g_pAlarmPage, 12}},   {view_id::kPid, {g_pPidPage, 14}},
      {view_id::kCalibration, {g_pCalibrationPage, 5}}, {view_id::kAfterSales, {g_pAfterSalesPage, 4}}};
  const auto it = targets.find(id);
  if (it == targets.end()) return;
  CPage* page = it->second.page;
  if (g_pInfoPage != nullptr) g_pInfoPage->hide();
  showOnly(page);
  paintNavigation(id);
  s.g_currentPage.store(it->second.number);
  if (page == nullptr) return;

  switch (id) {
    case view_id::kLive:
      if (isSettingMode(s.g_accessMode.load())) g_pLivePage->testFields().m_liveCommandRetry.store(1);
      cancelRead();
      break;
    case view_id::kGraph:
      cancelRead();
      break;
    case view_id::kControl:
      page->Refresh(0);
      page->SetEditMode(0);
      page->Refresh(0);
      readRequest(page);
      break;
    case view_id::kUout:
    case view_id::kIout:
    case view_id::kAuxin:
    case view_id::kPid:
    case view_id::kAlarm:
      page->SetEditMode(0);
      page->Refresh(0);
      readRequest(page);
      break;
    case view_id::kTools:
      readRequest(page);
      break;
    case view_id::kCalibration:
      page->UpdateData(true);
      readRequest(page);
      break;
    case view_id::kAfterSales:
      if (s.g_fileMode.load() == 1) {
        page->UpdateData(true);
        page->RefreshAsLoaded();
      } else {
        requestFullRead();
        page->Wait(imagesWaitReason());
      }
      break;
    default:
      break;
  }
  TellFreshness();
}

void CVRX4View::UpdateData() {
  DeviceState& s = m_app.state();
  const std::uint32_t mode = s.g_accessMode.load();
  for (auto& [id, button] : m_nav) button->setVisible(navigationVisible(id, mode));
  if (s.g_currentPage.load() == 2) {
    paintNavigation(view_id::kLive);
    if (g_pLivePage != nullptr) g_pLivePage->testFields().m_infoRequest.store(1);
  }
  const ProfileFile language(m_app.GetProgramDir() + "Language.ini");
  m_modeCaption->setText(qs(modeCaption(language, m_app.settings().m_nLanguage, mode)));
}

void CVRX4View::applyLabelText(int dialogId, int controlId, const QString& text) {
  if (dialogId == dialog::kView) {
    if (QWidget* w = findChild<QWidget*>(QString::number(controlId))) {
      if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(text);
      else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(text);
    }
    return;
  }
  if (CPage* page = pageByDialog(dialogId)) page->setControlText(controlId, text);
}

void CVRX4View::UpdateLabels() {
  const Settings& st = m_app.settings();
  const ProfileFile language(m_app.GetProgramDir() + "Language.ini");
  for (int i = 0; i < 4; ++i)
    m_languages[i]->setTextColour(i == st.m_nLanguage ? colour::kSelected : colour::kWhite);
  const LabelPass pass = computeLabels(language, st.m_nLanguage, st.m_nPressureUnit,
                                       m_app.state().g_accessMode.load(), m_lamp != nullptr && lampRed());
  for (const LabelAssignment& a : pass.texts) applyLabelText(a.target.dialog, a.target.control, qs(a.text));
  m_app.setKeptTexts(pass);
  m_strCommunicate = qs(pass.keptText(Kept::Communicate));
  m_strNoCommunicate = qs(pass.keptText(Kept::NoCommunicate));
  m_strClose = qs(pass.keptText(Kept::Close));
  m_app.state().setMessageTexts(pass.keptText(Kept::SerialMismatch), pass.keptText(Kept::TransferDone),
                                pass.keptText(Kept::WriteAbandoned), pass.keptText(Kept::WriteRefused));
  if (g_pAgreementPage != nullptr) g_pAgreementPage->loadTerms(st.m_nLanguage);
  m_app.WriteProfileInt("Units", "Language", st.m_nLanguage);
  m_app.reloadErrorMessages();
  applyStatusTexts();
  OnInformation();
  retellReasons(this);
  TellFreshness(true);
}

void CVRX4View::UpdateUnitLabels() {
  Settings& st = m_app.settings();
  const ProfileFile language(m_app.GetProgramDir() + "Language.ini");
  const std::string_view section = languageSection(st.m_nLanguage);
  auto value = [&](const char* key) {
    return section.empty() ? QString() : qs(language.getString(section, key, ""));
  };
  const QString p2 = value("P2");
  const QString suffix = QString::fromLatin1(unitSuffix(st.m_nPressureUnit));
  m_app.m_fPressureFactor = pressureFactor(st.m_nPressureUnit);
  for (int i = 0; i < 4; ++i) m_units[i]->setTextColour(i == st.m_nPressureUnit ? colour::kSelected : colour::kWhite);
  applyLabelText(dialog::kLive, 1043, p2 + suffix);
  applyLabelText(dialog::kGraph, 1233, p2 + suffix);
  applyLabelText(dialog::kIout, 1171, p2 + suffix);
  applyLabelText(dialog::kUout, 1158, p2 + suffix);
  applyLabelText(dialog::kAlarm, 1213, suffix);
  applyLabelText(dialog::kAlarm, 1214, suffix);
  applyLabelText(dialog::kCtrl, 1146, value("CTRL") + suffix);
  applyLabelText(dialog::kAuxin, 1185, value("AUXin") + suffix);
  applyLabelText(dialog::kLive, 1000, value("error") + suffix);
  for (CPage* p : {static_cast<CPage*>(g_pCtrlPage), static_cast<CPage*>(g_pIoutPage),
                   static_cast<CPage*>(g_pUoutPage), static_cast<CPage*>(g_pAuxinPage)})
    if (p != nullptr && p->built()) p->Refresh(1);
  if (g_pAlarmPage != nullptr && g_pAlarmPage->built()) g_pAlarmPage->Refresh(0);
  if (g_pGraphPage != nullptr) g_pGraphPage->Refresh(0);
  m_app.WriteProfileInt("Units", "Pressure", st.m_nPressureUnit);
}

void CVRX4View::OnUnit(std::uint8_t unit) {
  m_app.settings().m_nPressureUnit = unit;
  UpdateUnitLabels();
}

void CVRX4View::OnLanguage(std::uint8_t language) {
  m_app.settings().m_nLanguage = language;
  UpdateLabels();
}

void CVRX4View::OnManual() {
  openManual(this, m_app.GetProgramDir(), m_app.settings().m_nLanguage);
}

bool CVRX4View::event(QEvent* e) {
  if (e->type() == LinkEvent::kType) {
    const auto* le = static_cast<LinkEvent*>(e);
    OnLinkMessage(le->m_message, le->m_wParam, le->m_lParam);
    return true;
  }
  return QWidget::event(e);
}

void CVRX4View::OnLinkMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (m_destroyed) return;
  switch (message) {
    case msg::kLiveValues: OnLiveValues(lParam); break;
    case msg::kLinkState: OnLinkState(wParam); break;
    case msg::kTransferDone: OnTransferDone(wParam); break;
    case msg::kPortChanged:
    case msg::kReconnect: RestartLink(true); break;
    case msg::kTermsAccepted: OnTermsAccepted(); break;
    case msg::kInformation: OnInformation(); break;
    case msg::kReloadStarted: OnReloadStarted(); break;
    case msg::kIdentityConfirmed: OnIdentityConfirmed(); break;
    case msg::kTransferProgress: OnTransferProgress(wParam, lParam); break;
    case msg::kSetCursor: UpdateCursor(); break;
    default: break;
  }
  TellFreshness();
}

void CVRX4View::setToolsButtons(std::initializer_list<int> ids, bool enable) {
  if (g_pToolsPage == nullptr) return;
  for (int id : ids)
    if (QWidget* w = g_pToolsPage->findChild<QWidget*>(QString::number(id))) w->setEnabled(enable);
}

void CVRX4View::OnTransferDone(std::uintptr_t wParam) {
  DeviceState& s = m_app.state();
  UpdateCursor();
  if (s.m_bAutoScale.load()) m_app.settings().m_nPressureScale = automaticRange(s.device(Area::Base)[0x6F]);
  if (s.g_fileMode.load() == 1) return;
  // The end of a transfer of a link since restarted, still in the queue:
  // the images wait for the new link's confirmation.
  if (s.g_eepromLoaded.load() != 1) return;
  if ((wParam == 1 || wParam == 2) && g_pToolsPage != nullptr) g_pToolsPage->EnableModifyRestore(1);
  if (wParam == 1 && g_pToolsPage != nullptr) g_pToolsPage->FullReadEnded();
  if (wParam < 1 || wParam > 3) return;
  // The map pages show the device images again (the dumps in black) with
  // their buttons back, as the parameter pages do.
  for (CPage* p : {static_cast<CPage*>(g_pCalibrationPage), static_cast<CPage*>(g_pCtrlPage),
                   static_cast<CPage*>(g_pUoutPage), static_cast<CPage*>(g_pIoutPage),
                   static_cast<CPage*>(g_pAuxinPage), static_cast<CPage*>(g_pPidPage),
                   static_cast<CPage*>(g_pAlarmPage), static_cast<CPage*>(g_pAfterSalesPage)})
    if (p != nullptr && p->built()) p->RefreshAfterTransfer();
}

void CVRX4View::OnTermsAccepted() {
  for (CPage* p : m_pages)
    if (p != g_pLogoMakerPage && p != g_pLogoBrandPage && p != g_pLogoSoftwarePage) p->hide();
  g_pModePage->show();
  g_pModePage->raise();
  paintNavigation(view_id::kHome);
  m_app.state().g_currentPage.store(1);
  UpdateData();
}

void CVRX4View::UpdateCursor() {
  const bool busy = m_app.state().requestPending() && m_lamp != nullptr && m_lamp->GetColour() != kLampRed;
  // Set only when it changes: the link's state comes many times a second.
  const bool waiting = testAttribute(Qt::WA_SetCursor) && cursor().shape() == Qt::WaitCursor;
  if (busy && !waiting) setCursor(Qt::WaitCursor);
  else if (!busy && testAttribute(Qt::WA_SetCursor)) unsetCursor();
}

void CVRX4View::OnSize(int width, int height) {
  m_width = std::min(width, kMaxSavedWidth);
  m_height = std::min(height, kMaxSavedHeight);
  m_sizeChanged = true;
  update();
}

void CVRX4View::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (!m_sizeChanged || g_pLogoSoftwarePage == nullptr) return;
  const auto* scroll = qobject_cast<QScrollArea*>(parentWidget() ? parentWidget()->parentWidget() : nullptr);
  if (scroll != nullptr && scroll->verticalScrollBar()->value() != scroll->verticalScrollBar()->minimum()) return;
  const int x = m_width < 1001 ? m_width - 168 : m_width - 158;
  g_pLogoSoftwarePage->setGeometry(x, 0, 138, 67);
  m_sizeChanged = false;
}

void CVRX4View::OnDestroy() {
  if (m_destroyed) return;
  m_destroyed = true;
  m_app.SetWindowCX(m_width);
  m_app.SetWindowCY(m_height);
  m_app.SaveSettings();
}

}  // namespace vrx4
