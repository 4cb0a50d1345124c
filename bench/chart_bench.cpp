// The graph's costs against the length of the recording: rebuilding the
// chart's points for store sizes of 10^3 to 10^6 samples at the default
// time base (the newest 540 pixels at 5 s/div) and at a time base that
// shows the whole store, painting a full chart (seven channels) on the
// offscreen platform, the memory a sample costs, and capture rows written
// to a file per second. Prints figures; asserts nothing.
//
//   chart_bench [capture-folder]   (default: the current folder)
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/monitoring/capture_row.h"
#include "core/monitoring/chart_points.h"
#include "core/monitoring/graph_recording.h"
#include "core/monitoring/sample_store.h"
#include "gui/monitoring/trend_chart.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace vrx4;

double microseconds(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

std::string loadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string a, b, c;
  in >> a >> b >> c;
  return a + " " + b + " " + c;
}

long residentKiB() {
  std::ifstream in("/proc/self/status");
  std::string key;
  long value = 0;
  while (in >> key) {
    if (key == "VmRSS:") {
      in >> value;
      return value;
    }
    in.ignore(1 << 20, '\n');
  }
  return 0;
}

GraphSample sampleAt(std::size_t i) {
  const double t = 0.1 * static_cast<double>(i + 1);
  GraphSample s;
  s.time = t;
  s.ctrl = static_cast<float>(5 + 2.5 * std::sin(t / 5));
  s.auxin = 2.0f;
  s.p2 = static_cast<float>(5 + 2.5 * std::sin(t / 5 - 0.3));
  s.vdc24 = static_cast<float>(24 + 0.05 * std::sin(t * 7));
  s.uout = s.p2;
  s.iout = 4 + 1.6f * s.p2;
  s.alarm = i % 9973 == 0 ? 1 : 0;
  return s;
}

void fill(CSampleStore& store, std::size_t n) {
  for (std::size_t i = store.Count(); i < n; ++i) store.Append(sampleAt(i));
}

// Median time of one rebuild of the window [left, left + 539].
double rebuildMicros(const CSampleStore& store, float secondsPerDivision, bool wholeStore, chart::ChartPoints& pts,
                     int& points) {
  const float pps = chart::pxPerSecond(secondsPerDivision);
  const double total = pps * store.maxTime();
  const double left = wholeStore ? 0 : std::max(0.0, total - 539);
  const chart::ChannelScales scales = chart::channelScales(0, 0, 1);
  std::vector<double> runs;
  for (int r = 0; r < 41; ++r) {
    const auto t0 = Clock::now();
    store.read([&](const SampleView& v) { chart::rebuildPoints(v, {left, left + 539, pps, 390}, scales, pts); });
    runs.push_back(microseconds(Clock::now() - t0));
  }
  points = pts.m_nPoints;
  std::sort(runs.begin(), runs.end());
  return runs[runs.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string folder = argc > 1 ? argv[1] : ".";
  std::printf("chart_bench: load average at start %s\n", loadAverage().c_str());
  std::printf("\nSample store: %.2f bytes per sample (chunks of 4096 with min/max summaries)\n",
              CSampleStore::kBytesPerSample);

  auto pts = std::make_unique<chart::ChartPoints>();
  CSampleStore store(1000000);
  const long rssBefore = residentKiB();
  std::printf("\nRebuild of the points (median of 41), samples every 0.1 s:\n");
  std::printf("  %9s  %22s  %32s\n", "samples", "5 s/div, newest 540 px", "whole store in 540 px");
  for (std::size_t n : {1000u, 10000u, 100000u, 1000000u}) {
    const std::size_t before = store.Count();
    const auto t0 = Clock::now();
    fill(store, n);
    const double appendUs = microseconds(Clock::now() - t0);
    int pointsDefault = 0, pointsWhole = 0;
    const double recent = rebuildMicros(store, 5.0f, false, *pts, pointsDefault);
    const float wholeDivision = static_cast<float>(store.maxTime() / 15.0 * 1.001);
    const double whole = rebuildMicros(store, wholeDivision, true, *pts, pointsWhole);
    std::printf("  %9zu  %10.1f us %3d points  %10.1f us %3d points (%.0f s/div)   [appends %.3f us each]\n", n,
                recent, pointsDefault, whole, pointsWhole, wholeDivision,
                appendUs / static_cast<double>(n - before));
  }
  const double grownKiB = static_cast<double>(residentKiB() - rssBefore);
  std::printf("  resident memory for 10^6 samples: %.1f MB (%.1f bytes per sample)\n", grownKiB / 1024.0,
              grownKiB * 1024.0 / 1e6);

  // Paint of a full chart: seven channels over 10^6 samples at the whole
  // store's time base (every column a stroke) and at 5 s/div.
  CTrendChart chartWidget(nullptr);
  chartWidget.setContext([] { return ChartContext{0, 0, 1, 0}; });
  for (int c = 0; c < kChannelCount; ++c) chartWidget.setShow(c, true);
  chartWidget.Create(&store, QRect(0, 0, 610, 440), CTrendChart::kId);
  QImage target(610, 440, QImage::Format_RGB32);
  std::printf("\nPaint of the full chart on the offscreen platform (median of 41):\n");
  for (float division : {5.0f, static_cast<float>(store.maxTime() / 15.0 * 1.001)}) {
    chartWidget.setSecondsPerDivision(division);
    chartWidget.Refresh();
    std::vector<double> runs;
    for (int r = 0; r < 41; ++r) {
      const auto t0 = Clock::now();
      QPainter p(&target);
      chartWidget.render(&p);
      p.end();
      runs.push_back(microseconds(Clock::now() - t0));
    }
    std::sort(runs.begin(), runs.end());
    std::printf("  %8.0f s/div: %.2f ms (%d points)\n", division, runs[runs.size() / 2] / 1000.0,
                chartWidget.points().m_nPoints);
  }

  // Capture: one row per sample, the file opened, appended and closed each time.
  CCaptureFile file;
  file.m_strPath = (std::filesystem::path(folder) / "chart_bench_capture.csv").string();
  if (!file.Create(capture::kHeader)) {
    std::printf("\nCapture: cannot create %s\n", file.m_strPath.c_str());
  } else {
    constexpr int kRows = 20000;
    const auto t0 = Clock::now();
    for (int i = 0; i < kRows; ++i) file.WriteRow(sampleAt(static_cast<std::size_t>(i)), 1.0f, 0);
    const double seconds = microseconds(Clock::now() - t0) / 1e6;
    std::printf("\nCapture to %s: %.0f rows/s (%d rows, %llu lost); 0.01 s/sample needs 100 rows/s\n",
                file.m_strPath.c_str(), kRows / seconds, kRows, static_cast<unsigned long long>(file.m_rowsLost));
    std::filesystem::remove(file.m_strPath);
  }
  std::printf("\nchart_bench: load average at end %s\n", loadAverage().c_str());
  return 0;
}
