// The desktop shell driven by control ids on the offscreen platform.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <algorithm>

#include "core/base/access_modes.h"
#include "gui/app/agreement_page.h"
#include "core/base/control_ids.h"
#include "gui/app/gui_notifier.h"
#include "gui/app/logo_panel.h"
#include "gui/app/manual_viewer.h"
#include "gui/app/mode_page.h"
#include "gui/app/range_dialog.h"
#include "gui/controls/colour_button.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/indicator_lamp.h"
#include "core/link/link_notifier.h"
#include "gui/monitoring/live_page.h"
#include "gui/pages/page_registry.h"
#include "shell_harness.h"

namespace vrx4::testing {
namespace {

constexpr int kAllNav[] = {1055, 1056, 1057, 1058, 1059, 1060, 1061, 1062, 1063, 1064, 1065, 1066};
class Shell : public ShellTest {
 protected:
  std::vector<int> visibleNavigation() {
    std::vector<int> ids;
    for (int id : kAllNav)
      if (viewControl(id)->isVisibleTo(&view())) ids.push_back(id);
    return ids;
  }
  void post(std::uint32_t message, std::uintptr_t w) {
    QCoreApplication::postEvent(&view(), new LinkEvent(message, w, 0));
    settle();
  }
};

TEST_F(Shell, FirstStartTermsThenModePageAndSettingsWrittenAtExit) {
  start();
  EXPECT_TRUE(m_app->mainFrame()->isMaximized());
  EXPECT_TRUE(g_pAgreementPage->isVisible());
  EXPECT_TRUE(visibleNavigation().empty());
  EXPECT_EQ(state().g_accessMode.load(), 0u);
  EXPECT_FALSE(control<QTextEdit>(g_pAgreementPage, agreement_id::kText)->toPlainText().isEmpty());

  click(g_pAgreementPage, agreement_id::kAgree);
  // Accepted at once, not only at exit.
  EXPECT_NE(settingsText().find("State=1"), std::string::npos);
  EXPECT_TRUE(g_pModePage->isVisible());
  EXPECT_EQ(visibleNavigation(), (std::vector<int>{1055, 1061, 1062, 1065}));
  EXPECT_EQ(state().g_accessMode.load(), 1u);
  EXPECT_EQ(state().g_currentPage.load(), 1u);

  close();
  const std::string ini = settingsText();
  for (const char* key : {"[Communication]", "port=COM1", "[Windows_size]", "CX=", "CY=", "[Agreement]",
                          "[Units]", "Language=0", "Pressure=0"})
    EXPECT_NE(ini.find(key), std::string::npos) << key << "\n" << ini;
}

TEST_F(Shell, AccessCodesAndNavigationPerMode) {
  startAccepted();
  // A cancelled dialog changes nothing.
  enterCode(mode_id::kSetting, nullptr);
  EXPECT_EQ(state().g_accessMode.load(), 1u);
  EXPECT_TRUE(g_pModePage->isVisible());

  enterCode(mode_id::kSetting, "vesko");
  EXPECT_EQ(state().g_accessMode.load(), 2u);
  EXPECT_TRUE(g_pLivePage->isVisible());
  EXPECT_EQ(visibleNavigation().size(), 10u);
  EXPECT_EQ(g_pLivePage->testFields().m_infoRequest.load(), 1);

  // From mode 2, SETTING needs no code: no dialog may come up.
  click(&view(), view_id::kHome);
  click(g_pModePage, mode_id::kSetting);
  EXPECT_EQ(state().g_accessMode.load(), 2u);

  // The service code with another letter case is refused.
  click(&view(), view_id::kHome);
  enterCode(mode_id::kSettingPro, "Kafter");
  EXPECT_EQ(std::count(m_boxes.begin(), m_boxes.end(), m_app->keptText(Kept::WrongPassword)), 1);
  EXPECT_EQ(state().g_accessMode.load(), 2u);

  enterCode(mode_id::kSettingPro, "mindrola");
  EXPECT_EQ(state().g_accessMode.load(), 3u);
  // From mode 3, SETTING asks for its code again.
  click(&view(), view_id::kHome);
  enterCode(mode_id::kSetting, "mindrola");
  EXPECT_EQ(state().g_accessMode.load(), 3u);

  // From mode 3, SETTING PRO re-enters mode 3 without a dialog.
  click(g_pModePage, mode_id::kSettingPro);
  EXPECT_EQ(state().g_accessMode.load(), 3u);
  click(&view(), view_id::kHome);
  click(g_pModePage, mode_id::kVisualisation);
  click(&view(), view_id::kHome);
  enterCode(mode_id::kSettingPro, "kafter");
  EXPECT_EQ(state().g_accessMode.load(), 4u);
  EXPECT_EQ(visibleNavigation().size(), 12u);
  EXPECT_EQ(g_pLivePage->layoutMode(), 4u);

  click(&view(), view_id::kHome);
  click(g_pModePage, mode_id::kVisualisation);
  EXPECT_EQ(state().g_accessMode.load(), 1u);
  EXPECT_EQ(visibleNavigation().size(), 4u);
}

TEST_F(Shell, FrameKeptWithinItsLimitsAndSavedSizeCapped) {
  startAccepted("[Windows_size]\nCX=700\nCY=500\n");
  m_app->mainFrame()->resize(1200, 900);
  settle();
  EXPECT_LE(m_app->mainFrame()->width(), 1050);
  EXPECT_LE(m_app->mainFrame()->height(), 768);
  view().OnSize(1200, 900);
  close();
  EXPECT_NE(settingsText().find("CX=1024"), std::string::npos) << settingsText();
  EXPECT_NE(settingsText().find("CY=768"), std::string::npos);
}

TEST_F(Shell, LanguageAndUnitSelectors) {
  startAccepted();
  viewControl<CColourLabel>(view_id::kDeutsch)->clicked();
  settle();
  EXPECT_EQ(viewControl<QPushButton>(view_id::kHome)->text(), QStringLiteral("START"));
  EXPECT_NE(settingsText().find("Language=2"), std::string::npos);
  EXPECT_EQ(viewControl<CColourLabel>(view_id::kDeutsch)->m_textColour, colour::kSelected);
  EXPECT_EQ(viewControl<CColourLabel>(view_id::kEnglish)->m_textColour, colour::kWhite);

  viewControl<CColourLabel>(view_id::kPsi)->clicked();
  settle();
  EXPECT_NE(settingsText().find("Pressure=1"), std::string::npos);  // at once, not at exit
  EXPECT_FLOAT_EQ(m_app->m_fPressureFactor, 14.5038f);
  EXPECT_EQ(viewControl<CColourLabel>(view_id::kPsi)->m_textColour, colour::kSelected);
  EXPECT_EQ(viewControl<CColourLabel>(view_id::kBar)->m_textColour, colour::kWhite);
}

TEST_F(Shell, RangeDialogEntriesAndResult) {
  startAccepted();
  CPressureRangeDialog dialog(&view(), 2, false, 1, "Pressure range", "OK", "Cancel");
  auto* list = dialog.findChild<QComboBox*>(QString::number(range_id::kList));
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->itemText(0), QStringLiteral("100KPa"));  // the unit's entries
  EXPECT_EQ(list->currentIndex(), 1);
  EXPECT_EQ(CPressureRangeDialog(&view(), 0, true, 0, "", "", "").findChild<QComboBox*>("1048")->currentIndex(), 2);

