// The sample store while one thread appends and another rebuilds the
// chart's points from it, as the link-fed page and the chart do: no sample
// is ever dropped or seen out of order, and every rebuild sees a
// consistent store. Also run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/monitoring/chart_points.h"
#include "core/monitoring/sample_store.h"
#include "samples.h"

namespace vrx4 {
namespace {

TEST(SampleStoreThreads, AppendWhileRebuildingNeverDropsASample) {
  constexpr int kSamples = 60000;
  CSampleStore store;
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int i = 0; i < kSamples; ++i) store.Append(testing::makeSample(i * 0.01, static_cast<float>(i)));
    done = true;
  });

  auto points = std::make_unique<chart::ChartPoints>();
  const chart::ChannelScales scales = chart::channelScales(0, 0, 0);
  std::size_t lastCount = 0;
  int rebuilds = 0;
  while (!done || rebuilds < 3) {
    store.read([&](const SampleView& v) {
      const std::size_t n = v.size();
      EXPECT_GE(n, lastCount);
      lastCount = n;
      if (n == 0) return;
      // The whole recording in one window, then the newest 540 pixels.
      const double newest = v.time(n - 1);
      const float pps = chart::pxPerSecond(static_cast<float>(std::max(newest, 1.0) / 15.0));
      chart::rebuildPoints(v, {0, 539, pps, 390}, scales, *points);
      EXPECT_GT(points->m_nPoints, 0);
      chart::rebuildPoints(v, {pps * newest - 539, pps * newest, pps, 390}, scales, *points);
      // The store's contents are exactly what was appended, in order.
      EXPECT_EQ(v.value(kChCtrl, n - 1), static_cast<float>(n - 1));
      EXPECT_EQ(v.value(kChCtrl, n / 2), static_cast<float>(n / 2));
    });
    ++rebuilds;
  }
  writer.join();
  EXPECT_EQ(store.Count(), static_cast<std::size_t>(kSamples));
  store.read([](const SampleView& v) {
    for (std::size_t i = 0; i < v.size(); ++i)
      if (v.value(kChCtrl, i) != static_cast<float>(i)) FAIL() << "sample " << i;
  });
}

}  // namespace
}  // namespace vrx4
