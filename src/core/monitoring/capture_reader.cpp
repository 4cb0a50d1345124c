#include "core/monitoring/capture_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include "core/base/pressure_units.h"
#include "core/base/text_file.h"
#include "core/monitoring/capture_row.h"
#include "core/monitoring/chart_points.h"

namespace vrx4::capture {
namespace {

constexpr std::size_t kBlock = std::size_t{1} << 18;
// Longer lines are no rows (a row is under 100 characters); they are
// passed on cut, marked as too long.
constexpr std::size_t kMaxLine = 4096;
// Intervals between rows are counted per millisecond up to this many.
constexpr std::size_t kIntervalSlots = 65536;

// Streams the first `limit` bytes of `fd` line by line: f(line, tooLong)
// without the line end (LF, CR LF), false from f stops. A last line
// without a line end counts too. False on a read error (errno set).
template <class F>
bool forEachLine(int fd, std::uint64_t limit, std::uint64_t& bytesRead, F&& f) {
  std::vector<char> block(kBlock);
  std::string carry;  // the start of a line that runs on into the next block
  bool carryTooLong = false;
  bytesRead = 0;
  auto emit = [&](std::string_view line, bool tooLong) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return f(line, tooLong);
  };
  while (bytesRead < limit) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, limit - bytesRead));
    const ssize_t n = ::read(fd, block.data(), want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    bytesRead += static_cast<std::uint64_t>(n);
    const char* p = block.data();
    const char* end = p + n;
    while (p < end) {
      const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
      const char* lineEnd = nl != nullptr ? nl : end;
      const std::size_t len = static_cast<std::size_t>(lineEnd - p);
      if (nl == nullptr || !carry.empty() || carryTooLong) {
        // Keep at most kMaxLine + 1 characters of a line that spans blocks.
        const std::size_t room = kMaxLine + 1 - std::min(carry.size(), kMaxLine + 1);
        carry.append(p, std::min(len, room));
        if (len > room) carryTooLong = true;
        if (nl == nullptr) break;
        const bool tooLong = carryTooLong || carry.size() > kMaxLine;
        if (!emit(carry, tooLong)) return true;
        carry.clear();
        carryTooLong = false;
      } else if (!emit(std::string_view(p, len), len > kMaxLine)) {
        return true;
      }
      p = nl + 1;
    }
  }
  if (!carry.empty() || carryTooLong) emit(carry, carryTooLong || carry.size() > kMaxLine);
  return true;
}

bool number(std::string_view field, double& out) {
  const char* end = field.data() + field.size();
  const auto [ptr, ec] = std::from_chars(field.data(), end, out, std::chars_format::fixed);
  return ec == std::errc{} && ptr == end && !field.empty() && std::isfinite(out);
}

bool integer(std::string_view field, int& out) {
  const char* end = field.data() + field.size();
  const auto [ptr, ec] = std::from_chars(field.data(), end, out);
  return ec == std::errc{} && ptr == end && !field.empty();
}

float valueOf(const GraphSample& s, int c) {
  switch (c) {
    case kChCtrl: return s.ctrl;
    case kChAuxin: return s.auxin;
    case kChP2: return s.p2;
    case kChVdc24: return s.vdc24;
    case kChUout: return s.uout;
    case kChIout: return s.iout;
    default: return s.alarm;
  }
}
void setValue(GraphSample& s, int c, float v) {
  switch (c) {
    case kChCtrl: s.ctrl = v; break;
    case kChAuxin: s.auxin = v; break;
    case kChP2: s.p2 = v; break;
    case kChVdc24: s.vdc24 = v; break;
    case kChUout: s.uout = v; break;
    case kChIout: s.iout = v; break;
    default: s.alarm = static_cast<std::uint8_t>(v);
  }
}

// Rows gathered into one pair of samples (see the header).
class Thinning {
 public:
  Thinning(CSampleStore& store, std::uint32_t rowsPerPair, std::uint64_t& samples)
      : m_store(store), m_rowsPerPair(rowsPerPair), m_samples(samples) {}

  void add(const GraphSample& s, bool breakBefore) {
    if (breakBefore || m_n == m_rowsPerPair) flush();
    if (m_n == 0) {
      m_first = s;
      m_break = breakBefore;
      for (int c = 0; c < kChannelCount; ++c) {
        m_low[c] = m_high[c] = valueOf(s, c);
        m_lowAt[c] = m_highAt[c] = 0;
      }
    } else {
      for (int c = 0; c < kChannelCount; ++c) {
        const float v = valueOf(s, c);
        if (v < m_low[c]) m_low[c] = v, m_lowAt[c] = m_n;
        if (v > m_high[c]) m_high[c] = v, m_highAt[c] = m_n;
      }
    }
    m_last = s;
    ++m_n;
  }

