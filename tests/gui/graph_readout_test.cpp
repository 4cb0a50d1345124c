// The GRAPH page as a technician reads it on a first commissioning job: a
// capture that says it is recording, for how long and how many rows, and
// sums up at its end; a link outage during it, which the capture file
// keeps as a jump in its Time column and the chart as a break in every
// curve; and the cursor that reads values off the chart, also where two
// curves lie on one another. Rendered to PNG files for a look.
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <regex>
#include <sstream>

#include "core/monitoring/chart_points.h"
#include "graph_harness.h"

namespace vrx4::testing {
namespace {

using namespace graph_id;

class GraphReadout : public GraphTest {
 protected:
  std::string status() { return at<QLabel>(kCaptureStatus)->text().toStdString(); }
  // The pointer moved onto plot column `column` of the chart.
  void pointAtColumn(int column) {
    const QPointF local(chart().clientRect().left() + chart::kPlotLeft + column, chart().clientRect().top() + 200);
    QMouseEvent move(QEvent::MouseMove, local, chart().mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&chart(), &move);
    settle();
  }
  int columnOf(double seconds) {
    const auto& v = chart().viewport();
    return static_cast<int>(seconds * v.m_pxPerSecond - v.m_viewLeft);
  }
  static double number(const std::string& text) { return std::stod(text.substr(0, text.find(' '))); }
};

TEST_F(GraphReadout, ACaptureAcrossALinkOutageSaysWhatItDoesAndKeepsTheGap) {
  startOnGraph();
  const std::string path = m_dir + "/commissioning.csv";
  chooseCaptureFile(path);
  EXPECT_TRUE(shown(kCaptureStatus));
  EXPECT_EQ(status(), "Capture file ready: no row written yet   0:00:00   0 rows written");

  click(g_pGraphPage, kRecord);
  // Updated once a second while rows are written (a loaded machine may
  // show the second second first).
  const std::regex running("Recording   0:00:0[1-9]   [1-9][0-9]* rows written");
  ASSERT_TRUE(waitUntil([&] { return std::regex_match(status(), running); }, 5000)) << status();
  savePng(g_pGraphPage, "vrx4-graph-capture-running.png");

  // The regulator falls silent until the link reports it, then answers again.
  CCaptureFile& file = recording().g_captureFile;
  withDevice([](sim::SimDevice& d) { d.faults().silent = true; });
  ASSERT_TRUE(waitUntil([&] { return viewControl<QLabel>(view_id::kStatusText)->text().toStdString() ==
                                     m_app->keptText(Kept::NoCommunicate); }, 5000));
  const std::uint64_t atOutage = file.m_rowsWritten;
  withDevice([](sim::SimDevice& d) { d.faults().silent = false; });
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= atOutage + 5; }, 5000));

  // Paused: said at once, and the clock stands still.
  click(g_pGraphPage, kPause);
  const std::string paused = status();
  EXPECT_EQ(paused.rfind("Paused   0:00:0", 0), 0u) << paused;
  waitUntil([] { return false; }, 1100);
  EXPECT_EQ(status(), paused);

  // The end: a summary that stays, with the rows and the file.
  click(g_pGraphPage, kEnd);
  std::vector<std::string> lines;
  std::istringstream in(readFile(path));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_GT(lines.size(), 10u);
  // (the line may shorten a long path in its middle; its tooltip has it all)
  EXPECT_EQ(at<QLabel>(kCaptureStatus)->toolTip().toStdString(),
            "Capture ended: " + std::to_string(lines.size() - 1) + " rows written, 0 rows lost, file " + path);
  EXPECT_TRUE(m_boxes.empty()) << "a capture without losses ends without a message box";
  savePng(g_pGraphPage, "vrx4-graph-capture-summary.png");

  // The file keeps its rows as they are: the outage is a jump in its Time
  // column, and nothing was made up for it.
  double previous = 0;
  int jumps = 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const double t = std::stod(lines[i]);
    EXPECT_GT(t, previous) << lines[i];
    jumps += t - previous > 1.0 ? 1 : 0;
    previous = t;
  }
  EXPECT_EQ(jumps, 1);

  // The store breaks exactly where samples lie across a gap.
  int breaks = 0;
  recording().m_store.read([&](const SampleView& v) {
    for (std::size_t i = 1; i < v.size(); ++i) {
      EXPECT_EQ(v.breakBefore(i), chart::isGap(v.time(i - 1), v.time(i), 0.1)) << v.time(i);
      breaks += v.breakBefore(i) ? 1 : 0;
    }
  });
  EXPECT_EQ(breaks, 1);
}

TEST_F(GraphReadout, TheCursorReadsCurvesThatHideEachOtherAndShowsNothingInAnOutage) {
  startOnGraph();
  click(g_pGraphPage, kP2);
  click(g_pGraphPage, kUout);
  feedRecording(120.0, 0.1, 60.0, 66.0);  // no sample from 60 s to 66 s

  // P2 lies exactly under Uout: the cursor gives both, each in its unit.
  pointAtColumn(columnOf(50.0));
  const chart::CursorReadout& r = chart().readout();
  ASSERT_TRUE(r.found);
  EXPECT_NEAR(number(r.time), 50.0, 0.15);
  EXPECT_EQ(r.y[kChP2], r.y[kChUout]);
  EXPECT_EQ(r.value[kChP2], r.value[kChUout].substr(0, r.value[kChUout].size() - 1) + "bar");
  savePng(g_pGraphPage, "vrx4-graph-cursor-hidden-curves.png");
  chart().grab(QRect(20, 45, 240, 160)).scaled(720, 480).save(
      QStringLiteral(VRX4_TEST_OUTPUT_DIR "/vrx4-graph-cursor-x3.png"));

  // Inside the outage there is nothing to read.
  pointAtColumn(columnOf(63.0));
  EXPECT_FALSE(chart().readout().found);
  savePng(g_pGraphPage, "vrx4-graph-cursor-in-outage.png");

  // The cursor stays under the pointer when the chart scrolls; it goes
  // when the pointer leaves.
  pointAtColumn(200);
  const std::string before = chart().readout().time;
  chart().scrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
  settle();
  EXPECT_EQ(chart().viewport().cursorColumn(), 200);
  EXPECT_NE(chart().readout().time, before);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&chart(), &leave);
  EXPECT_FALSE(chart().viewport().m_cursorShown);
}

}  // namespace
}  // namespace vrx4::testing
