// The capture file seen from the GRAPH page: a FIFO is refused at once
// instead of freezing the window, and a disk that fills up or a file that
// goes away is said while the capture runs and, truthfully, at its end.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <cerrno>

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
  // Answers the save dialog's "already exists, replace it?" with Yes.
  static void replaceWhenAsked() {
    auto poll = std::make_shared<std::function<void()>>();
    auto tries = std::make_shared<int>(0);
    *poll = [poll, tries] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->button(QMessageBox::Yes)->click();
      else if (++*tries < 300) QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
  }
  std::string notice() { return at<QLabel>(kCaptureNotice)->text().toStdString(); }
};

TEST_F(GraphCapture, AFifoIsRefusedAtOnce) {
  startOnGraph();
  const std::string fifo = m_dir + "/pipe.csv";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // A page that waited for a reader would hang here until the test's time
  // limit ends it.
  QElapsedTimer clock;
  clock.start();
  replaceWhenAsked();
  chooseCaptureFile(fifo);
  EXPECT_LT(clock.elapsed(), 2000);
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_EQ(m_boxes[0], "le fichier n'a pas été correctement ouvert\n" + fifo + ": not a regular file");
  EXPECT_FALSE(at<QCheckBox>(kCapture)->isChecked());
  EXPECT_FALSE(shown(kRecord));
}

TEST_F(GraphCapture, AFullDiskAndAFileThatWentAwayAreSaidAsTheyAre) {
  startOnGraph();
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
  EXPECT_EQ(notice(),
            std::to_string(file.m_rowsLost) + " rows lost (No space left on device)");
  savePng(g_pGraphPage, "graph_capture_rows_lost.png");
  file.m_write = nullptr;  // space again
  const std::uint64_t before = file.m_rowsWritten;
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= before + 2; }));
  click(g_pGraphPage, kStop);
  EXPECT_FALSE(shown(kCaptureNotice));
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_EQ(m_boxes[0], std::to_string(file.m_rowsLost) +
                            " rows could not be written to the capture file (No space left on device). The file "
                            "holds every other row.");
  // No row the disk took only in part.
  const std::string text = readFile(path);
  EXPECT_EQ(static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n')), file.m_rowsWritten + 1);
  EXPECT_EQ(text.substr(text.size() - 6), "bar;\r\n");

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

}  // namespace
}  // namespace vrx4::testing
