// The capture file seen from the GRAPH page: a FIFO is refused at once
// instead of freezing the window; a disk that fills up or a file that goes
// away is said while the capture runs and, truthfully, at its end, with
// every lost row counted; a capture across a link outage says what it does,
// keeps the gap, and its rows are the chart's samples. Rendered for a look.
#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <cerrno>
#include <map>
#include <regex>

#include "graph_harness.h"

namespace vrx4::testing {
namespace {

using namespace graph_id;

// Every row meets a full disk: a few bytes go in, then there is no space.
long diskFull(int fd, const void* data, std::size_t size) {
  static bool tookSome = false;
  tookSome = !tookSome;
  if (tookSome) return ::write(fd, data, std::min<std::size_t>(size, 5));
  errno = ENOSPC;
  return -1;
}

class GraphCapture : public GraphTest {
 protected:
  std::string text(int id) { return at<QLabel>(id)->text().toStdString(); }
};

TEST_F(GraphCapture, AFifoIsRefusedAtOnceAFullDiskAndAFileThatWentAwayAreSaidAndEveryLostRowCounted) {
  startOnGraph();
  const std::string fifo = m_dir + "/pipe.csv";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Answers the save dialog's "already exists, replace it?" with Yes. A
  // page that waited for a reader would hang until the test's time limit.
  auto poll = std::make_shared<std::function<void()>>();
  auto tries = std::make_shared<int>(0);
  *poll = [poll, tries] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->button(QMessageBox::Yes)->click();
    else if (++*tries < 300) QTimer::singleShot(10, *poll);
  };
  QTimer::singleShot(0, *poll);
  QElapsedTimer clock;
  clock.start();
  chooseCaptureFile(fifo);
  EXPECT_LT(clock.elapsed(), 2000);
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_EQ(m_boxes[0], "le fichier n'a pas été correctement ouvert\n" + fifo + ": not a regular file");
  EXPECT_FALSE(at<QCheckBox>(kCapture)->isChecked());
  EXPECT_FALSE(shown(kRecord));

  // A full disk and a file that went away are said as they are.
  m_boxes.clear();
  const std::string path = m_dir + "/run.csv";
  chooseCaptureFile(path);
  click(g_pGraphPage, kRecord);
  CCaptureFile& file = recording().g_captureFile;
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= 3; }));
  EXPECT_FALSE(shown(kCaptureNotice));

  // The disk fills up: the page counts the lost rows while the capture runs.
  file.m_write = diskFull;
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsLost >= 3; }));
  EXPECT_TRUE(shown(kCaptureNotice));
  EXPECT_EQ(text(kCaptureNotice), std::to_string(file.m_rowsLost) + " rows lost (No space left on device)");
  savePng(g_pGraphPage, "graph_capture_rows_lost.png");
  file.m_write = nullptr;  // space again
  const std::uint64_t before = file.m_rowsWritten;
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= before + 2; }));
  click(g_pGraphPage, kStop);
  EXPECT_FALSE(shown(kCaptureNotice));
  EXPECT_FALSE(at<QCheckBox>(kCapture)->isChecked());
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_EQ(m_boxes[0], std::to_string(file.m_rowsLost) +
                            " rows could not be written to the capture file (No space left on device). The file "
                            "holds every other row.");
  // No row the disk took only in part, and every sample from the first row
  // on was either written or counted.
  const std::vector<std::string> lines = rows(path);
  ASSERT_EQ(lines.size(), file.m_rowsWritten);
  EXPECT_EQ(readFile(path).substr(readFile(path).size() - 6), "bar;\r\n");
  const double firstTime = std::stod(lines.front());
  EXPECT_EQ(lines.size() + file.m_rowsLost, recording().m_store.read([&](const SampleView& v) {
    return v.size() - v.firstAtOrAfter(firstTime - 1e-6);
  }));

  // The file is deleted while rows are written: the end does not claim it
  // holds the other rows.
  click(g_pGraphPage, kRestart);
  chooseCaptureFile(m_dir + "/second.csv");
  click(g_pGraphPage, kRecord);
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= 2; }));
  std::filesystem::remove(m_dir + "/second.csv");
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsLost >= 1; }));
  click(g_pGraphPage, kEnd);
  ASSERT_EQ(m_boxes.size(), 2u);
  EXPECT_EQ(m_boxes[1], "The capture file " + m_dir + "/second.csv is no longer there: it was deleted or its folder "
                        "went away, and the rows written before went with it. " + std::to_string(file.m_rowsLost) +
                        " more rows could not be written (No such file or directory).");
}