  void flush() {
    if (m_n == 0) return;
    if (m_n == 1) {
      append(m_first, m_break);
    } else {
      GraphSample a = m_first, b = m_last;
      for (int c = 0; c < kChannelCount; ++c) {
        const bool lowFirst = m_lowAt[c] <= m_highAt[c];
        setValue(a, c, lowFirst ? m_low[c] : m_high[c]);
        setValue(b, c, lowFirst ? m_high[c] : m_low[c]);
      }
      append(a, m_break);
      append(b, false);
    }
    m_n = 0;
  }

 private:
  void append(const GraphSample& s, bool breakBefore) {
    m_store.Append(s, breakBefore);
    ++m_samples;
  }

  CSampleStore& m_store;
  std::uint32_t m_rowsPerPair;
  std::uint64_t& m_samples;
  std::uint32_t m_n = 0;
  bool m_break = false;
  GraphSample m_first, m_last;
  float m_low[kChannelCount]{}, m_high[kChannelCount]{};
  std::uint32_t m_lowAt[kChannelCount]{}, m_highAt[kChannelCount]{};
};

// The first pass: rows, the intervals between them, parts of the recording.
struct Survey {
  bool header = false;
  std::uint64_t rows = 0;
  std::uint64_t restarts = 0;
  std::vector<std::uint32_t> intervals = std::vector<std::uint32_t>(kIntervalSlots);  // count per ms
  std::uint64_t longIntervals = 0;  // kIntervalSlots ms or more

  double period() const {
    const auto most = std::max_element(intervals.begin() + 1, intervals.end());
    if (*most == 0) return longIntervals > 0 ? 1e9 : 0.1;  // rows far apart: no gap between any
    return static_cast<double>(most - intervals.begin()) / 1000.0;
  }
  // Intervals that will be gaps, counted on the safe side.
  std::uint64_t gaps(double period) const {
    const double after = chart::gapAfter(period) * 1000.0;
    std::uint64_t n = longIntervals;
    const std::size_t from = static_cast<std::size_t>(std::max(0.0, std::floor(after) - 1));
    for (std::size_t ms = from; ms < kIntervalSlots; ++ms) n += intervals[ms];
    return n;
  }
};

}  // namespace

bool isHeader(std::string_view line) {
  if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);  // a byte order mark an editor added
  if (!line.empty() && line.back() == ';') line.remove_suffix(1);
  return line == kHeader;
}

bool parseRow(std::string_view line, GraphSample& out, unsigned& unit) {
  std::string_view f[11];
  std::size_t n = 0;
  for (;;) {
    const std::size_t semi = line.find(';');
    if (n == 11) return false;
    f[n++] = line.substr(0, semi);
    if (semi == std::string_view::npos) break;
    line.remove_prefix(semi + 1);
  }
  if (n == 11 && f[10].empty()) n = 10;  // the writer ends every row with ';'
  if (n != 10) return false;
  double v[7];
  for (int i = 0; i < 7; ++i)
    if (!number(f[i], v[i])) return false;
  int alarm = 0, flag = 0;
  if (v[0] < 0 || !integer(f[7], alarm) || (alarm != 0 && alarm != 1)) return false;
  if (!integer(f[8], flag) || flag < -128 || flag > 127) return false;
  // An empty Punit is what the writer gives for a unit it does not know,
  // whose P2 it wrote in bar.
  if (f[9].empty()) unit = unit::kBar;
  else {
    unit = 4;
    for (unsigned u = 0; u < 4; ++u)
      if (f[9] == unitName(u)) unit = u;
    if (unit == 4) return false;
  }
  // Whole milliseconds, as the recording's clock stamps them: the same
  // time as the live sample had, to the last bit.
  out.time = v[0] < 1e12 ? static_cast<double>(std::llround(v[0] * 1000.0)) * 0.001 : v[0];
  out.ctrl = static_cast<float>(v[1]);
  out.auxin = static_cast<float>(v[2]);
  out.p2 = static_cast<float>(v[3] / pressureFactor(static_cast<std::uint8_t>(unit)));
  out.vdc24 = static_cast<float>(v[4]);
  out.uout = static_cast<float>(v[5]);
  out.iout = static_cast<float>(v[6]);
  out.alarm = static_cast<std::uint8_t>(alarm);
  out.flag = static_cast<std::int8_t>(flag);
  return true;
}

