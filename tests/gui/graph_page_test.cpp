// The graph page: its controls and time base rules, the recording that
// follows the page, the capture file end to end on the simulated
// regulator (also when its folder goes away mid-run), and the image
// button.
#include <QCheckBox>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <map>
#include <sstream>

#include "graph_harness.h"
#include "core/monitoring/capture_row.h"

namespace vrx4::testing {
namespace {

using namespace graph_id;

class GraphPage : public GraphTest {
 protected:
  // Capture rows of a file, without the header; every line must end in CR LF.
  std::vector<std::string> rows(const std::string& path) {
    const std::string text = readFile(path);
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < text.size()) {
      const std::size_t end = text.find("\r\n", at);
      EXPECT_NE(end, std::string::npos) << "a line without CR LF at " << at;
      if (end == std::string::npos) break;
      out.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    EXPECT_FALSE(out.empty());
    if (!out.empty()) {
      EXPECT_EQ(out.front(), capture::kHeader);
      out.erase(out.begin());
    }
    return out;
  }
  std::map<std::string, std::string> storedRowsByTime() {
    std::map<std::string, std::string> byTime;
    recording().m_store.read([&](const SampleView& v) {
      for (std::size_t i = 0; i < v.size(); ++i) {
        const std::string row = capture::row(v.at(i), m_app->m_fPressureFactor, m_app->settings().m_nPressureUnit);
        byTime[row.substr(0, row.find(';'))] = row;
      }
    });
    return byTime;
  }
  std::size_t stored() { return recording().m_store.Count(); }
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
  recording().m_store.read([](const SampleView& v) {
    for (std::size_t i = 1; i < v.size(); ++i) {
      EXPECT_GT(v.time(i) - v.time(i - 1), 0.1 - 1e-9) << i;
      EXPECT_LT(v.time(i) - v.time(i - 1), 0.5) << i;
    }
  });
  EXPECT_GE(chart().m_lastRefreshTime, 1.0);
  EXPECT_EQ(chart().scrollBar()->maximum(), 0);

