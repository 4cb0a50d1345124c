// The graph's sample store: every capture sample of the recording, oldest
// first, for the trend chart to draw and the page to count.
//
// Samples sit in chunks of 4096, column by column (time, the six values,
// alarm, flag), so that appending is O(1), sample i is found in O(1) and a
// sample costs 34 bytes plus under one byte of the min/max summaries
// (kBytesPerSample). Each chunk also keeps the lowest and highest value of
// every channel per block of 64 samples and for the whole chunk, so the
// extremes of any run of samples cost at most about 250 look-ups whatever
// its length: the chart can draw a column of thousands of samples as a
// stroke from its lowest to its highest value without reading them all.
//
// Memory is bounded by the capacity (default: 24 h at 0.1 s per sample,
// 864,000 samples, about 30 MB); beyond it the oldest samples leave, one
// per sample appended, and droppedOldest() counts them.
//
// Times are kept in order, so that the first sample of a time window is
// found by binary search: a sample stamped earlier than the newest one is
// stored at the newest time.
//
// A sample can be appended with a break before it: the samples on either
// side of a gap in the recording (the link was silent) are never joined by
// the chart. The breaks are kept as a sorted list of sample numbers, so the
// breaks inside any run of samples are found by binary search too.
//
// Thread safety: appends and clears take the store's lock exclusively;
// readers go through read(), which hands a SampleView over a shared lock,
// so a rebuild sees one consistent set of samples and never removes any.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <vector>

#include "core/monitoring/graph_sample.h"

namespace vrx4 {

// The chart's channels, in drawing order.
enum ChartChannel : int { kChCtrl, kChAuxin, kChP2, kChVdc24, kChUout, kChIout, kChAlarm, kChannelCount };

// Lowest and highest value of each channel over a run of samples.
struct ChannelRange {
  std::array<float, kChannelCount> low{};
  std::array<float, kChannelCount> high{};
};

namespace store_detail {

inline constexpr std::size_t kChunkSamples = 4096;
inline constexpr std::size_t kBlockSamples = 64;
inline constexpr std::size_t kBlocksPerChunk = kChunkSamples / kBlockSamples;

struct Chunk {
  std::array<double, kChunkSamples> time;
  std::array<std::array<float, kChunkSamples>, 6> value;  // ctrl, auxin, p2, vdc24, uout, iout
  std::array<std::uint8_t, kChunkSamples> alarm;
  std::array<std::int8_t, kChunkSamples> flag;
  std::array<ChannelRange, kBlocksPerChunk> block;
  ChannelRange whole;
};

}  // namespace store_detail

class CSampleStore;

// Read access to the store under its shared lock (see CSampleStore::read).
// Indexes are 0 for the oldest sample kept to size() - 1 for the newest.
class SampleView {
 public:
  std::size_t size() const { return m_count; }
  double time(std::size_t i) const;
  GraphSample at(std::size_t i) const;
  // Value of a channel (alarm as 0 or 1).
  float value(int channel, std::size_t i) const;
  // First index whose time is not below t (size() when none), and first
  // index whose time is above t: binary searches.
  std::size_t firstAtOrAfter(double t) const;
  std::size_t firstAfter(double t) const;
  // Extremes of every channel over samples [begin, end), end > begin.
  ChannelRange range(std::size_t begin, std::size_t end) const;
  // Whether a gap lies between sample i - 1 and sample i (false for 0).
  bool breakBefore(std::size_t i) const;
  // The first index in (begin, end) with a break before it; end when none.
  std::size_t nextBreak(std::size_t begin, std::size_t end) const;
  // The last index in (begin, end) with a break before it; begin when none.
  std::size_t lastBreak(std::size_t begin, std::size_t end) const;

 private:
  friend class CSampleStore;
  SampleView(const std::deque<std::unique_ptr<store_detail::Chunk>>& chunks, std::size_t front, std::size_t count,
             const std::deque<std::uint64_t>& breaks, std::uint64_t firstNumber)
      : m_chunks(chunks), m_front(front), m_count(count), m_breaks(breaks), m_firstNumber(firstNumber) {}
  const std::deque<std::unique_ptr<store_detail::Chunk>>& m_chunks;
  std::size_t m_front;  // position of sample 0 in the first chunk
  std::size_t m_count;
  const std::deque<std::uint64_t>& m_breaks;
  std::uint64_t m_firstNumber;  // sample number of index 0
};

class CSampleStore {
 public:
  static constexpr std::size_t kDefaultCapacity = 864000;  // 24 h at 0.1 s per sample
  // Bytes a stored sample costs: its columns and its share of the chunk's
  // min/max summaries.
  static constexpr double kBytesPerSample =
      sizeof(store_detail::Chunk) / static_cast<double>(store_detail::kChunkSamples);

  explicit CSampleStore(std::size_t capacity = kDefaultCapacity);
  CSampleStore(const CSampleStore&) = delete;
  CSampleStore& operator=(const CSampleStore&) = delete;

  // Appends a sample as the newest, dropping the oldest when the store is
  // full. O(1): a new chunk is taken every 4096 samples (a freed one when
  // there is one). breakBefore: a gap lies between the sample before and
  // this one (ignored for the first sample).
  void Append(const GraphSample& s, bool breakBefore = false);
  std::size_t Count() const;
  // Sample i, 1 the oldest and Count() the newest; false when there is none.
  bool Get(std::size_t i, GraphSample& out) const;
  // Removes the oldest sample (nothing when empty).
  void DropOldest();
  // Removes every sample; the chunks are freed.
  void Clear();

  // Largest sample time appended since the last clear (0 after a clear).
  double maxTime() const;
  // Samples that left because the store was full, since the last clear.
  std::uint64_t droppedOldest() const;
  std::size_t capacity() const { return m_capacity; }
  // The newest sample; false when the store is empty.
  bool newest(GraphSample& out) const;

  // Runs f(const SampleView&) under the shared lock.
  template <class F>
  decltype(auto) read(F&& f) const {
    std::shared_lock lock(m_mutex);
    const SampleView view(m_chunks, m_front, m_count, m_breaks, m_firstNumber);
    return f(view);
  }

 private:
  void dropOldestLocked();

  mutable std::shared_mutex m_mutex;
  std::deque<std::unique_ptr<store_detail::Chunk>> m_chunks;
  std::unique_ptr<store_detail::Chunk> m_spare;  // one freed chunk kept for reuse
  std::size_t m_front = 0;
  std::size_t m_count = 0;
  std::size_t m_capacity;
  double m_maxTime = 0;
  std::uint64_t m_dropped = 0;
  // Sample numbers count every sample appended since the last clear; the
  // oldest kept one has m_firstNumber. m_breaks: numbers of the samples
  // that have a break before them, ascending.
  std::uint64_t m_firstNumber = 0;
  std::deque<std::uint64_t> m_breaks;
};

}  // namespace vrx4
