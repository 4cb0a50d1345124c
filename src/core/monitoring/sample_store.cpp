#include "core/monitoring/sample_store.h"

#include <algorithm>
#include <iterator>

namespace vrx4 {

using store_detail::Chunk;
using store_detail::kBlockSamples;
using store_detail::kChunkSamples;

namespace {

void widen(ChannelRange& r, const std::array<float, kChannelCount>& v) {
  for (int c = 0; c < kChannelCount; ++c) {
    r.low[c] = std::min(r.low[c], v[c]);
    r.high[c] = std::max(r.high[c], v[c]);
  }
}

void widen(ChannelRange& r, const ChannelRange& other) {
  for (int c = 0; c < kChannelCount; ++c) {
    r.low[c] = std::min(r.low[c], other.low[c]);
    r.high[c] = std::max(r.high[c], other.high[c]);
  }
}

std::array<float, kChannelCount> valuesAt(const Chunk& c, std::size_t off) {
  return {c.value[0][off], c.value[1][off], c.value[2][off], c.value[3][off],
          c.value[4][off], c.value[5][off], static_cast<float>(c.alarm[off])};
}

}  // namespace

// ---- SampleView ---------------------------------------------------------

double SampleView::time(std::size_t i) const {
  const std::size_t p = m_front + i;
  return m_chunks[p / kChunkSamples]->time[p % kChunkSamples];
}

float SampleView::value(int channel, std::size_t i) const {
  const std::size_t p = m_front + i;
  const Chunk& c = *m_chunks[p / kChunkSamples];
  const std::size_t off = p % kChunkSamples;
  return channel == kChAlarm ? static_cast<float>(c.alarm[off]) : c.value[channel][off];
}

GraphSample SampleView::at(std::size_t i) const {
  const std::size_t p = m_front + i;
  const Chunk& c = *m_chunks[p / kChunkSamples];
  const std::size_t off = p % kChunkSamples;
  GraphSample s;
  s.time = c.time[off];
  s.ctrl = c.value[0][off];
  s.auxin = c.value[1][off];
  s.p2 = c.value[2][off];
  s.vdc24 = c.value[3][off];
  s.uout = c.value[4][off];
  s.iout = c.value[5][off];
  s.alarm = c.alarm[off];
  s.flag = c.flag[off];
  return s;
}

std::size_t SampleView::firstAtOrAfter(double t) const {
  std::size_t lo = 0, hi = m_count;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (time(mid) < t) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

std::size_t SampleView::firstAfter(double t) const {
  std::size_t lo = 0, hi = m_count;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (time(mid) <= t) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

ChannelRange SampleView::range(std::size_t begin, std::size_t end) const {
  std::size_t p = m_front + begin;
  const std::size_t last = m_front + end;
  ChannelRange r;
  {
    const Chunk& c = *m_chunks[p / kChunkSamples];
    r.low = r.high = valuesAt(c, p % kChunkSamples);
  }
  // Whole chunks and whole blocks inside the run use their summaries; a
  // summary is only used when every sample it covers lies in the run, so
  // samples that left the store never count.
  while (p < last) {
    const Chunk& c = *m_chunks[p / kChunkSamples];
    const std::size_t off = p % kChunkSamples;
    if (off == 0 && p + kChunkSamples <= last) {
      widen(r, c.whole);
      p += kChunkSamples;
    } else if (off % kBlockSamples == 0 && p + kBlockSamples <= last) {
      widen(r, c.block[off / kBlockSamples]);
      p += kBlockSamples;
    } else {
      widen(r, valuesAt(c, off));
      ++p;
    }
  }
  return r;
}

bool SampleView::breakBefore(std::size_t i) const {
  if (i == 0 || i >= m_count) return false;
  return std::binary_search(m_breaks.begin(), m_breaks.end(), m_firstNumber + i);
}

std::size_t SampleView::nextBreak(std::size_t begin, std::size_t end) const {
  const auto it = std::upper_bound(m_breaks.begin(), m_breaks.end(), m_firstNumber + begin);
  if (it == m_breaks.end()) return end;
  return std::min<std::uint64_t>(*it - m_firstNumber, end);
}

std::size_t SampleView::lastBreak(std::size_t begin, std::size_t end) const {
  const auto it = std::lower_bound(m_breaks.begin(), m_breaks.end(), m_firstNumber + end);
  if (it == m_breaks.begin()) return begin;
  const std::uint64_t number = *std::prev(it);
  return number > m_firstNumber + begin ? static_cast<std::size_t>(number - m_firstNumber) : begin;
}

// ---- CSampleStore -------------------------------------------------------

CSampleStore::CSampleStore(std::size_t capacity) : m_capacity(std::max<std::size_t>(1, capacity)) {}

void CSampleStore::Append(const GraphSample& in, bool breakBefore) {
  std::unique_lock lock(m_mutex);
  if (m_count == m_capacity) {
    dropOldestLocked();
    ++m_dropped;
  }
  if (breakBefore && m_count > 0) m_breaks.push_back(m_firstNumber + m_count);
  const std::size_t p = m_front + m_count;
  const std::size_t off = p % kChunkSamples;
  if (p / kChunkSamples == m_chunks.size()) {
    // Not value-initialised: every field of a sample is written before it
    // is counted, and summaries are reset by the first sample they cover.
    m_chunks.push_back(m_spare ? std::move(m_spare) : std::unique_ptr<Chunk>(new Chunk));
  }
  Chunk& c = *m_chunks[p / kChunkSamples];

  double time = in.time;
  if (m_count > 0 && time < m_maxTime) time = m_maxTime;  // times stay in order
  c.time[off] = time;
  c.value[0][off] = in.ctrl;
  c.value[1][off] = in.auxin;
  c.value[2][off] = in.p2;
  c.value[3][off] = in.vdc24;
  c.value[4][off] = in.uout;
  c.value[5][off] = in.iout;
  c.alarm[off] = in.alarm;
  c.flag[off] = in.flag;

  const auto v = valuesAt(c, off);
  ChannelRange& block = c.block[off / kBlockSamples];
  if (off % kBlockSamples == 0) block.low = block.high = v;
  else widen(block, v);
  if (off == 0) c.whole.low = c.whole.high = v;
  else widen(c.whole, v);

  ++m_count;
  if (m_count == 1 || time > m_maxTime) m_maxTime = time;
}

void CSampleStore::dropOldestLocked() {
  if (m_count == 0) return;
  ++m_front;
  --m_count;
  ++m_firstNumber;
  // A break before the oldest sample kept joins nothing any more.
  while (!m_breaks.empty() && m_breaks.front() <= m_firstNumber) m_breaks.pop_front();
  if (m_front == kChunkSamples) {
    m_spare = std::move(m_chunks.front());
    m_chunks.pop_front();
    m_front = 0;
  }
}

void CSampleStore::DropOldest() {
  std::unique_lock lock(m_mutex);
  dropOldestLocked();
}

void CSampleStore::Clear() {
  std::unique_lock lock(m_mutex);
  m_chunks.clear();
  m_spare.reset();
  m_front = 0;
  m_count = 0;
  m_maxTime = 0;
  m_dropped = 0;
  m_firstNumber = 0;
  m_breaks.clear();
}

std::size_t CSampleStore::Count() const {
  std::shared_lock lock(m_mutex);
  return m_count;
}

bool CSampleStore::Get(std::size_t i, GraphSample& out) const {
  return read([&](const SampleView& v) {
    if (i < 1 || i > v.size()) return false;
    out = v.at(i - 1);
    return true;
  });
}

bool CSampleStore::newest(GraphSample& out) const {
  return read([&](const SampleView& v) {
    if (v.size() == 0) return false;
    out = v.at(v.size() - 1);
    return true;
  });
}

double CSampleStore::maxTime() const {
  std::shared_lock lock(m_mutex);
  return m_maxTime;
}

std::uint64_t CSampleStore::droppedOldest() const {
  std::shared_lock lock(m_mutex);
  return m_dropped;
}

}  // namespace vrx4
