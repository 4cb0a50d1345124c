// A capture file opened back into the GRAPH page's chart: a capture the
// page recorded on the simulated regulator, and vrx4ctl monitor's rows,
// read at the cursor as they were recorded (also where two curves lie on
// one another, and nothing in a link outage), live samples kept out while
// a file is shown, RE-START back to live; damaged rows said, foreign files
// and FIFOs refused with the chart left as it was. Rendered for a look.
#include <sys/stat.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "core/base/pressure_units.h"
#include "gui/monitoring/graph_file_view.h"
#include "graph_harness.h"

namespace vrx4::testing {
namespace {

using namespace graph_id;

class GraphFile : public GraphTest {
 protected:
  // The readout with the pointer at `seconds`: its time ("none" where no
  // sample is found) and values.
  std::vector<std::string> readoutAt(double seconds) {
    const chart::CursorReadout& r = pointAt(seconds);
    std::vector<std::string> out{r.found ? r.time : "none"};
    out.insert(out.end(), r.value.begin(), r.value.end());
    return out;
  }
  std::string fileLine() { return at<QLabel>(kFileShown)->text().toStdString(); }
};

TEST_F(GraphFile, CapturesOfThePageAndOfVrx4ctlReadBackAsRecordedDamagedRowsSaidForeignFilesRefused) {
  startOnGraph();
  for (int id : {kP2, kUout, kIout, kAlarm}) click(g_pGraphPage, id);
  view().OnUnit(unit::kPsi);  // the file in PSI
  const std::string path = m_dir + "/overnight.csv";
  state().g_currentPage.store(2);  // only the fed samples make rows
  waitUntil([] { return false; }, 300);
  chooseCaptureFile(path);
  click(g_pGraphPage, kRecord);
  feedRecording(120.0, 0.1, 60.0, 66.0);  // a link outage from 60 s to 66 s
  EXPECT_FALSE(shown(kOpenCapture)) << "no file is opened while a capture is written";
  click(g_pGraphPage, kEnd);
  EXPECT_TRUE(shown(kOpenCapture));
  // Read in bar (each value to the device's resolution), and in kPa.
  view().OnUnit(unit::kBar);

  // P2 lies exactly under Uout: the cursor gives both, each in its unit.
  const chart::CursorReadout& r = pointAt(50.0);
  ASSERT_TRUE(r.found);
  EXPECT_NEAR(std::stod(r.time), 50.0, 0.15);
  EXPECT_EQ(r.y[kChP2], r.y[kChUout]);
  EXPECT_EQ(r.value[kChP2], r.value[kChUout].substr(0, r.value[kChUout].size() - 1) + "bar");
  savePng(g_pGraphPage, "vrx4-graph-cursor-hidden-curves.png");
  chart().grab(QRect(20, 45, 240, 160)).scaled(720, 480).save(
      QStringLiteral(VRX4_TEST_OUTPUT_DIR "/vrx4-graph-cursor-x3.png"));

  const double times[] = {47.3, 48.2, 59.0, 63.0, 70.0, 119.5};
  std::vector<std::vector<std::string>> recorded;
  for (double t : times) recorded.push_back(readoutAt(t));
  EXPECT_EQ(recorded[3][0], "none") << "the outage";
  savePng(g_pGraphPage, "vrx4-graph-cursor-last-sample.png");
  EXPECT_EQ(recorded[1][0], "48.200 s");
  view().OnUnit(unit::kKpa);
  const std::vector<std::string> recordedKpa = readoutAt(48.2);
  view().OnUnit(unit::kBar);

  // vrx4ctl monitor's rows as it prints them (LF line ends), in bar.
  std::string cli = std::string(capture::kHeader) + "\n";
  recording().m_store.read([&](const SampleView& v) {
    for (std::size_t i = 0; i < v.size(); ++i) cli += capture::row(v.at(i), 1.0f, unit::kBar) + "\n";
  });
  writeFile(m_dir + "/monitor.csv", cli);

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

  // Live recording back on the GRAPH page: no sample may enter while a
  // file is shown. The chart was scrolled back: the file is shown from its
  // end all the same.
  state().g_currentPage.store(13);
  clickForFile(kOpenCapture, path);
  ASSERT_TRUE(page().fileView()->shown()) << (m_boxes.empty() ? "" : m_boxes.back());
  EXPECT_EQ(fileLine(), "File overnight.csv, 0.100 s to 120.000 s (0:01:59): not live data. RE-START returns to live.");
  EXPECT_EQ(page().fileView()->outcome().unit, unit::kPsi);
  EXPECT_FALSE(at<QCheckBox>(kCapture)->isEnabled());
  EXPECT_EQ(at<QPushButton>(kOpenCapture)->text(), QString::fromUtf8("Open capture…"));
  EXPECT_FALSE(recording().g_graphRunning);
  EXPECT_EQ(recording().m_store.Count(), 1140u);
  waitUntil([] { return false; }, 600);
  EXPECT_EQ(recording().m_store.Count(), 1140u) << "live samples went into the file's chart";
  for (std::size_t i = 0; i < std::size(times); ++i) EXPECT_EQ(readoutAt(times[i]), recorded[i]) << times[i];
  // The unit changed while the file is shown: the chart follows.
  view().OnUnit(unit::kKpa);
  EXPECT_EQ(readoutAt(48.2), recordedKpa);
  savePng(g_pGraphPage, "vrx4-graph-file-shown.png");

  clickForFile(kOpenCapture, m_dir + "/monitor.csv");
  EXPECT_EQ(page().fileView()->outcome().unit, unit::kBar);
  view().OnUnit(unit::kBar);
  for (std::size_t i = 0; i < std::size(times); ++i) EXPECT_EQ(readoutAt(times[i]), recorded[i]) << times[i];
  EXPECT_TRUE(m_boxes.empty()) << m_boxes.front();

  // Damaged rows are said; foreign files and FIFOs leave the chart as it was.
  const std::string h = std::string(capture::kHeader) + "\r\n";
  std::string text = h;
  for (int i = 1; i <= 300; ++i) {
    if (i % 40 == 0) text += "12.3;garbage\r\n";
    text += capture::fixed3(i * 0.1) + ";5.000;0.000;2.000;24.000;5.000;12.000;0;0;bar;\r\n";
  }
  // RE-START pressed while the capture was written: from line 309 on.
  for (int i = 1; i <= 10; ++i) text += capture::fixed3(i * 0.1) + ";4.000;0.000;2.000;24.000;5.000;12.000;0;0;bar;\r\n";
  writeFile(m_dir + "/damaged.csv", text);
  clickForFile(kOpenCapture, m_dir + "/damaged.csv");
  ASSERT_TRUE(page().fileView()->shown());
  EXPECT_EQ(page().fileView()->outcome().damagedLines.size(), 7u);
  EXPECT_EQ(at<QLabel>(kStoreNotice)->text().toStdString(),
            "7 damaged rows skipped (lines 41, 82, 123, 164, 205, ...).  The Time column starts again at line 309 "
            "(RE-START during the capture): what follows is drawn after what came before, its times moved on.");
  EXPECT_TRUE(at(kStoreNotice)->isVisible());
  savePng(g_pGraphPage, "vrx4-graph-file-damaged.png");
  const std::string line = fileLine();
  EXPECT_EQ(recording().m_store.Count(), 310u);

  writeFile(m_dir + "/VRX4.txt", "[BASE]\r\n00 11 22 33\r\n");
  ASSERT_EQ(::mkfifo((m_dir + "/pipe.csv").c_str(), 0600), 0);
  writeFile(m_dir + "/header.csv", h + "1;2;3\r\n");
  for (const char* name : {"VRX4.txt", "pipe.csv", "header.csv"}) {
    m_boxes.clear();
    clickForFile(kOpenCapture, m_dir + "/" + name);
    ASSERT_EQ(m_boxes.size(), 1u) << name;
    EXPECT_NE(m_boxes[0].find(name), std::string::npos) << m_boxes[0];
    EXPECT_EQ(fileLine(), line);
    EXPECT_EQ(recording().m_store.Count(), 310u);
  }
  EXPECT_EQ(m_boxes[0], "The capture file holds no row that can be read (1 damaged rows): " + m_dir +
                            "/header.csv. The graph is as it was.");

  // RE-START: live again, from an empty store.
  click(g_pGraphPage, kRestart);
  EXPECT_FALSE(page().fileView()->shown());
  EXPECT_FALSE(at(kFileShown)->isVisible());
  EXPECT_TRUE(at<QCheckBox>(kCapture)->isEnabled());
  EXPECT_TRUE(recording().g_graphRunning);
  EXPECT_LT(recording().m_store.Count(), 20u);
}

}  // namespace
}  // namespace vrx4::testing
