// Gaps in a recording and the chart's cursor: no line or min/max stroke
// across a gap, the sample a pixel column stands for and the readout's
// texts, the cursor that stays under the pointer while the chart scrolls,
// a recording whose times go on across a restart of the link, and the
// capture's status texts.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/monitoring/capture_status.h"
#include "core/monitoring/chart_points.h"
#include "core/monitoring/chart_viewport.h"
#include "core/monitoring/graph_recording.h"

namespace vrx4 {
namespace {

using namespace chart;

GraphSample at(double time, float ctrl) {
  GraphSample s;
  s.time = time;
  s.ctrl = ctrl;
  s.p2 = ctrl / 2;
  s.uout = ctrl / 2;
  return s;
}

// Feeds samples every 0.1 s from `from` to `to` (inclusive) through the
// recording, which decides the gaps as the page does.
void feed(GraphRecording& g, double from, double to, float ctrl) {
  for (double t = from; t <= to + 1e-9; t += 0.1) {
    const auto ms = static_cast<std::uint32_t>(std::lround(t * 1000));
    ASSERT_TRUE(g.record(at(ms / 1000.0, ctrl), ms, ms, 1.0f, 0).stored) << t;
  }
}

TEST(ChartGaps, GapsBreakCurvesInTheChartsArithmetic) {
  EXPECT_FALSE(isGap(1.0, 1.5, 0.1)) << "a reply lost and asked for again";
  EXPECT_TRUE(isGap(1.0, 1.6, 0.1));
  EXPECT_FALSE(isGap(1.0, 1.04, 0.01)) << "samples at the link's own pace";
  EXPECT_FALSE(isGap(1.0, 5.0, 1.5));

  // CTRL at 5 until a 6 s outage, then at 15: no line from 5 to 15.
  GraphRecording g;
  g.g_graphRunning = true;
  feed(g, 0.1, 10.0, 5.0f);
  feed(g, 16.0, 20.0, 15.0f);
  const ChannelScales scales = channelScales(0, 0, 0);
  auto p = std::make_unique<ChartPoints>();
  g.m_store.read([&](const SampleView& v) {
    rebuildPoints(v, {0, 539, pxPerSecond(5.0f), 390}, scales, *p);
    int breaks = 0;
    for (int k = 0; k < p->m_nPoints; ++k) {
      if (p->m_break[k] == 0) continue;
      ++breaks;
      EXPECT_EQ(p->m_x[k], 30 + 115) << "16.0 s at 7.2 px/s";
      EXPECT_EQ(p->m_y[kChCtrl][k], 390 - 15 * 35);
      EXPECT_EQ(p->m_y[kChCtrl][k - 1], 390 - 5 * 35);
    }
    EXPECT_EQ(breaks, 1);
  });

  // At 60 s per division a column spans 1.67 s: a 1 s outage at 12 s lies
  // inside column 7 (11.67..13.33 s). Its samples before the gap and those
  // after it are two points; neither stroke spans the gap.
  g.clear();
  feed(g, 0.1, 12.0, 5.0f);
  feed(g, 13.0, 14.0, 15.0f);
  g.m_store.read([&](const SampleView& v) {
    rebuildPoints(v, {0, 539, pxPerSecond(60.0f), 390}, scales, *p);
    ASSERT_EQ(p->m_nPoints, 10);  // columns 0..8, column 7 twice
    EXPECT_EQ(p->m_x[7], 37);
    EXPECT_EQ(p->m_x[8], 37);
    EXPECT_EQ(p->m_break[7], 0);
    EXPECT_EQ(p->m_yTop[kChCtrl][7], 390 - 175);
    EXPECT_EQ(p->m_yBottom[kChCtrl][7], 390 - 175);
    EXPECT_EQ(p->m_break[8], 1);
    EXPECT_EQ(p->m_yTop[kChCtrl][8], 390 - 525);
    EXPECT_EQ(p->m_yBottom[kChCtrl][8], 390 - 525);
    EXPECT_EQ(p->m_samples[7] + p->m_samples[8], 4u + 4u);  // 11.7..12.0 and 13.0..13.3
    EXPECT_FALSE(isolated(*p, 8));
  });

  // One sample between two gaps in one column: a point of its own, joined
  // to nothing, drawn as a dot. Three gaps: the samples between the first
  // and the last one make one point, so a column never takes more than
  // three.
  CSampleStore s;
  s.Append(at(0.0, 1));
  s.Append(at(0.5, 2), true);
  s.Append(at(1.0, 3), true);
  s.Append(at(1.2, 4), true);
  s.Append(at(1.4, 5), true);
  s.read([&](const SampleView& v) {
    rebuildPoints(v, {0, 539, pxPerSecond(60.0f), 390}, scales, *p);
    ASSERT_EQ(p->m_nPoints, 3);
    EXPECT_EQ(p->m_samples[1], 3u);
    EXPECT_TRUE(isolated(*p, 1));
    EXPECT_EQ(p->m_yTop[kChCtrl][1], 390 - 4 * 35);
    EXPECT_EQ(p->m_yBottom[kChCtrl][1], 390 - 2 * 35);
    EXPECT_TRUE(isolated(*p, 2));
  });

  // Breaks leave with the samples before them.
  CSampleStore small(10);
  for (int i = 0; i < 15; ++i) small.Append(at(i, 0), i == 3 || i == 12);
  small.read([](const SampleView& v) {
    EXPECT_TRUE(v.breakBefore(7));
    EXPECT_EQ(v.nextBreak(0, 10), 7u);
    EXPECT_EQ(v.nextBreak(7, 10), 10u);
    EXPECT_EQ(v.lastBreak(0, 7), 0u);
    EXPECT_FALSE(v.breakBefore(0));
  });
}

TEST(ChartCursor, TheCursorPicksTheRightSampleAndText) {
  GraphRecording g;
  g.g_graphRunning = true;
  for (int i = 0; i <= 100; ++i) g.record(at(i * 0.1, static_cast<float>(i)), i * 100, i * 100, 1.0f, 0);
  feed(g, 16.0, 20.0, 1.0f);
  const ChannelScales scales = channelScales(0, 0, 0);
  const ReadoutUnits volts{};
  g.m_store.read([&](const SampleView& v) {
    // 7.2 px/s: column 7 holds 1.0 s and 1.1 s; its point, and the
    // readout, are from 1.0 s.
    const ChartWindow w{0, 539, pxPerSecond(5.0f), 390};
    CursorReadout r = cursorReadout(v, w, scales, volts, 7);
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.time, "1.000 s");
    EXPECT_EQ(r.value[kChCtrl], "10.000 V");
    EXPECT_EQ(r.y[kChCtrl], 390 - 350);
    EXPECT_EQ(r.x, 37);
    // Inside the outage (column 90 = 12.5 s), and past the last sample.
    r = cursorReadout(v, w, scales, volts, 90);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.time, "12.500 s");
    EXPECT_EQ(r.value[kChP2], "---");
    EXPECT_EQ(sampleAtColumn(v, w, 300), v.size());

    // Zoomed in (2400 px/s), samples are 240 columns apart: a column
    // between two stands for the nearer one.
    const ChartWindow zoom{240, 779, pxPerSecond(0.015f), 390};
    EXPECT_EQ(sampleAtColumn(v, zoom, 0), 1u);
    EXPECT_EQ(sampleAtColumn(v, zoom, 119), 1u);
    EXPECT_EQ(sampleAtColumn(v, zoom, 121), 2u);
    EXPECT_EQ(sampleAtColumn(v, zoom, 240), 2u);
  });

