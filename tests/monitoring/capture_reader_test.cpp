// Capture files read back into the sample store: damaged rows counted
// with their lines, units converted, gaps and restarts kept; foreign files
// and FIFOs refused without touching the store; a night too long for the
// store thinned, not cut. (Both writers' files read back as written: the
// GRAPH page's and vrx4ctl's tests.)
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include "../test_files.h"
#include "core/base/pressure_units.h"
#include "core/monitoring/capture_reader.h"
#include "core/monitoring/capture_row.h"
#include "core/monitoring/chart_points.h"
#include "samples.h"

namespace vrx4 {
namespace {

using testing::makeSample;
using testing::writeFile;

TEST(CaptureReader, DamagedRowsAreCountedWithTheirLinesAndUnitsGapsAndRestartsKept) {
  testing::TempDir dir;
  // Damaged rows, a unit changed part-way, a gap and a RE-START.
  const std::string h = std::string(capture::kHeader) + "\r\n";
  writeFile(dir.file("mixed.csv"),
            h + "0.100;5.000;0.000;2.000;24.000;5.000;12.000;0;0;bar;\r\n"  // line 2
                "0.200;5.000;0.000;2.0"                                    // 3: cut short
                "\r\n0.300;5,000;0.000;2.000;24.000;5.000;12.000;0;0;bar;\r\n"  // 4: decimal comma
                "0.400;5.000;0.000;200.0;24.000;5.000;12.000;0;0;kPa;\r\n"  // 5: kPa, 2 bar
                "0.500;5.000;0.000;2.000;24.000;5.000;12.000;0;0;psi;\r\n"  // 6: no such unit
                "0.600;5.000;0.000;2.000;24.000;5.000;12.000;2;0;bar;\r\n"  // 7: alarm 2
                "\r\n"                                                      // 8: blank, no row
                "0.700;5.000;0.000;2.000;24.000;5.000;12.000;0;-1;bar;\r\n"
                "9.700;5.000;0.000;2.000;24.000;5.000;12.000;1;0;bar;\r\n"  // after a silence
                "0.100;5.000;0.000;2.000;24.000;5.000;12.000;0;0;bar\r\n"   // 11: RE-START
                "0.200;5.000;0.000;2.000;24.000;5.000;12.000;0;0;bar;");   // no line end
  CSampleStore store;
  const capture::ReadOutcome o = capture::readCapture(dir.file("mixed.csv"), store);
  ASSERT_EQ(o.status, capture::ReadStatus::Shown);
  EXPECT_EQ(o.damagedLines, (std::vector<std::uint64_t>{3, 4, 6, 7}));
  EXPECT_EQ(o.rows, 6u);
  EXPECT_EQ(o.otherUnitRows, 1u);
  EXPECT_EQ(o.timeRestarts, 1u);
  EXPECT_EQ(o.firstRestartLine, 11u);
  EXPECT_EQ(o.gaps, 2u);
  store.read([&](const SampleView& v) {
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(chart::readoutValue(kChP2, v.value(kChP2, 1), {}), "2.000 bar");
    EXPECT_TRUE(v.breakBefore(3));
    EXPECT_TRUE(v.breakBefore(4));
    EXPECT_GT(v.time(4), v.time(3) + chart::gapAfter(0.1));  // the second part follows the first
    EXPECT_NEAR(v.time(5) - v.time(4), 0.1, 1e-9);
    EXPECT_FALSE(v.breakBefore(5));
  });
}

TEST(CaptureReader, ForeignFilesAndFifosAreRefusedLeavingTheStoreAsItWas) {
  testing::TempDir dir;
  const std::string h = std::string(capture::kHeader) + "\r\n";
  writeFile(dir.file("empty.csv"), "");
  writeFile(dir.file("header.csv"), h);
  writeFile(dir.file("damaged.csv"), h + "garbage\r\n1;2;3\r\n");
  writeFile(dir.file("config.txt"), "[BASE]\r\n00 01 02 03\r\n");
  writeFile(dir.file("binary.csv"), std::string("\x7f" "ELF\0\0\x01\n", 8) + std::string(100000, '\0') + h);
  ASSERT_EQ(::mkfifo(dir.file("pipe.csv").c_str(), 0600), 0);

  CSampleStore store;
  store.Append(makeSample(1.0, 3.0f));
  const struct {
    const char* name;
    capture::ReadStatus status;
  } cases[] = {{"empty.csv", capture::ReadStatus::NotCapture}, {"header.csv", capture::ReadStatus::NoRows},
               {"damaged.csv", capture::ReadStatus::NoRows},   {"config.txt", capture::ReadStatus::NotCapture},
               {"binary.csv", capture::ReadStatus::NotCapture}, {"pipe.csv", capture::ReadStatus::CannotOpen},
               {"missing.csv", capture::ReadStatus::CannotOpen}, {"", capture::ReadStatus::CannotOpen}};
  for (const auto& c : cases) {
    const auto t0 = std::chrono::steady_clock::now();
    const capture::ReadOutcome o = capture::readCapture(dir.file(c.name), store);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1)) << c.name;
    EXPECT_EQ(o.status, c.status) << c.name;
    EXPECT_EQ(store.Count(), 1u) << c.name;
  }
  EXPECT_EQ(capture::readCapture(dir.file("pipe.csv"), store).detail, "not a regular file");
}

