// The graph's sample store and the capture file: rows only while recording,
// the file complete after every row, never recreated once deleted.
#include <gtest/gtest.h>

#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "monitoring/capture_row.h"
#include "monitoring/graph_recording.h"

namespace vrx4 {
namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vrx4-capture-XXXXXX";
    m_dir = mkdtemp(pattern);
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }
  std::string m_dir;
};

GraphSample sample(double time) {
  LiveMeasurement m;
  m.m_value = {2000, 5000, 24030, 6000, 5000, 12000};
  m.m_status = 0x81;
  m.m_statusBit0 = 1;
  return sampleFrom(m, static_cast<std::uint32_t>(time * 1000));
}

using CaptureFile = TempDir;

TEST_F(CaptureFile, HeaderRowsAndAFileThatWentAway) {
  CCaptureFile f;
  f.m_strPath = m_dir + "/run.csv";
  std::ofstream(f.m_strPath) << "old contents that must go\n";
  ASSERT_TRUE(f.Create(capture::kHeader));
  EXPECT_EQ(slurp(f.m_strPath), "Time;CTRL;AUXin;P2;24VDC;Uout;Iout;Alarm;Flag;Punit\r\n");

  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old ? old : "C";
  std::setlocale(LC_ALL, "de_DE.UTF-8");  // a "," locale where it exists
  ASSERT_TRUE(f.WriteRow(sample(1.5), 14.5038f, 1));
  std::setlocale(LC_ALL, saved.c_str());
  ASSERT_TRUE(f.WriteRow(sample(1.6), 1.0f, 0));
  EXPECT_EQ(slurp(f.m_strPath),
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

TEST(GraphRecording, AppendsWhileRunningAndRefreshesOnceASecond) {
  GraphRecording g;
  EXPECT_FALSE(g.append(sample(0.1), 100));
  EXPECT_TRUE(g.m_samples.empty());
  g.g_graphRunning = true;
  g.m_maxSamples = 25;
  int refreshes = 0;
  for (std::uint32_t ms = 100; ms <= 3000; ms += 100) refreshes += g.append(sample(ms / 1000.0), ms) ? 1 : 0;
  EXPECT_EQ(refreshes, 3);  // at 1 s, 2 s and 3 s
  EXPECT_EQ(g.m_samples.size(), 25u);
  EXPECT_DOUBLE_EQ(g.m_samples.front().time, 0.6);
  g.clear();
  EXPECT_TRUE(g.m_samples.empty());
  EXPECT_FALSE(g.append(sample(0.5), 500));
  EXPECT_TRUE(g.append(sample(1.0), 1000));
}

}  // namespace
}  // namespace vrx4