  Image base{};
  base[0x6F] = 11;
  state().setDevice(Area::Base, base);
  CPressureRangeDialog::apply(*m_app, 2);
  EXPECT_TRUE(state().m_bAutoScale.load());
  EXPECT_EQ(m_app->settings().m_nPressureScale, 1);
  CPressureRangeDialog::apply(*m_app, 0);
  EXPECT_FALSE(state().m_bAutoScale.load());
  EXPECT_EQ(m_app->settings().m_nPressureScale, 0);
}

TEST_F(Shell, LampAndStatusFollowTheLinkState) {
  startAccepted();
  CIndicatorLamp* lamp = view().lamp();
  EXPECT_EQ(lamp->GetColour(), colour::rgb(255, 0, 0));
  // No answer yet: a lost link leaves the images and the identity flag alone.
  state().g_eepromLoaded.store(1);
  post(msg::kLinkState, 3);
  EXPECT_EQ(state().g_eepromLoaded.load(), 1);
  EXPECT_EQ(state().g_identifyRequest.load(), 0);
  EXPECT_EQ(viewControl<QLabel>(view_id::kStatusText)->text().toStdString(), m_app->keptText(Kept::NoCommunicate));

  post(msg::kLinkState, 1);
  EXPECT_EQ(lamp->GetColour(), colour::rgb(0, 255, 0));
  EXPECT_EQ(viewControl<QLabel>(view_id::kStatusText)->text().toStdString(), m_app->keptText(Kept::Communicate));
  post(msg::kLinkState, 2);
  EXPECT_EQ(lamp->GetColour(), colour::rgb(255, 255, 0));
  post(msg::kLinkState, 7);
  EXPECT_EQ(lamp->GetColour(), colour::kDarkBlue);
  // Lost after an answer: the images are stale and the identity is checked.
  post(msg::kLinkState, 3);
  EXPECT_EQ(lamp->GetColour(), colour::rgb(255, 0, 0));
  EXPECT_EQ(state().g_eepromLoaded.load(), 0);
  EXPECT_EQ(state().g_identifyRequest.load(), 1);
}

TEST_F(Shell, PageSwitchReadRequests) {
  startAccepted();
  enterCode(mode_id::kSetting, "vesko");
  state().finishRequest();
  click(&view(), view_id::kControl);
  EXPECT_EQ(state().g_currentPage.load(), 7u);
  EXPECT_EQ(state().g_xferRequest.load(), 1);
  EXPECT_EQ(state().g_xferOp.load(), 1u);
  state().finishRequest();
  click(&view(), view_id::kControl);
  EXPECT_EQ(state().g_xferRequest.load(), 1);  // still not loaded: asked again
  state().finishRequest();
  state().g_eepromLoaded.store(1);
  click(&view(), view_id::kAlarm);
  EXPECT_EQ(state().g_xferRequest.load(), 0);
  EXPECT_EQ(state().g_currentPage.load(), 12u);
  state().g_eepromLoaded.store(0);
  state().g_fileMode.store(1);
  click(&view(), view_id::kPid);
  EXPECT_EQ(state().g_xferRequest.load(), 0);  // file mode: no traffic
  state().g_fileMode.store(0);
  click(&view(), view_id::kLive);
  EXPECT_EQ(g_pLivePage->testFields().m_liveCommandRetry.load(), 1);
  EXPECT_EQ(viewControl<CColourButton>(view_id::kLive)->m_backColour, colour::kWhite);
  EXPECT_EQ(viewControl<CColourButton>(view_id::kHome)->m_backColour, colour::kNavButton);
}

TEST_F(Shell, ManualLogosAndTerms) {
  startAccepted("[Units]\nLanguage=1\n");
  QString opened;
  setDocumentOpener([&](const QString& path) {
    opened = path;
    return true;
  });
  viewControl<CColourLabel>(view_id::kManual)->clicked();
  settle();
  setDocumentOpener({});
  if (std::filesystem::exists(VRX4_DATA_BUILD_DIR "/Manuel-tarvo-fr.pdf")) {
    EXPECT_TRUE(opened.endsWith(QStringLiteral("/Manuel-tarvo-fr.pdf"))) << opened.toStdString();
  }
  m_boxes.clear();
  EXPECT_FALSE(openManual(&view(), m_dir + "/", 0));
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_NE(m_boxes[0].find("Manual-tarvo-en.pdf"), std::string::npos);

  // Logos come from the data folder, wherever the program was started.
  g_pLogoMakerPage->repaint();
  EXPECT_TRUE(g_pLogoMakerPage->drawn());
  CLogoPanel missing(dialog::kLogoMaker, "no such logo.bmp", m_dir, &view());
  missing.resize(50, 50);
  missing.grab();
  EXPECT_FALSE(missing.drawn());

  // FRANCAIS shows the French terms.
  g_pAgreementPage->loadTerms(1);
  const QString french = control<QTextEdit>(g_pAgreementPage, agreement_id::kText)->toPlainText();
  g_pAgreementPage->loadTerms(0);
  EXPECT_NE(french, control<QTextEdit>(g_pAgreementPage, agreement_id::kText)->toPlainText());
  g_pAgreementPage->loadTerms(9);
  EXPECT_TRUE(control<QTextEdit>(g_pAgreementPage, agreement_id::kText)->toPlainText().isEmpty());
}

}  // namespace
}  // namespace vrx4::testing