  // Values in the chart's units.
  EXPECT_EQ(readoutValue(kChCtrl, 12.5f, {1, 0, 0}), "12.500 mA");
  EXPECT_EQ(readoutValue(kChAuxin, 2.0f, {1, 0, 0}), "2.000 V");
  EXPECT_EQ(readoutValue(kChP2, 4.8f, {0, 0, 0}), "4.800 bar");
  EXPECT_EQ(readoutValue(kChP2, 4.8f, {0, 0, 1}), "69.62 PSI");
  EXPECT_EQ(readoutValue(kChP2, 4.8f, {0, 0, 2}), "480.0 kPa");
  EXPECT_EQ(readoutValue(kChP2, 4.8f, {0, 0, 3}), "0.4800 MPa");
  EXPECT_EQ(readoutValue(kChVdc24, 24.1f, {}), "24.100 V");
  EXPECT_EQ(readoutValue(kChIout, 7.68f, {}), "7.680 mA");
  EXPECT_EQ(readoutValue(kChAlarm, 1.0f, {}), "ON");
  EXPECT_EQ(readoutValue(kChAlarm, 0.0f, {}), "OFF");
}

TEST(ChartCursor, StaysUnderThePointerWhileTheChartScrolls) {
  ChartViewport v;
  v.setSecondsPerDivision(5.0f);
  v.refresh(true, 100.0, 0);  // following: left at 720 - 539
  v.pointAt(30 + 200);
  EXPECT_TRUE(v.m_cursorShown);
  EXPECT_EQ(v.cursorColumn(), 200);
  v.refresh(true, 110.0, 0);  // the data moved on under the pointer
  EXPECT_EQ(v.cursorColumn(), 200);
  EXPECT_NEAR(v.m_cursor, v.m_viewLeft + 200, 1e-9);
  v.scrollTo(0);
  EXPECT_EQ(v.m_cursor, 200);
  v.pointAt(5);  // left of the plot: its first column
  EXPECT_EQ(v.cursorColumn(), 0);
  v.pointerLeft();
  EXPECT_FALSE(v.m_cursorShown);
  v.scrollTo(1e9);
  v.refresh(true, 120.0, 0);
  EXPECT_EQ(v.m_cursor, v.m_viewRight) << "not shown: the cursor follows the data again";
}

