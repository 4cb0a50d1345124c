// The sample store: indexes and times across chunk boundaries, the memory
// cap, the binary searches, and the min/max summaries checked against a
// plain scan (also over samples that have left the store). The trend
// chart's arithmetic: the points of a window checked against a plain pass
// over every sample, the scales and captions, the window that
// follows the newest data or stays where the user put it, the cursor, and
// the time base rules of the graph page.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <random>
#include <vector>

#include "core/monitoring/chart_points.h"
#include "core/monitoring/chart_viewport.h"
#include "core/monitoring/graph_recording.h"
#include "core/monitoring/time_base.h"
#include "samples.h"

namespace vrx4 {
namespace {

using namespace chart;

using testing::makeSample;

ChannelRange scan(const SampleView& v, std::size_t begin, std::size_t end) {
  ChannelRange r;
  for (int c = 0; c < kChannelCount; ++c) r.low[c] = r.high[c] = v.value(c, begin);
  for (std::size_t i = begin; i < end; ++i)
    for (int c = 0; c < kChannelCount; ++c) {
      r.low[c] = std::min(r.low[c], v.value(c, i));
      r.high[c] = std::max(r.high[c], v.value(c, i));
    }
  return r;
}

TEST(SampleStore, IndexesTimesTheCapAndTheBinarySearch) {
  CSampleStore store(10000);  // not a whole number of chunks
  GraphSample s;
  EXPECT_FALSE(store.Get(1, s));
  EXPECT_FALSE(store.newest(s));
  for (int i = 0; i < 10000; ++i) store.Append(makeSample(i * 0.1, static_cast<float>(i)));
  EXPECT_EQ(store.Count(), 10000u);
  EXPECT_TRUE(store.Get(1, s) && s.ctrl == 0.0f);
  ASSERT_TRUE(store.Get(4097, s));  // the first sample of the second chunk
  EXPECT_EQ((std::array{s.ctrl, s.auxin}), (std::array{4096.0f, -4096.0f}));
  EXPECT_DOUBLE_EQ(s.time, 409.6);
  EXPECT_FALSE(store.Get(0, s) || store.Get(10001, s));

  // Full: every new sample pushes the oldest out, across chunk boundaries.
  for (int i = 10000; i < 25000; ++i) store.Append(makeSample(i * 0.1, static_cast<float>(i), static_cast<std::uint8_t>(i % 2)));
  EXPECT_EQ((std::array{store.Count(), store.droppedOldest()}), (std::array<std::size_t, 2>{10000, 15000}));
  EXPECT_TRUE(store.Get(1, s) && s.ctrl == 15000.0f);
  ASSERT_TRUE(store.newest(s));
  EXPECT_EQ(std::tuple(s.ctrl, s.alarm, s.flag), std::tuple(24999.0f, 1, -1));
  EXPECT_DOUBLE_EQ(store.maxTime(), 2499.9);

  store.DropOldest();
  EXPECT_TRUE(store.Get(1, s) && s.ctrl == 15001.0f) << s.ctrl;
  store.Clear();
  EXPECT_EQ(std::tuple(store.Count(), store.maxTime(), store.droppedOldest()), std::tuple(0u, 0.0, 0u));
  store.DropOldest();  // nothing to drop
  store.Append(makeSample(5.0, 1));
  EXPECT_EQ(store.Count(), 1u);

  // Times stay in order for the binary search.
  store.Clear();
  for (double t : {1.0, 2.0, 2.0, 2.0, 3.0}) store.Append(makeSample(t, 0));
  store.Append(makeSample(0.5, 7));  // stamped earlier than the newest: stored at 3.0
  store.read([](const SampleView& v) {
    EXPECT_EQ(std::pair(v.time(5), v.value(kChCtrl, 5)), std::pair(3.0, 7.0f));
    EXPECT_EQ((std::array{v.firstAtOrAfter(2.0), v.firstAfter(2.0), v.firstAtOrAfter(0.0), v.firstAtOrAfter(3.5),
                          v.firstAfter(3.0)}),
              (std::array<std::size_t, 5>{1, 4, 0, 6, 6}));
  });
}

TEST(SampleStore, RangesMatchAPlainScanEvenAfterSamplesLeft) {
  CSampleStore store(20000);
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> value(-5.0f, 5.0f);
  // The first samples carry extremes; once they have left, no summary may
  // still report them.
  for (int i = 0; i < 5000; ++i) store.Append(makeSample(i, 1000.0f, 1));
  for (int i = 5000; i < 25000; ++i) store.Append(makeSample(i, value(rng), i % 97 == 0 ? 1 : 0));
  store.read([&](const SampleView& v) {
    ASSERT_EQ(v.size(), 20000u);
    std::uniform_int_distribution<std::size_t> at(0, v.size() - 1);
    std::vector<std::pair<std::size_t, std::size_t>> runs = {{0, 20000}, {0, 1}, {63, 129}, {3000, 11193}, {0, 4096}};
    for (int k = 0; k < 300; ++k) {
      const auto [a, b] = std::minmax({at(rng), at(rng)});
      runs.emplace_back(a, b + 1);
    }
    for (auto [a, b] : runs) {
      const ChannelRange got = v.range(a, b), want = scan(v, a, b);
      EXPECT_EQ(std::pair(got.low, got.high), std::pair(want.low, want.high)) << a << ".." << b;
    }
    EXPECT_LT(v.range(0, v.size()).high[kChCtrl], 1000.0f);
  });
}

// The chart's rule written out plainly: every sample of the window, a new
// point whenever the pixel column changes, the column's extremes kept.
ChartPoints reference(const SampleView& v, const ChartWindow& w, const ChannelScales& sc) {
  ChartPoints out;
  const double start = w.startTime(), end = w.endTime();
  int lastX = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const double t = v.time(i);
    if ((start > 0 && t < start) || t > end) continue;
    const int x = kPlotLeft + static_cast<int>((t - start) * w.pxPerSecond);
    if (out.m_nPoints == 0 || x != lastX) {
      const int k = out.m_nPoints++;
      out.m_x[k] = lastX = x;
      out.m_samples[k] = 0;
      for (int c = 0; c < kChannelCount; ++c)
        out.m_y[c][k] = out.m_yTop[c][k] = out.m_yBottom[c][k] = plotY(v.value(c, i), sc.pxPerUnit[c], w.plotBottom);
    }
    const int k = out.m_nPoints - 1;
    ++out.m_samples[k];
    for (int c = 0; c < kChannelCount; ++c) {
      const int y = plotY(v.value(c, i), sc.pxPerUnit[c], w.plotBottom);
      out.m_yTop[c][k] = std::min(out.m_yTop[c][k], y);
      out.m_yBottom[c][k] = std::max(out.m_yBottom[c][k], y);
    }
  }
  return out;
}

void expectSame(const ChartPoints& got, const ChartPoints& want, const std::string& what) {
  ASSERT_EQ(got.m_nPoints, want.m_nPoints) << what;
  const auto n = static_cast<std::size_t>(got.m_nPoints);
  auto first = [n](const auto& a) { return std::vector<long long>(std::begin(a), std::begin(a) + static_cast<std::ptrdiff_t>(n)); };
  EXPECT_EQ((std::array{first(got.m_x), first(got.m_samples)}), (std::array{first(want.m_x), first(want.m_samples)})) << what;
  for (int c = 0; c < kChannelCount; ++c)
    EXPECT_EQ((std::array{first(got.m_y[c]), first(got.m_yTop[c]), first(got.m_yBottom[c])}),
              (std::array{first(want.m_y[c]), first(want.m_yTop[c]), first(want.m_yBottom[c])}))
        << what << " channel " << c;
}

TEST(ChartPoints, EveryWindowMatchesThePlainPassAndKeepsItsSpikes) {
  CSampleStore store;
  std::mt19937 rng(3);
  std::normal_distribution<float> noise(5.0f, 1.0f);
  double t = 0.1;
  for (int i = 0; i < 60000; ++i) {
    t += i % 1000 < 900 ? 0.1 : 0.013;  // mostly the sample period, bursts of faster samples
    store.Append(makeSample(t, noise(rng), i % 5000 == 2500 ? 1 : 0));
  }
  const ChannelScales scales = channelScales(0, 1, 1);
  auto points = std::make_unique<ChartPoints>();
  store.read([&](const SampleView& v) {
    for (float spd : {0.015f, 0.1f, 5.0f, 60.0f, 500.0f}) {
      const float pps = pxPerSecond(spd);
      const double total = pps * v.time(v.size() - 1);
      for (double left : {-10.0, 0.0, 123.4, total / 2, total - 539}) {
        const ChartWindow w{left, left + 539, pps, 390};
        rebuildPoints(v, w, scales, *points);
        expectSame(*points, reference(v, w, scales), "s/div " + std::to_string(spd) + " left " + std::to_string(left));
      }
    }
  });
}

TEST(ChartPoints, EmptyStoreSameColumnAndTheTopOfThePlot) {
  CSampleStore store;
  const ChannelScales bar = channelScales(0, 0, 0);
  auto p = std::make_unique<ChartPoints>();
  const ChartWindow w{0, 539, pxPerSecond(5.0f), 390};
  store.read([&](const SampleView& v) { rebuildPoints(v, w, bar, *p); });
  EXPECT_EQ(p->m_nPoints, 0);

  // 7.2 px/s: 0.0 s and 0.1 s share column 0; the first one gives the point.
  store.Append(makeSample(0.0, 2.0f));
  store.Append(makeSample(0.1, 4.0f, 1));
  store.Append(makeSample(1.0, 3.0f));
  store.read([&](const SampleView& v) { rebuildPoints(v, w, bar, *p); });
  ASSERT_EQ(p->m_nPoints, 2);
  EXPECT_EQ((std::array{p->m_x[0], p->m_x[1]}), (std::array{30, 37}));
  EXPECT_EQ((std::array{p->m_y[kChCtrl][0], p->m_yTop[kChCtrl][0], p->m_yBottom[kChCtrl][0]}),
            (std::array{390 - 70, 390 - 140, 390 - 70}));
  EXPECT_EQ((std::array{p->m_y[kChAlarm][0], p->m_yTop[kChAlarm][0]}), (std::array{390, 40}))
      << "an active alarm reaches the top line";

  // The high range: P2 against the right scale, 30 bar at the top.
  GraphSample high = makeSample(2.0, 0);
  high.p2 = 30.0f;
  store.Append(high);
  const ChannelScales highRange = channelScales(1, 0, 1);
  store.read([&](const SampleView& v) { rebuildPoints(v, w, highRange, *p); });
  EXPECT_EQ(p->m_y[kChP2][p->m_nPoints - 1], 40);
  EXPECT_EQ(p->m_y[kChCtrl][1], 390 - 35) << "3 mA is one division on the right scale";
  EXPECT_EQ((std::array{leftCaption(1, 0), rightCaption(1, 0), rightCaption(1, 1), leftCaption(0, 1), rightCaption(0, 3)}),
            (std::array<std::string, 5>{"[V]", "[bar; 24VDC; mA]", "[14.5038 PSI; 24VDC; mA]", "[V ; 14.5038 PSI]",
                                        "[24VDC; mA]"}));
  EXPECT_EQ((std::array{leftValueLabel(1), rightValueLabel(10), timeLabel(1, 0, pxPerSecond(5.0f)),
                         timeLabel(13, 8.2, pxPerSecond(5.0f))}),
            (std::array<std::string, 4>{" 1", "30", "5.00", "66.14"}));
}

TEST(ChartViewport, FollowsTheNewestDataUnlessTheUserScrolledBackAndTheCursorMovesItAtItsEdges) {
  ChartViewport v;
  v.setSecondsPerDivision(5.0f);  // 7.2 px/s
  v.refresh(true, 75.0, 0);  // 540 pixels: still from the left edge
  EXPECT_EQ(v.m_viewLeft, 0);
  EXPECT_NEAR(v.m_viewRight, 539, 1e-4);
  EXPECT_EQ(v.scrollMaximum(), 0);
  v.refresh(true, 76.0, 0);  // longer than 75 s: the window scrolls
  EXPECT_NEAR(v.m_viewLeft, 8.2, 1e-4);
  EXPECT_NEAR(v.m_viewRight, 547.2, 1e-4);
  EXPECT_EQ(v.m_cursor, v.m_viewRight);
  v.refresh(true, 600.0, 0);
  EXPECT_NEAR(v.scrollMaximum(), 3780, 1);  // the scroll range grows with the data
  EXPECT_EQ(v.scrollPosition(), v.scrollMaximum());

  // Scrolled back a page: new data leave the window where it is.
  EXPECT_TRUE(v.scrollTo(3780 - kScrollPage));
  v.refresh(true, 700.0, 0);
  EXPECT_EQ(v.m_viewLeft, 3780 - kScrollPage);
  EXPECT_EQ(v.m_viewRight, 3780 - kScrollPage + 539);
  EXPECT_NEAR(v.scrollMaximum(), 4500, 1);
  // A longer time base keeps the start time of the placed window.
  v.setSecondsPerDivision(10.0f);
  v.refresh(true, 700.0, 0);
  EXPECT_NEAR(v.m_viewLeft / v.m_pxPerSecond, (3780.0 - kScrollPage) / 7.2, 1e-3);
  // (Back at the end, and a click beyond the plot: the graph page's test.)
  ChartViewport fresh;
  fresh.setSecondsPerDivision(5.0f);
  fresh.refresh(true, 40.0, 0);
  fresh.click(100);
  EXPECT_EQ(fresh.m_cursor, 70) << "measured from the plot's left edge, where the cursor is drawn";

  // The oldest samples gone: the scroll range starts where the data start.
  v.refresh(true, 800.0, 100.0);
  EXPECT_NEAR(v.scrollMinimum(), 360, 1);
  v.clear();
  EXPECT_TRUE(v.m_following);
  EXPECT_EQ(v.scrollMaximum(), 0);

  // Cursor messages move the window at its edges.
  v.setSecondsPerDivision(5.0f);
  v.refresh(true, 500.0, 0);  // total 3600
  EXPECT_TRUE(v.cursorMessage(kMsgCursorTo, 1000));  // outside: centred on it
  EXPECT_EQ(v.m_viewLeft, 730);
  EXPECT_FALSE(v.cursorMessage(kMsgCursorTo, 800));  // inside: only the cursor
  EXPECT_EQ(v.m_cursor, 800);
  EXPECT_TRUE(v.cursorMessage(kMsgCursorTo, 100));
  EXPECT_EQ(v.m_viewLeft, 0);
  v.cursorMessage(kMsgCursorTo, v.m_viewRight);
  EXPECT_TRUE(v.cursorMessage(kMsgCursorRight1, 0));
  EXPECT_EQ((std::array{v.m_viewLeft, v.m_cursor}), (std::array{1.0, 540.0}));
  EXPECT_FALSE(v.cursorMessage(kMsgCursorLeft6, 0));  // not at the left edge: the cursor alone
  EXPECT_EQ(v.m_cursor, 534);
  EXPECT_TRUE(v.cursorMessage(kMsgCursorTo, 3590));  // near the end: the last window, which follows again
  EXPECT_NEAR(v.m_viewLeft, 3060, 1e-3);
  EXPECT_TRUE(v.m_following);
  EXPECT_FALSE(v.cursorMessage(kMsgCursorTo, 5000));  // beyond the data
  EXPECT_NEAR(v.m_viewLeft, 3060, 1e-3);
}

// A sample period (P) or a division (D) typed, with at most so many samples
// on the chart: the time base taken and the texts put back into the two
// fields (none: the typed text stays). The minimums are 0.01 s and 0.015
// s/div, the largest division 15000 s; 15 x 5 / 0.01 samples are too many
// for 1000. The limits themselves are taken as typed.
TEST(TimeBase, MinimumsAndTheLargestNumberOfSamples) {
  using Text = std::optional<std::string>;
  const struct {
    char field;
    const char* typed;
    std::int32_t maxPoints;
    float period, division;
    Text periodText, divisionText;
  } rows[] = {{'P', "0", 65535, 0.01f, 5, "0.01", {}},          {'P', "not a number", 65535, 0.01f, 5, "0.01", {}},
              {'P', "1e999", 65535, 0.01f, 5, "0.01", {}},      {'P', "0.5", 65535, 0.5f, 5, {}, {}},
              {'D', "0.01", 65535, 0.1f, 5, {}, "5.00"},        {'D', "1e12", 10, 22500, 15000, "22500.00", "15000.00"},
              {'P', "0.01", 1000, 0.01f, 2.0f / 3, {}, "0.67"}, {'D', "100", 1000, 1.5f, 100, "1.50", {}},
              {'D', "50", 1000, 0.76f, 50, "0.76", {}},         {'D', "6", 1000, 0.1f, 6, {}, {}},
              {'P', "0.01", 65535, 0.01f, 5, {}, {}},           {'D', "0.015", 65535, 0.1f, 0.015f, {}, {}},
              {'D', "15000", 10, 22500, 15000, "22500.00", {}}, {'P', "0.1", 750, 0.1f, 5, {}, {}}};
  for (const auto& r : rows) {
    const TimeBaseEdit e = r.field == 'P' ? editSamplePeriod(r.typed, TimeBase{}, r.maxPoints)
                                          : editSecondsPerDivision(r.typed, TimeBase{}, r.maxPoints);
    EXPECT_FLOAT_EQ(e.value.samplePeriod, r.period) << r.field << " " << r.typed;
    EXPECT_FLOAT_EQ(e.value.secondsPerDivision, r.division) << r.field << " " << r.typed;
    EXPECT_EQ(std::pair(e.samplePeriodText, e.divisionText), std::pair(r.periodText, r.divisionText)) << r.field << " " << r.typed;
  }
}

// Gaps break the chart's curves and strokes; the cursor picks the sample a
// pixel column stands for and writes it in the chart's units.
// Samples every 0.1 s from `from` to `to` through the recording, which
// decides the gaps as the page does.
void feed(GraphRecording& g, double from, double to, float ctrl) {
  for (auto ms = static_cast<std::uint32_t>(std::lround(from * 1000)); ms <= std::lround(to * 1000); ms += 100)
    ASSERT_TRUE(g.record(makeSample(ms / 1000.0, ctrl), ms, ms, 1.0f, 0).stored);
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
  EXPECT_EQ((std::array{p->m_x[8], static_cast<int>(p->m_break[8])}), (std::array{37, 1}));
  for (auto [k, y] : {std::pair{7, 390 - 175}, {8, 390 - 525}})
    EXPECT_EQ((std::array{p->m_yTop[kChCtrl][k], p->m_yBottom[kChCtrl][k]}), (std::array{y, y})) << k;

  // Three gaps in one column: at most three points; a sample alone between
  // gaps is joined to nothing (a dot). Breaks leave with the oldest samples.
  CSampleStore s(4);
  for (int i = 0; i < 6; ++i) s.Append(makeSample(i * 0.2, static_cast<float>(i)), i != 2);
  s.read([&](const SampleView& v) {
    EXPECT_FALSE(v.breakBefore(0));
    EXPECT_EQ(v.nextBreak(1, 4), 2u);
    rebuildPoints(v, {0, 539, pxPerSecond(60.0f), 390}, scales, *p);
  });
  ASSERT_EQ(p->m_nPoints, 3);
  EXPECT_EQ(p->m_samples[1], 2u);
  EXPECT_TRUE(isolated(*p, 0) && isolated(*p, 2));
}

TEST(ChartCursor, TheCursorPicksTheRightSampleAndText) {
  GraphRecording g;
  g.g_graphRunning = true;
  for (std::uint32_t i = 0; i <= 100; ++i) g.record(makeSample(i * 0.1, static_cast<float>(i)), i * 100, i * 100, 1.0f, 0);
  feed(g, 16.0, 20.0, 1.0f);
  const ChannelScales scales = channelScales(1, 0, 0);
  g.m_store.read([&](const SampleView& v) {
    // 7.2 px/s: column 7 holds 1.0 s and 1.1 s; its point is from 1.0 s.
    const ChartWindow w{0, 539, pxPerSecond(5.0f), 390};
    CursorReadout r = cursorReadout(v, w, scales, {1, 0, 0}, 7);
    ASSERT_TRUE(r.found);
    EXPECT_EQ((std::array{r.time, r.value[kChCtrl]}), (std::array<std::string, 2>{"1.000 s", "10.000 mA"}));
    EXPECT_EQ(r.y[kChCtrl], 390 - 116) << "10 mA on the right scale";
    // Inside the outage, and past the last sample: nothing to read.
    r = cursorReadout(v, w, scales, {}, 90);
    EXPECT_FALSE(r.found);
    EXPECT_EQ((std::array{r.time, r.value[kChCtrl]}), (std::array<std::string, 2>{"12.500 s", "---"}));
    EXPECT_EQ(sampleAtColumn(v, w, 300), v.size());
    // Zoomed in, samples are 240 columns apart: a column between two
    // stands for the nearer one.
    const ChartWindow zoom{240, 779, pxPerSecond(0.015f), 390};
    EXPECT_EQ((std::array{sampleAtColumn(v, zoom, 119), sampleAtColumn(v, zoom, 121)}), (std::array<std::size_t, 2>{1, 2}));
  });
  EXPECT_EQ((std::array{readoutValue(kChP2, 4.8f, {0, 0, 1}), readoutValue(kChP2, 4.8f, {0, 0, 3}), readoutValue(kChAlarm, 1.0f, {})}),
            (std::array<std::string, 3>{"69.62 PSI", "0.4800 MPa", "ON"}));
}

}  // namespace
}  // namespace vrx4