  // Escape does nothing.
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(g_pGraphPage, &escape);
  EXPECT_TRUE(g_pGraphPage->isVisible());

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

TEST_F(GraphPage, CaptureFileRowsAreTheSamplesOfTheChart) {
  startOnGraph();
  ASSERT_TRUE(waitUntil([&] { return stored() >= 5; }, 5000));
  const std::string path = m_dir + "/run.csv";
  chooseCaptureFile(path);
  ASSERT_TRUE(at<QCheckBox>(kCapture)->isChecked());
  for (int id : {kRecord, kPause, kEnd}) EXPECT_TRUE(shown(id)) << id;
  EXPECT_FALSE(recording().g_captureOn) << "writing starts with the record button";

  click(g_pGraphPage, kRecord);
  ASSERT_TRUE(recording().g_captureOn);
  ASSERT_TRUE(waitUntil([&] { return recording().g_captureFile.m_rowsWritten >= 10; }, 5000));
  click(g_pGraphPage, kPause);
  const std::uint64_t paused = recording().g_captureFile.m_rowsWritten;
  waitUntil([] { return false; }, 400);
  EXPECT_EQ(recording().g_captureFile.m_rowsWritten, paused);
  click(g_pGraphPage, kRecord);
  ASSERT_TRUE(waitUntil([&] { return recording().g_captureFile.m_rowsWritten >= paused + 5; }, 5000));
  click(g_pGraphPage, kEnd);
  EXPECT_FALSE(recording().g_captureOn);
  EXPECT_FALSE(at<QCheckBox>(kCapture)->isChecked());
  for (int id : {kRecord, kPause, kEnd}) EXPECT_FALSE(shown(id)) << id;
  EXPECT_TRUE(m_boxes.empty());

  // Every row is the sample of the store with its time, in order; the
  // first carries the time since the recording started, not 0.
  const std::vector<std::string> written = rows(path);
  EXPECT_EQ(written.size(), recording().g_captureFile.m_rowsWritten);
  const auto byTime = storedRowsByTime();
  double previous = 0;
  for (const std::string& row : written) {
    const std::string time = row.substr(0, row.find(';'));
    ASSERT_TRUE(byTime.count(time)) << row;
    EXPECT_EQ(row, byTime.at(time));
    EXPECT_GT(std::stod(time), previous);
    previous = std::stod(time);
    EXPECT_EQ(row.substr(row.size() - 5), ";bar;");
  }
  EXPECT_GT(std::stod(written.front()), 0.4);

  // Unchecking Capture also stops the rows.
  const std::string second = m_dir + "/second.csv";
  chooseCaptureFile(second);
  click(g_pGraphPage, kRecord);
  ASSERT_TRUE(waitUntil([&] { return recording().g_captureFile.m_rowsWritten >= 2; }, 5000));
  click(g_pGraphPage, kCapture);
  EXPECT_FALSE(recording().g_captureOn);
  const std::size_t lines = rows(second).size();
  waitUntil([] { return false; }, 400);
  EXPECT_EQ(rows(second).size(), lines);
}

TEST_F(GraphPage, CaptureSurvivesItsFolderGoingAwayAndCountsTheLostRows) {
  startOnGraph();
  namespace fs = std::filesystem;
  fs::create_directory(m_dir + "/stick");
  chooseCaptureFile(m_dir + "/stick/run.csv");
  click(g_pGraphPage, kRecord);
  CCaptureFile& file = recording().g_captureFile;
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= 5; }, 5000));
  fs::rename(m_dir + "/stick", m_dir + "/gone");  // the stick is pulled
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsLost >= 5; }, 5000));
  fs::rename(m_dir + "/gone", m_dir + "/stick");  // and plugged in again
  const std::uint64_t before = file.m_rowsWritten;
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= before + 3; }, 5000));
  click(g_pGraphPage, kStop);
  EXPECT_FALSE(recording().g_graphRunning);
  EXPECT_FALSE(at<QCheckBox>(kCapture)->isChecked());

  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_EQ(m_boxes[0], std::to_string(file.m_rowsLost) +
                            " rows could not be written to the capture file (No such file or directory). The "
                            "file holds every other row.");
  const std::vector<std::string> written = rows(m_dir + "/stick/run.csv");
  EXPECT_EQ(written.size(), file.m_rowsWritten);
  // Every sample from the first row on was either written or counted.
  const double firstTime = std::stod(written.front());
  const std::size_t captured =
      recording().m_store.read([&](const SampleView& v) { return v.size() - v.firstAtOrAfter(firstTime - 1e-6); });
  EXPECT_EQ(written.size() + file.m_rowsLost, captured);
  for (const std::string& row : written) EXPECT_EQ(std::count(row.begin(), row.end(), ';'), 10) << row;
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
  EXPECT_EQ(b[2]->GetCheck(), 1);
  EXPECT_EQ(b[0]->GetCheck(), 0);
  EXPECT_EQ(b[1]->GetCheck(), 0);
  b[2]->grab();
  EXPECT_EQ(b[2]->m_state, CImageButton::kPressed) << "the checked one keeps the sunken look";

  // Hover: raised at the first move, gone within the timer's period once
  // the cursor is elsewhere, though no message tells the button.
  QCursor::setPos(b[1]->mapToGlobal(QPoint(15, 15)));
  QMouseEvent move(QEvent::MouseMove, QPointF(15, 15), b[1]->mapToGlobal(QPointF(15, 15)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(b[1], &move);
  EXPECT_TRUE(b[1]->m_bHover);
  b[1]->grab();
  EXPECT_EQ(b[1]->m_state, CImageButton::kHover);
  QCursor::setPos(parent.mapToGlobal(QPoint(190, 55)));
  EXPECT_TRUE(waitUntil([&] { return !b[1]->m_bHover; }, 1000));
}

}  // namespace
}  // namespace vrx4::testing
