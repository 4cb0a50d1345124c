// The desktop shell driven by control ids on the offscreen platform.
#include <QComboBox>
#include <QTextEdit>

#include "gui/app/agreement_page.h"
#include "gui/app/gui_notifier.h"
#include "gui/controls/colour_button.h"
#include "gui/app/logo_panel.h"
#include "gui/app/manual_viewer.h"
#include "gui/app/range_dialog.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/indicator_lamp.h"
#include "gui/monitoring/live_page.h"
#include "shell_harness.h"

namespace vrx4::testing {
namespace {

constexpr int kAllNav[] = {1055, 1056, 1057, 1058, 1059, 1060, 1061, 1062, 1063, 1064, 1065, 1066};
class Shell : public ShellTest {
 protected:
  std::vector<int> visibleNavigation() {
    std::vector<int> ids;
    for (int id : kAllNav) if (viewControl(id)->isVisibleTo(&view())) ids.push_back(id);
    return ids;
  }
};

TEST_F(Shell, FirstStartTermsThenModePageAndSettingsWrittenAtExit) {
  start();
  EXPECT_TRUE(m_app->mainFrame()->isMaximized());
  EXPECT_TRUE(g_pAgreementPage->isVisible() && visibleNavigation().empty() && state().g_accessMode.load() == 0u);

  click(g_pAgreementPage, agreement_id::kAgree);
  // Accepted at once, not only at exit.
  EXPECT_NE(settingsText().find("State=1"), std::string::npos);
  EXPECT_TRUE(g_pModePage->isVisible());
  EXPECT_EQ(visibleNavigation(), (std::vector<int>{1055, 1061, 1062, 1065}));
  EXPECT_TRUE(state().g_accessMode.load() == 1u && state().g_currentPage.load() == 1u);

  close();
  const std::string ini = settingsText();
  for (const char* key : {"[Communication]", "port=COM1", "[Windows_size]", "CX=", "CY=", "[Agreement]",
                          "[Units]", "Language=0", "Pressure=0"})
    EXPECT_NE(ini.find(key), std::string::npos) << key << "\n" << ini;
}

TEST_F(Shell, AccessCodesAndNavigationPerMode) {
  startAccepted();
  // Presses a mode button from HOME and answers its dialog with code (""
  // : no dialog may come up; null: cancelled); the access mode after.
  auto press = [&](int button, const char* code) {
    click(&view(), view_id::kHome);
    if (code != nullptr && *code == 0) click(g_pModePage, button);
    else enterCode(button, code);
    return state().g_accessMode.load();
  };
  EXPECT_EQ(press(mode_id::kSetting, nullptr), 1u);
  EXPECT_TRUE(g_pModePage->isVisible());
  EXPECT_EQ(press(mode_id::kSetting, "vesko"), 2u);
  EXPECT_TRUE(g_pLivePage->isVisible());
  EXPECT_EQ(g_pLivePage->testFields().m_infoRequest.load(), 1);
  EXPECT_EQ(press(mode_id::kSetting, ""), 2u);
  EXPECT_EQ(press(mode_id::kSettingPro, "Kafter"), 2u);  // another letter case: refused
  EXPECT_EQ(std::count(m_boxes.begin(), m_boxes.end(), kept(Kept::WrongPassword)), 1);
  EXPECT_EQ(press(mode_id::kSettingPro, "mindrola"), 3u);
  EXPECT_EQ(press(mode_id::kSetting, "mindrola"), 3u);  // from mode 3, SETTING asks again
  EXPECT_EQ(press(mode_id::kSettingPro, ""), 3u);
  EXPECT_EQ(press(mode_id::kVisualisation, ""), 1u);
  EXPECT_EQ(press(mode_id::kSettingPro, "kafter"), 4u);
  EXPECT_EQ(visibleNavigation().size(), 12u);
  EXPECT_EQ(g_pLivePage->layoutMode(), 4u);
  EXPECT_EQ(press(mode_id::kVisualisation, ""), 1u);
}

// The frame is kept within its limits and the size saved at exit capped.
// The selectors take effect and are written at once; what another writer
// added to the settings file meanwhile survives, also at exit.
TEST_F(Shell, FrameKeptWithinItsLimitsAndSelectorsKeepWhatOthersWrote) {
  startAccepted("[Windows_size]\nCX=700\nCY=500\n");
  m_app->mainFrame()->resize(1200, 900);
  settle();
  EXPECT_LE(m_app->mainFrame()->width(), 1050);
  EXPECT_LE(m_app->mainFrame()->height(), 768);
  view().OnSize(1200, 900);
  writeFile(m_settings, settingsText() + "[Graph]\nNb_aff_max=500\n");
  viewControl<CColourLabel>(view_id::kDeutsch)->clicked();
  viewControl<CColourLabel>(view_id::kPsi)->clicked();
  settle();
  EXPECT_EQ(viewControl<QPushButton>(view_id::kHome)->text(), QStringLiteral("START"));
  EXPECT_EQ(viewControl<CColourLabel>(view_id::kDeutsch)->m_textColour, colour::kSelected);
  EXPECT_EQ(viewControl<CColourLabel>(view_id::kEnglish)->m_textColour, colour::kWhite);
  EXPECT_EQ(viewControl<CColourLabel>(view_id::kBar)->m_textColour, colour::kWhite);
  EXPECT_FLOAT_EQ(m_app->m_fPressureFactor, 14.5038f);
  for (bool atExit : {false, true}) {
    if (atExit) close();
    for (const char* key : {"Language=2\n", "Pressure=1\n", "Nb_aff_max=500\n", "State=1\n"})
      EXPECT_NE(settingsText().find(key), std::string::npos) << key << atExit;
  }
  for (const char* key : {"CX=1024", "CY=768"}) EXPECT_NE(settingsText().find(key), std::string::npos) << settingsText();
}

TEST_F(Shell, PageSwitchReadRequests) {
  startAccepted();
  enterCode(mode_id::kSetting, "vesko");
  for (int visit = 0; visit < 2; ++visit) {  // not loaded yet: asked again
    state().finishRequest();
    click(&view(), view_id::kControl);
    EXPECT_EQ(state().g_currentPage.load(), 7u);
    EXPECT_EQ(state().g_xferRequest.load(), 1);
    EXPECT_EQ(state().g_xferOp.load(), 1u);
  }
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
}

// The manual, the logos and the terms; the pressure range dialog; the lamp
// and the status line as the link state changes.
TEST_F(Shell, ManualLogosTermsRangeDialogThenLampAndStatusFollowTheLinkState) {
  startAccepted("[Units]\nLanguage=1\n");
  QString opened;
  setDocumentOpener([&](const QString& path) { return opened = path, true; });
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

  // FRANCAIS shows the French terms.
  auto terms = [](std::uint8_t language) {
    g_pAgreementPage->loadTerms(language);
    return g_pAgreementPage->findChild<QTextEdit*>(QString::number(agreement_id::kText))->toPlainText();
  };
  EXPECT_NE(terms(1), terms(0));
  EXPECT_TRUE(terms(9).isEmpty());

  CPressureRangeDialog dialog(&view(), 2, false, 1, "Pressure range", "OK", "Cancel");
  auto* list = dialog.findChild<QComboBox*>(QString::number(range_id::kList));
  // The unit's entries, the stored range chosen; automatic is the third.
  EXPECT_EQ(std::make_tuple(list->count(), list->itemText(0), list->currentIndex()),
            std::make_tuple(3, QStringLiteral("100KPa"), 1));
  EXPECT_EQ(CPressureRangeDialog(&view(), 0, true, 0, "", "", "").findChild<QComboBox*>("1048")->currentIndex(), 2);
  // Automatic takes the range the regulator reports in BASE 0x6F.
  Image base{};
  base[0x6F] = 11;
  state().setDevice(Area::Base, base);
  for (auto [index, automatic, scale] : {std::tuple{2, true, 1}, {0, false, 0}}) {
    CPressureRangeDialog::apply(*m_app, index);
    EXPECT_EQ(state().m_bAutoScale.load(), automatic) << index;
    EXPECT_EQ(m_app->settings().m_nPressureScale, scale) << index;
  }

  // The lamp and the status line follow the link state.
  EXPECT_EQ(view().lamp()->GetColour(), colour::rgb(255, 0, 0));
  // A link lost before any answer leaves the images and the identity flag
  // alone; lost after an answer, the images are stale and the identity is
  // checked.
  state().g_eepromLoaded.store(1);
  const struct { std::uintptr_t link; ColourWord lamp; std::optional<Kept> status; int loaded, identify; } steps[] = {
      {3, colour::rgb(255, 0, 0), Kept::NoCommunicate, 1, 0}, {1, colour::rgb(0, 255, 0), Kept::Communicate, 1, 0},
      {2, colour::rgb(255, 255, 0), {}, 1, 0}, {7, colour::kDarkBlue, {}, 1, 0},
      {3, colour::rgb(255, 0, 0), Kept::NoCommunicate, 0, 1}};
  for (const auto& s : steps) {
    QCoreApplication::postEvent(&view(), new LinkEvent(msg::kLinkState, s.link, 0));
    settle();
    EXPECT_EQ(view().lamp()->GetColour(), s.lamp) << s.link;
    if (s.status) {
      EXPECT_EQ(viewControl<QLabel>(view_id::kStatusText)->text().toStdString(), kept(*s.status));
    }
    EXPECT_EQ(state().g_eepromLoaded.load(), s.loaded) << s.link;
    EXPECT_EQ(state().g_identifyRequest.load(), s.identify) << s.link;
  }
}

}  // namespace
}  // namespace vrx4::testing
