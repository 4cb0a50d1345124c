// The graph's sample store and the capture file: rows only while recording,
// the file complete after every row, never recreated once deleted.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <clocale>
#include <filesystem>
#include <fstream>

#include "../test_files.h"

#include "core/monitoring/capture_row.h"
#include "core/monitoring/graph_recording.h"

namespace vrx4 {
namespace {

using testing::readFile;

class CaptureFile : public ::testing::Test {
 protected:
  testing::TempDir m_temp;
  std::string m_dir = m_temp.path;
};

GraphSample sample(double time) {
  LiveMeasurement m;
  m.m_value = {2000, 5000, 24030, 6000, 5000, 12000};
  m.m_status = 0x81;
  m.m_statusBit0 = 1;
  return sampleFrom(m, static_cast<std::uint32_t>(time * 1000));
}

TEST_F(CaptureFile, HeaderRowsAndAFileThatWentAway) {
  CCaptureFile f;
  f.m_strPath = m_dir + "/run.csv";
  std::ofstream(f.m_strPath) << "old contents that must go\n";
  ASSERT_TRUE(f.Create(capture::kHeader));
  EXPECT_EQ(readFile(f.m_strPath), "Time;CTRL;AUXin;P2;24VDC;Uout;Iout;Alarm;Flag;Punit\r\n");

  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old ? old : "C";
  std::setlocale(LC_ALL, "de_DE.UTF-8");  // a "," locale where it exists
  ASSERT_TRUE(f.WriteRow(sample(1.5), 14.5038f, 1));
  std::setlocale(LC_ALL, saved.c_str());
  ASSERT_TRUE(f.WriteRow(sample(1.6), 1.0f, 0));
  EXPECT_EQ(readFile(f.m_strPath),
            "Time;CTRL;AUXin;P2;24VDC;Uout;Iout;Alarm;Flag;Punit\r\n"
            "1.500;5.000;2.000;87.023;24.030;5.000;12.000;1;-127;PSI;\r\n"
            "1.600;5.000;2.000;6.000;24.030;5.000;12.000;1;-127;bar;\r\n");

  std::filesystem::remove(f.m_strPath);
  EXPECT_FALSE(f.WriteRow(sample(1.7), 1.0f, 0));
  EXPECT_FALSE(std::filesystem::exists(f.m_strPath));

  CCaptureFile bad;
  bad.m_strPath = m_dir + "/no/such/folder/run.csv";
  std::string why;
  EXPECT_FALSE(bad.Create(capture::kHeader, &why));
  EXPECT_FALSE(why.empty());
}

TEST_F(CaptureFile, ARowThatCannotBeWrittenIsCountedAndNeverLeftHalfWritten) {
  CCaptureFile f;
  f.m_strPath = m_dir + "/run.csv";
  ASSERT_TRUE(f.Create(capture::kHeader));
  const std::string header = readFile(f.m_strPath);
  const std::string row = capture::row(sample(2.0), 1.0f, 0) + "\r\n";

  // A file size limit ten bytes past the header stands for a disk that
  // fills up in the middle of a row: the part that went in is cut off.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = header.size() + 10;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_FALSE(f.WriteRow(sample(1.9), 1.0f, 0));
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(readFile(f.m_strPath), header);

  EXPECT_TRUE(f.WriteRow(sample(2.0), 1.0f, 0));
  EXPECT_EQ(readFile(f.m_strPath), header + row);
  std::filesystem::remove(f.m_strPath);
  EXPECT_FALSE(f.WriteRow(sample(2.1), 1.0f, 0));
  EXPECT_EQ(f.m_rowsWritten, 1u);
  EXPECT_EQ(f.m_rowsLost, 2u);

  CCaptureFile full;  // a device that takes nothing
  full.m_strPath = "/dev/full";
  EXPECT_FALSE(full.Create(capture::kHeader));
  EXPECT_FALSE(full.WriteRow(sample(1.0), 1.0f, 0));
  EXPECT_EQ(full.m_rowsLost, 1u);
  ASSERT_TRUE(f.Create(capture::kHeader));
  EXPECT_EQ(f.m_rowsLost, 0u) << "a new file counts again";
}

TEST_F(CaptureFile, RecordingStoresWhileRunningWritesWhileCapturingAndRefreshesOnceASecond) {
  GraphRecording g;
  g.g_captureFile.m_strPath = m_dir + "/run.csv";
  ASSERT_TRUE(g.g_captureFile.Create(capture::kHeader));
  EXPECT_FALSE(g.record(sample(0.1), 100, 100, 1.0f, 0).stored);
  g.g_graphRunning = true;
  int refreshes = 0;
  for (std::uint32_t ms = 100; ms <= 3000; ms += 100) {
    g.g_captureOn = ms > 2000;
    const RecordOutcome o = g.record(sample(ms / 1000.0), ms, ms + 5, 1.0f, 0);
    EXPECT_TRUE(o.stored);
    refreshes += o.refreshDue ? 1 : 0;
  }
  EXPECT_EQ(refreshes, 3);  // at 1 s, 2 s and 3 s
  EXPECT_EQ(g.m_store.Count(), 30u);
  EXPECT_EQ(g.g_captureFile.m_rowsWritten, 10u);

  // The same sample posted twice is taken once; one stamped later than the
  // clock since the restart was measured before the restart.
  EXPECT_FALSE(g.record(sample(3.0), 3000, 3100, 1.0f, 0).stored);
  EXPECT_FALSE(g.record(sample(9.0), 9000, 3100, 1.0f, 0).stored);
  EXPECT_EQ(g.m_store.Count(), 30u);
  EXPECT_EQ(g.g_captureFile.m_rowsWritten, 10u);

  g.clear();
  EXPECT_EQ(g.m_store.Count(), 0u);
  EXPECT_FALSE(g.record(sample(0.5), 500, 600, 1.0f, 0).refreshDue);
  EXPECT_TRUE(g.record(sample(1.0), 1000, 1100, 1.0f, 0).refreshDue);
}

TEST(GraphRecording, SaysOnceWhenTheOldestSamplesBeginToLeave) {
  GraphRecording g;
  g.g_graphRunning = true;
  const std::size_t cap = g.m_store.capacity();
  EXPECT_EQ(cap, CSampleStore::kDefaultCapacity);
  int told = 0;
  for (std::uint32_t i = 1; i <= cap + 3; ++i) told += g.record(sample(i * 0.1), i * 100, i * 100, 1.0f, 0).oldestLeft;
  EXPECT_EQ(told, 1);
  EXPECT_EQ(g.m_store.Count(), cap);
  EXPECT_EQ(g.m_store.droppedOldest(), 3u);
}

}  // namespace
}  // namespace vrx4