ReadOutcome readCapture(const std::string& path, CSampleStore& store) {
  ReadOutcome out;
  const int fd = text_file::openRegular(path, out.detail);
  if (fd < 0) return out;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  auto failed = [&](ReadStatus status) {
    out.status = status;
    out.detail = text_file::systemReason(errno);
    return out;
  };

  // First pass: the header, then every row.
  Survey survey;
  bool hasPrevious = false;
  double previous = 0;
  std::uint64_t length = 0, lineNumber = 0;
  const bool read = forEachLine(fd, UINT64_MAX, length, [&](std::string_view line, bool tooLong) {
    if (++lineNumber == 1) {
      survey.header = !tooLong && isHeader(line);
      return survey.header;  // a foreign file is not read any further
    }
    if (line.empty() && !tooLong) return true;  // blank lines are no rows
    GraphSample s;
    unsigned unit = 0;
    if (tooLong || !parseRow(line, s, unit)) {
      out.damagedLines.push_back(lineNumber);
      return true;
    }
    ++survey.rows;
    if (hasPrevious) {
      if (s.time < previous) ++survey.restarts;
      const double ms = std::round((s.time - previous) * 1000.0);
      if (ms >= static_cast<double>(kIntervalSlots)) ++survey.longIntervals;
      else if (ms > 0) ++survey.intervals[static_cast<std::size_t>(ms)];
    }
    hasPrevious = true;
    previous = s.time;
    return true;
  });
  if (!read) return failed(ReadStatus::CannotOpen);
  if (!survey.header) {
    out.status = ReadStatus::NotCapture;
    return out;
  }
  if (survey.rows == 0) {
    out.status = ReadStatus::NoRows;
    return out;
  }

  out.samplePeriod = survey.period();
  const std::uint64_t capacity = store.capacity();
  if (survey.rows > capacity) {
    // Pairs of samples for groups of rows; a gap or a restart ends a group
    // early, so each part of the recording may take one pair more.
    const std::uint64_t parts = survey.gaps(out.samplePeriod) + survey.restarts + 1;
    const std::uint64_t pairs = capacity / 2;
    const std::uint64_t k = pairs > parts ? (survey.rows + (pairs - parts) - 1) / (pairs - parts) : survey.rows;
    out.rowsPerPair = static_cast<std::uint32_t>(std::clamp<std::uint64_t>(k, 2, UINT32_MAX));
  }

  // Second pass, over the same bytes: into the store.
  if (::lseek(fd, 0, SEEK_SET) != 0) return failed(ReadStatus::CannotOpen);
  store.Clear();
  out.damagedLines.clear();
  Thinning thinning(store, out.rowsPerPair, out.samples);
  std::uint64_t again = 0;
  lineNumber = 0;
  double lastRaw = 0, lastShown = 0, offset = 0;
  const bool ok = forEachLine(fd, length, again, [&](std::string_view line, bool tooLong) {
    if (++lineNumber == 1 || (line.empty() && !tooLong)) return true;  // the header; blank lines are no rows
    GraphSample s;
    unsigned unit = 0;
    if (tooLong || !parseRow(line, s, unit)) {
      out.damagedLines.push_back(lineNumber);
      return true;
    }
    bool breakBefore = false;
    if (out.rows == 0) {
      out.unit = unit;
      out.firstTime = s.time;
    } else {
      if (unit != out.unit) ++out.otherUnitRows;
      if (s.time < lastRaw) {
        // A new part of the recording: it follows the last one across a gap.
        if (out.timeRestarts++ == 0) out.firstRestartLine = lineNumber;
        offset = lastShown + chart::gapAfter(out.samplePeriod) + out.samplePeriod - s.time;
        breakBefore = true;
      }
    }
    lastRaw = s.time;
    s.time += offset;
    if (out.rows > 0 && !breakBefore) breakBefore = chart::isGap(lastShown, s.time, out.samplePeriod);
    out.gaps += breakBefore ? 1 : 0;
    lastShown = s.time;
    ++out.rows;
    if (out.rowsPerPair == 1) {
      store.Append(s, breakBefore);
      ++out.samples;
    } else {
      thinning.add(s, breakBefore);
    }
    return true;
  });
  thinning.flush();
  out.lastTime = lastShown;
  if (!ok) return failed(ReadStatus::ReadFailed);
  out.status = ReadStatus::Shown;
  return out;
}

}  // namespace vrx4::capture