TEST(CaptureReader, ANightLongerThanTheStoreIsThinnedKeepingEverySpikeAndGap) {
  testing::TempDir dir;
  // 5000 rows at 0.1 s into a store of 1000: a spike of one row at 10 s
  // (early in the night), another at 450 s, a silence from 300 s to 310 s.
  std::string text = std::string(capture::kHeader) + "\r\n";
  for (int i = 0; i < 5000; ++i) {
    if (i >= 3000 && i < 3100) continue;
    GraphSample s = makeSample(i * 0.1, i == 100 ? 9.5f : i == 4500 ? 0.5f : 5.0f + 0.01f * static_cast<float>(i % 3));
    s.alarm = i == 4500 ? 1 : 0;
    text += capture::row(s, 1.0f, unit::kBar) + "\r\n";
  }
  writeFile(dir.file("night.csv"), text);
  CSampleStore store(1000);
  const capture::ReadOutcome o = capture::readCapture(dir.file("night.csv"), store);
  ASSERT_EQ(o.status, capture::ReadStatus::Shown);
  EXPECT_EQ(o.rows, 4900u);
  EXPECT_GT(o.rowsPerPair, 1u);
  EXPECT_EQ(o.samples, store.Count());
  EXPECT_LE(store.Count(), 1000u);
  EXPECT_EQ(store.droppedOldest(), 0u);
  EXPECT_EQ(o.gaps, 1u);
  store.read([&](const SampleView& v) {
    EXPECT_EQ(v.time(0), 0.0);
    EXPECT_NEAR(v.time(v.size() - 1), 499.9, 1e-9);
    const ChannelRange all = v.range(0, v.size());
    EXPECT_FLOAT_EQ(all.high[kChCtrl], 9.5f);
    EXPECT_FLOAT_EQ(all.low[kChCtrl], 0.5f);
    EXPECT_EQ(all.high[kChAlarm], 1.0f);
    // The spike at 10 s is where it was, and the silence stays a gap.
    const std::size_t at = v.firstAtOrAfter(9.95) - 1;
    EXPECT_TRUE(v.value(kChCtrl, at) == 9.5f || v.value(kChCtrl, at + 1) == 9.5f);
    const std::size_t after = v.firstAtOrAfter(305.0);
    EXPECT_TRUE(v.breakBefore(after));
    EXPECT_NEAR(v.time(after), 310.0, 1e-9);
    for (std::size_t i = 1; i < v.size(); ++i) EXPECT_EQ(v.breakBefore(i), i == after) << i;
  });
}

}  // namespace
}  // namespace vrx4
