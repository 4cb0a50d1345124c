// What the monitoring pages make of the measurements. Live values as the
// LIVE page shows them: units, formats per access mode, the CONTROL
// back-conversion while it is forced, the pressure error. The graph's
// sample store and the capture file: rows only while recording, the file
// complete after every row, never recreated once deleted.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "../test_files.h"
#include "core/base/pressure_units.h"
#include "core/monitoring/capture_reader.h"
#include "core/monitoring/capture_row.h"
#include "core/monitoring/chart_points.h"
#include "core/monitoring/graph_recording.h"
#include "core/monitoring/live_display.h"
#include "samples.h"

namespace vrx4 {
namespace {

using namespace testing;  // makeSample, readFile, writeFile, TempDir

LiveDisplayInput input(float p2Millibar, std::uint8_t unit, std::uint32_t mode) {
  LiveDisplayInput in;
  in.m.m_value[3] = p2Millibar;
  in.pressureUnit = unit;
  in.pressureFactor = pressureFactor(unit);
  in.accessMode = mode;
  return in;
}

TEST(LiveDisplay, PressureByUnitAndMode) {
  for (auto [u, mode, text] : {std::tuple{unit::kPsi, 2u, "87"}, {unit::kBar, 1u, "6.0"}, {unit::kBar, 4u, "6.000"},
                               {unit::kKpa, 3u, "600"}, {unit::kMpa, 0u, "0.60"}})
    EXPECT_EQ(computeLiveDisplay(input(6000, u, mode)).p2, text);

  // The other values: "%2.1f" below mode 4, "%.3f" in it; the CONTROL page
  // shows three decimals in every setting mode.
  LiveDisplayInput in = input(0, unit::kBar, 2);
  in.m.m_value = {2000, 5000, 24030, 0, 4999, 12000};
  LiveDisplay d = computeLiveDisplay(in);
  EXPECT_EQ((std::array{d.auxin, d.ctrl, d.ctrlPage, d.supply, d.uout, d.iout}),
            (std::array<std::string, 6>{"2.0", "5.0", "5.000", "24.0", "5.0", "12.0"}));
  in.accessMode = 4;
  d = computeLiveDisplay(in);
  EXPECT_EQ((std::array{d.supply, d.uout}), (std::array<std::string, 2>{"24.030", "4.999"}));
  in.accessMode = 1;
  EXPECT_EQ(computeLiveDisplay(in).ctrlPage, "5.0");
  // (Whatever the user's locale: the number format's test.)
}

TEST(LiveDisplay, ErrorStatusBitsAndForcedControl) {
  // Voltage command, gain 1024/1024 bar per volt, no offset: 5 V asks for
  // 5 bar, P2 is 4.8 bar.
  LiveDisplayInput in = input(4800, unit::kBar, 2);
  in.m.m_value[1] = 5000;
  in.scaling.voltGain = 1024;
  EXPECT_EQ(computeLiveDisplay(in).error, "0.2");
  std::tie(in.pressureUnit, in.pressureFactor) = std::pair(unit::kPsi, pressureFactor(unit::kPsi));
  EXPECT_EQ(computeLiveDisplay(in).error, "3");
  // A current input uses the current pair.
  in = input(4800, unit::kBar, 4);
  in.m.m_value[1] = 12000;
  in.m.m_statusBit4 = 1;
  in.scaling.ampGain = 512, in.scaling.ampOffset = -1000;  // 0.5 bar per mA, -1 bar
  EXPECT_EQ(computeLiveDisplay(in).error, "0.200");

  // Forced CONTROL on the LIVE page: the device reports the set-point in
  // millibar; shown again in volts (or mA) through the test unit's pair.
  in = input(0, unit::kBar, 4);
  in.ctrlForcedOnLivePage = true;
  in.m.m_value[1] = 5500;
  in.scaling.voltGain = 1024, in.scaling.voltOffset = 500;
  EXPECT_EQ(computeLiveDisplay(in).ctrl, "5.000");
  in.testCtrlUnit = 1;
  in.scaling.ampGain = 256, in.scaling.ampOffset = 0;  // 0.25 bar per mA
  EXPECT_EQ(computeLiveDisplay(in).ctrl, "22.000");
  // The error is then set-point minus P2 directly.
  in.m.m_value[3] = 5000;
  EXPECT_EQ(computeLiveDisplay(in).error, "0.500");
  // A gain of 0 cannot be undone: the reported value, never inf or nan.
  in.scaling.ampGain = 0;
  EXPECT_EQ(computeLiveDisplay(in).ctrl, "5.500");
  EXPECT_TRUE(std::isfinite(controlValue(in)));

  // Status bits: the alarm state reads 0 = ON when the output is on.
  in = input(0, unit::kBar, 1);
  in.m.m_statusBit0 = in.m.m_statusBit2 = in.m.m_statusBit3 = 1;
  const LiveDisplay d = computeLiveDisplay(in);
  EXPECT_EQ((std::array{d.alarmState, d.p2Source, d.auxinUnit, d.ctrlUnit}), (std::array{0, 1, 1, 0}));
  in.m.m_statusBit0 = 0;
  EXPECT_EQ(computeLiveDisplay(in).alarmState, 1);
}

GraphSample sample(double time) {
  LiveMeasurement m;
  m.m_value = {2000, 5000, 24030, 6000, 5000, 12000};
  m.m_status = 0x81;
  m.m_statusBit0 = 1;
  return sampleFrom(m, static_cast<std::uint32_t>(time * 1000));
}

// The header replaces what was there; rows with "." decimals; a row the disk cannot take counted and cut off again; a file
// that went away not recreated; a new file counts again.
TEST(CaptureFile, HeaderRowsARowThatCannotBeWrittenAndAFileThatWentAway) {
  const testing::TempDir dir;
  CCaptureFile f;
  f.m_strPath = dir.file("run.csv");
  std::ofstream(f.m_strPath) << "old contents that must go\n";
  ASSERT_TRUE(f.Create(capture::kHeader));
  const std::string header = "Time;CTRL;AUXin;P2;24VDC;Uout;Iout;Alarm;Flag;Punit\r\n";
  EXPECT_EQ(readFile(f.m_strPath), header);

  // (A point decimal whatever the locale: the number format's test.)
  ASSERT_TRUE(f.WriteRow(sample(1.5), 14.5038f, 1));
  ASSERT_TRUE(f.WriteRow(sample(1.6), 1.0f, 0));
  const std::string rows = header +
                           "1.500;5.000;2.000;87.023;24.030;5.000;12.000;1;-127;PSI;\r\n"
                           "1.600;5.000;2.000;6.000;24.030;5.000;12.000;1;-127;bar;\r\n";
  EXPECT_EQ(readFile(f.m_strPath), rows);

  // A file size limit ten bytes past the rows stands for a disk that fills
  // up in the middle of a row: the part that went in is cut off.
  struct rlimit saved_limit {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved_limit), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved_limit;
  small.rlim_cur = rows.size() + 10;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_FALSE(f.WriteRow(sample(1.9), 1.0f, 0));
  setrlimit(RLIMIT_FSIZE, &saved_limit);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(readFile(f.m_strPath), rows);
  EXPECT_TRUE(f.WriteRow(sample(2.0), 1.0f, 0));
  EXPECT_EQ(readFile(f.m_strPath), rows + capture::row(sample(2.0), 1.0f, 0) + "\r\n");

  std::filesystem::remove(f.m_strPath);
  EXPECT_FALSE(f.WriteRow(sample(2.1), 1.0f, 0));
  EXPECT_FALSE(std::filesystem::exists(f.m_strPath));
  EXPECT_EQ(std::pair(f.m_rowsWritten, f.m_rowsLost), (std::pair<std::uint64_t, std::uint64_t>(3, 2)));

  CCaptureFile full;  // a device that takes nothing
  full.m_strPath = "/dev/full";
  EXPECT_FALSE(full.Create(capture::kHeader));
  EXPECT_FALSE(full.WriteRow(sample(1.0), 1.0f, 0));
  EXPECT_EQ(full.m_rowsLost, 1u);
  ASSERT_TRUE(f.Create(capture::kHeader));
  EXPECT_EQ(f.m_rowsLost, 0u) << "a new file counts again";
}

TEST(CaptureFile, RecordingStoresWhileRunningWritesWhileCapturingAndRefreshesOnceASecond) {
  const testing::TempDir dir;
  GraphRecording g;
  g.g_captureFile.m_strPath = dir.file("run.csv");
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
  EXPECT_EQ(std::pair(g.m_store.Count(), g.g_captureFile.m_rowsWritten), (std::pair<std::size_t, std::uint64_t>(30, 10)));

  // The same sample posted twice is taken once; one stamped later than the
  // clock since the restart was measured before the restart.
  EXPECT_FALSE(g.record(sample(3.0), 3000, 3100, 1.0f, 0).stored);
  EXPECT_FALSE(g.record(sample(9.0), 9000, 3100, 1.0f, 0).stored);
  EXPECT_EQ(std::pair(g.m_store.Count(), g.g_captureFile.m_rowsWritten), (std::pair<std::size_t, std::uint64_t>(30, 10)));

  g.clear();
  EXPECT_EQ(g.m_store.Count(), 0u);
  EXPECT_FALSE(g.record(sample(0.5), 500, 600, 1.0f, 0).refreshDue);
  EXPECT_TRUE(g.record(sample(1.0), 1000, 1100, 1.0f, 0).refreshDue);
}

TEST(GraphRecording, SaysOnceWhenTheOldestSamplesBeginToLeaveAndTimesGoOnAcrossARestart) {
  GraphRecording g;
  g.g_graphRunning = true;
  const std::size_t cap = g.m_store.capacity();
  int told = 0;
  for (std::uint32_t i = 1; i <= cap + 3; ++i) told += g.record(sample(i * 0.1), i * 100, i * 100, 1.0f, 0).oldestLeft;
  EXPECT_EQ(told, 1);
  EXPECT_EQ(std::pair(g.m_store.Count(), g.m_store.droppedOldest()), (std::pair<std::size_t, std::size_t>(cap, 3)));

  // Times go on across a restart of the link.
  GraphRecording r;
  r.g_graphRunning = true;
  r.m_startTick = 50000;  // RE-START; the link's clock starts there too
  EXPECT_TRUE(r.record(makeSample(2.0, 1), r.sampleMs(50000, 2000), 2010, 1.0f, 0).stored);
  // The link restarted at tick 54000: its clock starts again at 0.
  const std::uint32_t ms = r.sampleMs(54000, 150);
  EXPECT_EQ(ms, 4150u);
  EXPECT_TRUE(r.record(makeSample(ms / 1000.0, 2), ms, 4160, 1.0f, 0).stored);
  r.m_store.read([](const SampleView& v) { EXPECT_TRUE(v.breakBefore(1)); });
}

// Capture files read back into the sample store: damaged rows counted
// with their lines, units converted, gaps and restarts kept; foreign files
// and FIFOs refused without touching the store; a night too long for the
// store thinned, not cut. (Both writers' files read back as written: the
// GRAPH page's and vrx4ctl's tests.)
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
  // Rows, rows in another unit, restarts, the first restart's line, gaps.
  EXPECT_EQ((std::array{o.rows, o.otherUnitRows, o.timeRestarts, o.firstRestartLine, o.gaps}),
            (std::array<std::uint64_t, 5>{6, 1, 1, 11, 2}));
  store.read([&](const SampleView& v) {
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(chart::readoutValue(kChP2, v.value(kChP2, 1), {}), "2.000 bar");
    for (std::size_t i = 1; i < 6; ++i) EXPECT_EQ(v.breakBefore(i), i == 3 || i == 4) << i;
    EXPECT_GT(v.time(4), v.time(3) + chart::gapAfter(0.1));  // the second part follows the first
    EXPECT_NEAR(v.time(5) - v.time(4), 0.1, 1e-9);
  });
}

TEST(CaptureReader, ForeignFilesAndFifosAreRefusedLeavingTheStoreAsItWas) {
  testing::TempDir dir;
  const std::string h = std::string(capture::kHeader) + "\r\n";
  writeFile(dir.file("empty.csv"), "");
  writeFile(dir.file("header.csv"), h);
  writeFile(dir.file("binary.csv"), std::string("\x7f" "ELF\0\0\x01\n", 8) + std::string(100000, '\0') + h);
  ASSERT_EQ(::mkfifo(dir.file("pipe.csv").c_str(), 0600), 0);

  CSampleStore store;
  store.Append(makeSample(1.0, 3.0f));
  using enum capture::ReadStatus;
  for (auto [name, status] : {std::pair{"empty.csv", NotCapture}, {"header.csv", NoRows}, {"binary.csv", NotCapture},
                              {"pipe.csv", CannotOpen}, {"missing.csv", CannotOpen}, {"", CannotOpen}}) {
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(capture::readCapture(dir.file(name), store).status, status) << name;
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1)) << name;
    EXPECT_EQ(store.Count(), 1u) << name;
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
  EXPECT_EQ((std::array<std::uint64_t, 4>{o.rows, o.samples, store.droppedOldest(), o.gaps}),
            (std::array<std::uint64_t, 4>{4900, store.Count(), 0, 1}));
  EXPECT_GT(o.rowsPerPair, 1u);
  EXPECT_LE(store.Count(), 1000u);
  store.read([&](const SampleView& v) {
    EXPECT_EQ(v.time(0), 0.0);
    EXPECT_NEAR(v.time(v.size() - 1), 499.9, 1e-9);
    const ChannelRange all = v.range(0, v.size());
    EXPECT_EQ((std::array{all.high[kChCtrl], all.low[kChCtrl], all.high[kChAlarm]}), (std::array{9.5f, 0.5f, 1.0f}));
    // The spike at 10 s is where it was, and the silence stays a gap.
    const std::size_t at = v.firstAtOrAfter(9.95) - 1;
    EXPECT_TRUE(v.value(kChCtrl, at) == 9.5f || v.value(kChCtrl, at + 1) == 9.5f);
    const std::size_t after = v.firstAtOrAfter(305.0);
    EXPECT_NEAR(v.time(after), 310.0, 1e-9);
    for (std::size_t i = 1; i < v.size(); ++i) EXPECT_EQ(v.breakBefore(i), i == after) << i;
  });
}

}  // namespace
}  // namespace vrx4
