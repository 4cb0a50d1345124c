// The graph page: its controls and time base rules, the recording that
// follows the page, the scroll bar, the image
// button; and renders to PNG files in the build folder, for a look: two
// minutes of recording (fed at the 0.1 s sample clock from the plant
// model) at 5 s and 60 s per division, in bar and in PSI, on the 20-bar
// range and on the 10-bar one.
#include <QCheckBox>
#include <QImage>
#include <QCursor>
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>
#include <vector>

#include "core/base/language_table.h"
#include "gui/controls/colour_label.h"
#include "graph_harness.h"

namespace vrx4::testing {
namespace {

using namespace graph_id;

class GraphPage : public GraphTest {
 protected:
  std::size_t stored() { return recording().m_store.Count(); }
  // How many pixels of `image` carry the colour.
  static int pixels(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour ? 1 : 0;
    return n;
  }
};

TEST_F(GraphPage, ControlsTimeBaseAndTheRecordingThatFollowsThePage) {
  startOnGraph("[Graph]\nNb_aff_max=1000\n");
  EXPECT_TRUE(chart().shown(kChCtrl));
  EXPECT_FALSE(chart().shown(kChP2));
  click(g_pGraphPage, kP2);
  EXPECT_TRUE(chart().shown(kChP2));
  for (int id : {kRecord, kPause, kEnd, kPauseButton, kOk, 1262, 1055, 1056}) EXPECT_FALSE(shown(id)) << id;
  for (int id : {kRecord, kPause, kEnd}) EXPECT_TRUE(at<CImageButton>(id)->m_bHasImage) << id;
  EXPECT_EQ(at<QLineEdit>(kSamplePeriod)->text(), QStringLiteral("0.10"));
  EXPECT_EQ(at<QLineEdit>(kDivision)->text(), QStringLiteral("5.00"));

  // Nb_aff_max = 1000: 15 x 5 s / 0.01 s would be 7500 samples.
  typeTimeBase(kSamplePeriod, "0");
  EXPECT_EQ(at<QLineEdit>(kSamplePeriod)->text(), QStringLiteral("0.01"));
  EXPECT_EQ(at<QLineEdit>(kDivision)->text(), QStringLiteral("0.67"));
  EXPECT_DOUBLE_EQ(state().g_samplePeriod.load(), 0.01f);
  typeTimeBase(kDivision, "100");
  EXPECT_EQ(at<QLineEdit>(kSamplePeriod)->text(), QStringLiteral("1.50"));
  EXPECT_FLOAT_EQ(chart().viewport().m_pxPerSecond, 0.36f);
  typeTimeBase(kDivision, "5");
  typeTimeBase(kSamplePeriod, "0.1");
  click(g_pGraphPage, kRestart);

  // Showing the page started the recording: samples at the sample period,
  // the chart refreshed once a second.
  ASSERT_TRUE(waitUntil([&] { return chart().points().m_nPoints >= 2; }, 8000));
  // Never closer than the period; a loaded machine may stretch a few
  // intervals, so the typical one is what shows the period in use (the
  // 1.50 s typed before is not).
  recording().m_store.read([](const SampleView& v) {
    std::vector<double> steps;
    for (std::size_t i = 1; i < v.size(); ++i) steps.push_back(v.time(i) - v.time(i - 1));
    ASSERT_FALSE(steps.empty());
    EXPECT_GT(*std::min_element(steps.begin(), steps.end()), 0.1 - 1e-9);
    std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
    EXPECT_LT(steps[steps.size() / 2], 0.5);
  });
  EXPECT_GE(chart().m_lastRefreshTime, 1.0);
  EXPECT_EQ(chart().scrollBar()->maximum(), 0);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(g_pGraphPage, &escape);
  EXPECT_TRUE(g_pGraphPage->isVisible()) << "Escape does nothing";

  // STOP ends the recording; leaving the page clears it; coming back
  // starts again from time 0.
  click(g_pGraphPage, kStop);
  const std::size_t atStop = stored();
  waitUntil([] { return false; }, 400);
  EXPECT_EQ(stored(), atStop);
  click(&view(), view_id::kLive);
  EXPECT_FALSE(recording().g_graphRunning);
  EXPECT_EQ(stored(), 0u);
  click(&view(), view_id::kGraph);
  EXPECT_TRUE(recording().g_graphRunning);
  ASSERT_TRUE(waitUntil([&] { return stored() >= 3; }, 5000));
  GraphSample first;
  ASSERT_TRUE(recording().m_store.Get(1, first));
  EXPECT_LT(first.time, 1.0);
}

TEST_F(GraphPage, TheScrollBarMovesTheChartAndFollowsAgainAtTheEnd) {
  startOnGraph();
  feedRecording(200.0);  // 1440 pixels at 5 s per division
  QScrollBar* bar = chart().scrollBar();
  EXPECT_NEAR(bar->maximum(), 900, 1);
  EXPECT_EQ(bar->value(), bar->maximum());
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  settle();
  EXPECT_NEAR(chart().viewport().m_viewLeft, bar->maximum() - 270, 1);
  EXPECT_EQ(chart().points().m_x[0], 30);
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  settle();
  EXPECT_TRUE(chart().viewport().m_following);
  // A click beyond the plot puts the cursor at the window's right edge.
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(600, 200), chart().mapToGlobal(QPointF(600, 200)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&chart(), &press);
  EXPECT_EQ(chart().viewport().m_cursor, chart().viewport().m_viewRight);
}

TEST_F(GraphPage, RendersTwoMinutesAtFiveAndSixtySecondsPerDivisionInBarAndPsi) {
  // Two minutes of recording with all seven channels on: every curve in
  // its colour inside the plot, the alarm pulse, the captions.
  startOnGraph("[Units]\nEchelleP=1\nFlagEchelleAuto=0\n");
  for (int id = graph_id::kCtrl; id <= graph_id::kAlarm; ++id)
    if (!at<QCheckBox>(id)->isChecked()) click(g_pGraphPage, id);
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
      savePng(g_pGraphPage, std::string("vrx4-graph-20bar-") + unit + "-" + (division[0] == '5' ? "5s" : "60s") + ".png");
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
  savePng(g_pGraphPage, "vrx4-graph-10bar-bar-5s-de.png");

  // Capturing: the record, pause and end buttons, record pressed.
  chooseCaptureFile(m_dir + "/render.csv");
  click(g_pGraphPage, graph_id::kRecord);
  savePng(g_pGraphPage, "vrx4-graph-capturing.png");
  g_pGraphPage->grab(QRect(610, 225, 190, 95)).scaled(570, 285).save(
      QStringLiteral(VRX4_TEST_OUTPUT_DIR "/vrx4-graph-capture-buttons-x3.png"));
}

TEST(ImageButton, RadioGroupHoverAndAMissingBitmap) {
  QWidget parent;
  parent.resize(200, 60);
  CImageButton* b[3];
  for (int i = 0; i < 3; ++i) {
    b[i] = new CImageButton(CImageButton::kAutoRadio, &parent);
    b[i]->setGeometry(10 + i * 40, 10, 30, 30);
  }
  EXPECT_FALSE(b[0]->SetBitmap("/nonexistent/capture.bmp", colour::kWhite));
  EXPECT_FALSE(b[0]->m_bHasImage);
  EXPECT_TRUE(b[1]->SetBitmap(VRX4_DATA_BUILD_DIR "/Capture_pause.bmp", colour::kWhite));
  parent.show();
  int clicks = 0;
  QObject::connect(b[0], &QAbstractButton::clicked, [&] { ++clicks; });
  b[0]->click();
  EXPECT_EQ(clicks, 1) << "without its bitmap it is still a button";
  b[2]->click();
  EXPECT_EQ(std::vector<int>({b[0]->GetCheck(), b[1]->GetCheck(), b[2]->GetCheck()}), std::vector<int>({0, 0, 1}));
  b[2]->grab();
  EXPECT_EQ(b[2]->m_state, CImageButton::kPressed) << "the checked one keeps the sunken look";

  // Hover: raised at the first move, gone within the timer's period once
  // the cursor is elsewhere, though no message tells the button.
  QCursor::setPos(b[1]->mapToGlobal(QPoint(15, 15)));
  QMouseEvent move(QEvent::MouseMove, QPointF(15, 15), b[1]->mapToGlobal(QPointF(15, 15)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(b[1], &move);
  b[1]->grab();
  EXPECT_TRUE(b[1]->m_bHover && b[1]->m_state == CImageButton::kHover);
  QCursor::setPos(parent.mapToGlobal(QPoint(190, 55)));
  EXPECT_TRUE(waitUntil([&] { return !b[1]->m_bHover; }, 1000));
}

}  // namespace
}  // namespace vrx4::testing