TEST(GraphRecording, TimesGoOnAcrossARestartOfTheLink) {
  GraphRecording g;
  g.g_graphRunning = true;
  g.m_startTick = 50000;  // RE-START; the link's clock starts there too
  std::uint32_t ms = g.sampleMs(50000, 2000);
  EXPECT_EQ(ms, 2000u);
  EXPECT_TRUE(g.record(at(ms / 1000.0, 1), ms, 2010, 1.0f, 0).stored);
  // The link is restarted at tick 54000; its clock starts again at 0.
  ms = g.sampleMs(54000, 150);
  EXPECT_EQ(ms, 4150u);
  EXPECT_TRUE(g.record(at(ms / 1000.0, 2), ms, 4160, 1.0f, 0).stored);
  g.m_store.read([](const SampleView& v) {
    EXPECT_DOUBLE_EQ(v.time(1), 4.15);
    EXPECT_TRUE(v.breakBefore(1)) << "2.15 s without a sample";
  });
}

TEST(CaptureStatus, ClockTextsAndSummary) {
  capture::CaptureClock clock;
  EXPECT_EQ(clock.elapsedMs(1000), 0u);
  clock.run(1000);
  EXPECT_EQ(clock.elapsedMs(4500), 3500u);
  clock.pause(5000);
  EXPECT_EQ(clock.elapsedMs(9000), 4000u) << "a pause stops the clock";
  clock.run(10000);
  EXPECT_EQ(clock.elapsedMs(11000), 5000u);
  EXPECT_TRUE(clock.started());
  clock.reset();
  EXPECT_FALSE(clock.started());

  EXPECT_EQ(capture::elapsedText(0), "0:00:00");
  EXPECT_EQ(capture::elapsedText(3723999), "1:02:03");
  EXPECT_EQ(capture::elapsedText(100 * 3600000ull), "100:00:00");
  EXPECT_EQ(capture::fill("Capture ended: %d rows written, %d rows lost, file %s", {"12", "0", "/tmp/a %d.csv"}),
            "Capture ended: 12 rows written, 0 rows lost, file /tmp/a %d.csv");
  EXPECT_EQ(capture::fill("100% %d %s", {"1"}), "100% 1 %s");
  const capture::StatusTexts texts{"Ready", "Recording", "Paused", "%d rows written"};
  EXPECT_EQ(capture::statusLine(texts, capture::CaptureState::Paused, 65000, 640), "Paused   0:01:05   640 rows written");
}

}  // namespace
}  // namespace vrx4
