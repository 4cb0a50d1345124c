// The graph page rendered to PNG files in the build folder, for a look:
// two minutes of recording (fed at the 0.1 s sample clock from the plant
// model, not waited for) with all seven channels on, at 5 s and 60 s per
// division, in bar and in PSI, on the 20-bar range and on the 10-bar one.
// What the renders must show beyond the look is checked here: every curve
// in its colour inside the plot, the alarm pulse, the captions.
#include <QCheckBox>
#include <QImage>

#include "core/base/language_table.h"
#include "gui/controls/colour_label.h"
#include "graph_harness.h"

namespace vrx4::testing {
namespace {

class GraphRenders : public GraphTest {
 protected:
  void save(const std::string& name) { savePng(g_pGraphPage, name); }
  void allChannelsOn() {
    for (int id = graph_id::kCtrl; id <= graph_id::kAlarm; ++id)
      if (!at<QCheckBox>(id)->isChecked()) click(g_pGraphPage, id);
  }
  // How many pixels of the chart carry the colour (r, g, b).
  int pixels(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour ? 1 : 0;
    return n;
  }
};

TEST_F(GraphRenders, TwoMinutesAtFiveAndSixtySecondsPerDivisionInBarAndPsi) {
  startOnGraph("[Units]\nEchelleP=1\nFlagEchelleAuto=0\n");
  allChannelsOn();
  for (const char* unit : {"bar", "psi"}) {
    if (std::string(unit) == "psi") viewControl<CColourLabel>(view_id::kPsi)->clicked();
    for (const char* division : {"5.00", "60.00"}) {
      typeTimeBase(graph_id::kDivision, division);
      feedRecording(120.0);
      ASSERT_EQ(recording().m_store.Count(), 1200u);
      const QImage image = chart().grab().toImage();
      for (ColourWord c : {colour::rgb(255, 128, 0), colour::rgb(0, 0, 255), colour::rgb(0, 128, 128),
                           colour::rgb(128, 0, 255), colour::rgb(128, 128, 0)})
        EXPECT_GT(pixels(image, toQColor(c)), 50) << unit << " " << division << " colour " << std::hex << c;
      // The alarm pulse reaches the plot's top line (client y 40).
      bool alarmAtTop = false;
      for (int x = 31; x < 570; ++x) alarmAtTop |= image.pixelColor(x + 1, 41) == QColor(255, 0, 0);
      EXPECT_TRUE(alarmAtTop) << unit << " " << division;
      save(std::string("vrx4-graph-20bar-") + unit + "-" + (division[0] == '5' ? "5s" : "60s") + ".png");
      if (std::string(unit) == "bar" && division[0] == '5') {
        // The grid, arrowheads and labels of the top left corner, three times as large.
        image.copy(0, 0, 220, 160).scaled(660, 480).save(QStringLiteral(VRX4_TEST_OUTPUT_DIR "/vrx4-graph-corner-x3.png"));
      }
    }
  }
  // The 10-bar range in bar, with the German captions.
  m_app->settings().m_nPressureScale = 0;
  viewControl<CColourLabel>(view_id::kBar)->clicked();
  viewControl<CColourLabel>(view_id::kDeutsch)->clicked();
  typeTimeBase(graph_id::kDivision, "5.00");
  feedRecording(120.0);
  EXPECT_EQ(at<QCheckBox>(graph_id::kCapture)->text(), QStringLiteral("Aufzeichnung"));
  save("vrx4-graph-10bar-bar-5s-de.png");

  // Capturing: the record, pause and end buttons, record pressed.
  chooseCaptureFile(m_dir + "/render.csv");
  click(g_pGraphPage, graph_id::kRecord);
  save("vrx4-graph-capturing.png");
  g_pGraphPage->grab(QRect(610, 225, 190, 95)).scaled(570, 285).save(
      QStringLiteral(VRX4_TEST_OUTPUT_DIR "/vrx4-graph-capture-buttons-x3.png"));
}

}  // namespace
}  // namespace vrx4::testing
