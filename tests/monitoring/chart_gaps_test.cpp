// Gaps break the chart's curves and strokes; the cursor picks the sample a
// pixel column stands for and writes it in the chart's units; a recording's
// times go on across a restart of the link.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/monitoring/chart_points.h"
#include "core/monitoring/graph_recording.h"

namespace vrx4 {
namespace {

using namespace chart;

GraphSample at(double time, float ctrl) {
  GraphSample s;
  s.time = time;
  s.ctrl = ctrl;
  return s;
}

// Samples every 0.1 s from `from` to `to` through the recording, which
// decides the gaps as the page does.
void feed(GraphRecording& g, double from, double to, float ctrl) {
  for (auto ms = static_cast<std::uint32_t>(std::lround(from * 1000)); ms <= std::lround(to * 1000); ms += 100)
    ASSERT_TRUE(g.record(at(ms / 1000.0, ctrl), ms, ms, 1.0f, 0).stored);
}

TEST(ChartGaps, GapsBreakCurvesInTheChartsArithmetic) {
  EXPECT_FALSE(isGap(1.0, 1.5, 0.1)) << "one reply lost and asked for again";
  EXPECT_TRUE(isGap(1.0, 1.6, 0.1));
  EXPECT_FALSE(isGap(1.0, 1.04, 0.01)) << "samples at the link's own pace";

  // CTRL at 5 until a 6 s outage, then at 15: no line from 5 to 15.
  GraphRecording g;
  g.g_graphRunning = true;
  feed(g, 0.1, 10.0, 5.0f);
  feed(g, 16.0, 20.0, 15.0f);
  const ChannelScales scales = channelScales(0, 0, 0);
  auto p = std::make_unique<ChartPoints>();
  g.m_store.read([&](const SampleView& v) { rebuildPoints(v, {0, 539, pxPerSecond(5.0f), 390}, scales, *p); });
  for (int k = 1; k < p->m_nPoints; ++k)
    EXPECT_EQ(p->m_break[k], p->m_x[k] == 30 + 115 ? 1 : 0) << "16.0 s at 7.2 px/s is column 115";

  // At 60 s per division a column spans 1.67 s: a 1 s outage at 12 s lies
  // inside column 7. Its samples before and after the gap are two points
  // and neither stroke spans the gap.
  g.clear();
  feed(g, 0.1, 12.0, 5.0f);
  feed(g, 13.0, 14.0, 15.0f);
  g.m_store.read([&](const SampleView& v) { rebuildPoints(v, {0, 539, pxPerSecond(60.0f), 390}, scales, *p); });
  ASSERT_EQ(p->m_nPoints, 10);
  EXPECT_EQ(p->m_x[8], 37);
  EXPECT_EQ(p->m_yTop[kChCtrl][7], 390 - 175);
  EXPECT_EQ(p->m_yBottom[kChCtrl][7], 390 - 175);
  EXPECT_EQ(p->m_break[8], 1);
  EXPECT_EQ(p->m_yTop[kChCtrl][8], 390 - 525);
  EXPECT_EQ(p->m_yBottom[kChCtrl][8], 390 - 525);

  // Three gaps in one column: at most three points; a sample alone between
  // gaps is joined to nothing (a dot). Breaks leave with the oldest samples.
  CSampleStore s(4);
  for (int i = 0; i < 6; ++i) s.Append(at(i * 0.2, static_cast<float>(i)), i != 2);
  s.read([&](const SampleView& v) {
    EXPECT_FALSE(v.breakBefore(0));
    EXPECT_EQ(v.nextBreak(1, 4), 2u);
    rebuildPoints(v, {0, 539, pxPerSecond(60.0f), 390}, scales, *p);
  });
  ASSERT_EQ(p->m_nPoints, 3);
  EXPECT_EQ(p->m_samples[1], 2u);
  EXPECT_TRUE(isolated(*p, 0));
  EXPECT_TRUE(isolated(*p, 2));
}

TEST(ChartCursor, TheCursorPicksTheRightSampleAndText) {
  GraphRecording g;
  g.g_graphRunning = true;
  for (std::uint32_t i = 0; i <= 100; ++i) g.record(at(i * 0.1, static_cast<float>(i)), i * 100, i * 100, 1.0f, 0);
  feed(g, 16.0, 20.0, 1.0f);
  const ChannelScales scales = channelScales(1, 0, 0);
  g.m_store.read([&](const SampleView& v) {
    // 7.2 px/s: column 7 holds 1.0 s and 1.1 s; its point is from 1.0 s.
    const ChartWindow w{0, 539, pxPerSecond(5.0f), 390};
    CursorReadout r = cursorReadout(v, w, scales, {1, 0, 0}, 7);
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.time, "1.000 s");
    EXPECT_EQ(r.value[kChCtrl], "10.000 mA");
    EXPECT_EQ(r.y[kChCtrl], 390 - 116) << "10 mA on the right scale";
    // Inside the outage, and past the last sample: nothing to read.
    r = cursorReadout(v, w, scales, {}, 90);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.time, "12.500 s");
    EXPECT_EQ(r.value[kChCtrl], "---");
    EXPECT_EQ(sampleAtColumn(v, w, 300), v.size());
    // Zoomed in, samples are 240 columns apart: a column between two
    // stands for the nearer one.
    const ChartWindow zoom{240, 779, pxPerSecond(0.015f), 390};
    EXPECT_EQ(sampleAtColumn(v, zoom, 119), 1u);
    EXPECT_EQ(sampleAtColumn(v, zoom, 121), 2u);
  });
  EXPECT_EQ(readoutValue(kChP2, 4.8f, {0, 0, 1}), "69.62 PSI");
  EXPECT_EQ(readoutValue(kChP2, 4.8f, {0, 0, 3}), "0.4800 MPa");
  EXPECT_EQ(readoutValue(kChAlarm, 1.0f, {}), "ON");
}

TEST(GraphRecording, TimesGoOnAcrossARestartOfTheLink) {
  GraphRecording g;
  g.g_graphRunning = true;
  g.m_startTick = 50000;  // RE-START; the link's clock starts there too
  EXPECT_TRUE(g.record(at(2.0, 1), g.sampleMs(50000, 2000), 2010, 1.0f, 0).stored);
  // The link restarted at tick 54000: its clock starts again at 0.
  const std::uint32_t ms = g.sampleMs(54000, 150);
  EXPECT_EQ(ms, 4150u);
  EXPECT_TRUE(g.record(at(ms / 1000.0, 2), ms, 4160, 1.0f, 0).stored);
  g.m_store.read([](const SampleView& v) { EXPECT_TRUE(v.breakBefore(1)); });
}

}  // namespace
}  // namespace vrx4
