// The whole program on the built-in simulated regulator: the link engine
// reads both images over a pseudo-terminal and the lamp turns green. The
// main window is rendered to PNG files in the build folder for a look.
#include <QLabel>

#include "gui/app/agreement_page.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/indicator_lamp.h"
#include "shell_harness.h"

namespace vrx4::testing {
namespace {

class LiveLink : public ShellTest {
 protected:
  // At the largest size the frame allows, as on a desktop screen (the
  // offscreen screen is smaller).
  void render(const char* name) {
    m_app->mainFrame()->showNormal();
    m_app->mainFrame()->resize(m_app->mainFrame()->maximumSize());
    savePng(m_app->mainFrame(), name);
  }
};

TEST_F(LiveLink, SimulatedRegulatorTurnsTheLampGreenAndLoadsTheImages) {
  // No port stored: the simulated regulator needs none, so no port message.
  writeFile(m_settings, "[Agreement]\nState=1\n[Units]\nLanguage=0\n");
  startSimulated();
  CIndicatorLamp* lamp = view().lamp();
  ASSERT_TRUE(waitUntil([&] { return state().g_eepromLoaded.load() == 1; }, 20000))
      << "the full read of both images did not end";
  ASSERT_TRUE(waitUntil([&] { return lamp->GetColour() == colour::rgb(0, 255, 0); }, 5000));
  EXPECT_EQ(viewControl<QLabel>(view_id::kStatusText)->text().toStdString(), "Communication OK");
  EXPECT_TRUE(m_boxes.empty()) << m_boxes.front();
  render("vrx4-main-window.png");

  // The LIVE page in German, for a look at the longest labels.
  viewControl<CColourLabel>(view_id::kDeutsch)->clicked();
  click(&view(), view_id::kLive);
  render("vrx4-main-window-de.png");
  close();
}

TEST_F(LiveLink, FirstStartShowsTheTerms) {
  startSimulated();
  EXPECT_TRUE(g_pAgreementPage->isVisible());
  render("vrx4-terms-page.png");
  close();
}

}  // namespace
}  // namespace vrx4::testing
