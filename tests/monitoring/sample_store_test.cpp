// The sample store: indexes and times across chunk boundaries, the memory
// cap, the binary searches, and the min/max summaries checked against a
// plain scan (also over samples that have left the store).
#include <gtest/gtest.h>

#include <random>

#include "core/monitoring/sample_store.h"
#include "samples.h"

namespace vrx4 {
namespace {

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
  ASSERT_TRUE(store.Get(1, s));
  EXPECT_EQ(s.ctrl, 0.0f);
  ASSERT_TRUE(store.Get(4097, s));  // the first sample of the second chunk
  EXPECT_EQ((std::array{s.ctrl, s.auxin}), (std::array{4096.0f, -4096.0f}));
  EXPECT_DOUBLE_EQ(s.time, 409.6);
  EXPECT_FALSE(store.Get(0, s) || store.Get(10001, s));

  // Full: every new sample pushes the oldest out, across chunk boundaries.
  for (int i = 10000; i < 25000; ++i) store.Append(makeSample(i * 0.1, static_cast<float>(i), static_cast<std::uint8_t>(i % 2)));
  EXPECT_EQ((std::array{store.Count(), store.droppedOldest()}), (std::array<std::size_t, 2>{10000, 15000}));
  ASSERT_TRUE(store.Get(1, s));
  EXPECT_EQ(s.ctrl, 15000.0f);
  ASSERT_TRUE(store.newest(s));
  EXPECT_EQ(std::tuple(s.ctrl, s.alarm, s.flag), std::tuple(24999.0f, 1, -1));
  EXPECT_DOUBLE_EQ(store.maxTime(), 2499.9);

  store.DropOldest();
  ASSERT_TRUE(store.Get(1, s));
  EXPECT_EQ(s.ctrl, 15001.0f);
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
      std::size_t a = at(rng), b = at(rng);
      if (a > b) std::swap(a, b);
      runs.emplace_back(a, b + 1);
    }
    for (auto [a, b] : runs) {
      const ChannelRange got = v.range(a, b), want = scan(v, a, b);
      EXPECT_EQ(std::pair(got.low, got.high), std::pair(want.low, want.high)) << a << ".." << b;
    }
    EXPECT_LT(v.range(0, v.size()).high[kChCtrl], 1000.0f);
  });
}

}  // namespace
}  // namespace vrx4