TEST_F(GraphCapture, ACaptureAcrossALinkOutageSaysWhatItDoesAndItsRowsAreTheSamplesOfTheChart) {
  startOnGraph();
  ASSERT_TRUE(waitUntil([&] { return recording().m_store.Count() >= 5; }, 5000));
  const std::string path = m_dir + "/commissioning.csv";
  chooseCaptureFile(path);
  ASSERT_TRUE(at<QCheckBox>(kCapture)->isChecked());
  for (int id : {kRecord, kPause, kEnd, kCaptureStatus}) EXPECT_TRUE(shown(id)) << id;
  EXPECT_FALSE(recording().g_captureOn) << "writing starts with the record button";
  EXPECT_EQ(text(kCaptureStatus), "Capture file ready: no row written yet   0:00:00   0 rows written");

  click(g_pGraphPage, kRecord);
  ASSERT_TRUE(recording().g_captureOn);
  // Updated once a second while rows are written (a loaded machine may
  // show the second second first).
  const std::regex running("Recording   0:00:0[1-9]   [1-9][0-9]* rows written");
  ASSERT_TRUE(waitUntil([&] { return std::regex_match(text(kCaptureStatus), running); }, 5000))
      << text(kCaptureStatus);
  savePng(g_pGraphPage, "vrx4-graph-capture-running.png");

  // The regulator falls silent until the link reports it, then answers again.
  CCaptureFile& file = recording().g_captureFile;
  withDevice([](sim::SimDevice& d) { d.faults().silent = true; });
  ASSERT_TRUE(waitUntil([&] { return viewControl<QLabel>(view_id::kStatusText)->text().toStdString() ==
                                     m_app->keptText(Kept::NoCommunicate); }, 5000));
  const std::uint64_t atOutage = file.m_rowsWritten;
  withDevice([](sim::SimDevice& d) { d.faults().silent = false; });
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= atOutage + 5; }, 5000));

  // Paused: said at once, the clock stands still and no row is written.
  click(g_pGraphPage, kPause);
  const std::string paused = text(kCaptureStatus);
  const std::uint64_t rowsAtPause = file.m_rowsWritten;
  EXPECT_EQ(paused.rfind("Paused   0:00:0", 0), 0u) << paused;
  waitUntil([] { return false; }, 1100);
  EXPECT_EQ(text(kCaptureStatus), paused);
  EXPECT_EQ(file.m_rowsWritten, rowsAtPause);
  click(g_pGraphPage, kRecord);
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= rowsAtPause + 5; }, 5000));

  // The end: a summary that stays, with the rows and the file (the line
  // may shorten a long path in its middle; its tooltip has it all).
  click(g_pGraphPage, kEnd);
  EXPECT_FALSE(recording().g_captureOn);
  EXPECT_FALSE(at<QCheckBox>(kCapture)->isChecked());
  for (int id : {kRecord, kPause, kEnd}) EXPECT_FALSE(shown(id)) << id;
  const std::vector<std::string> lines = rows(path);
  ASSERT_EQ(lines.size(), file.m_rowsWritten);
  EXPECT_EQ(at<QLabel>(kCaptureStatus)->toolTip().toStdString(),
            "Capture ended: " + std::to_string(lines.size()) + " rows written, 0 rows lost, file " + path);
  EXPECT_TRUE(m_boxes.empty()) << "a capture without losses ends without a message box";
  savePng(g_pGraphPage, "vrx4-graph-capture-summary.png");

  // Every row is the sample of the store with its time, in order, the
  // first with the time since the recording started, not 0. The outage is
  // one jump in the Time column, nothing made up for it, and one break in
  // the store.
  std::map<std::string, std::string> byTime;
  int breaks = 0;
  recording().m_store.read([&](const SampleView& v) {
    for (std::size_t i = 0; i < v.size(); ++i) {
      const std::string row = capture::row(v.at(i), m_app->m_fPressureFactor, m_app->settings().m_nPressureUnit);
      byTime[row.substr(0, row.find(';'))] = row;
      breaks += i > 0 && v.breakBefore(i) ? 1 : 0;
    }
  });
  EXPECT_EQ(breaks, 1);
  EXPECT_GT(std::stod(lines.front()), 0.4);
  double previous = 0;
  int jumps = 0;  // besides the pause's, before row rowsAtPause
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string time = lines[i].substr(0, lines[i].find(';'));
    ASSERT_TRUE(byTime.count(time)) << lines[i];
    EXPECT_EQ(lines[i], byTime.at(time));
    EXPECT_GT(std::stod(time), previous) << lines[i];
    jumps += i != rowsAtPause && std::stod(time) - previous > 1.0 ? 1 : 0;
    previous = std::stod(time);
  }
  EXPECT_EQ(jumps, 1);

  // Unchecking Capture also stops the rows.
  chooseCaptureFile(m_dir + "/second.csv");
  click(g_pGraphPage, kRecord);
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= 2; }, 5000));
  click(g_pGraphPage, kCapture);
  EXPECT_FALSE(recording().g_captureOn);
  const std::size_t count = rows(m_dir + "/second.csv").size();
  waitUntil([] { return false; }, 400);
  EXPECT_EQ(rows(m_dir + "/second.csv").size(), count);
}

}  // namespace
}  // namespace vrx4::testing
