#include "core/monitoring/chart_points.h"

#include <cmath>

#include "core/base/number_format.h"
#include "core/base/pressure_units.h"

namespace vrx4::chart {
namespace {

// Truncation toward zero into an int; values far outside any screen (or
// not numbers at all) are held at a large pixel instead of overflowing.
int truncPixel(double v) {
  constexpr double kFar = 1e7;
  if (!(v > -kFar)) return static_cast<int>(-kFar);
  if (!(v < kFar)) return static_cast<int>(kFar);
  return static_cast<int>(v);
}

// Pixel column of a time inside the window.
struct Columns {
  double start;
  float pxPerSecond;
  int operator()(double t) const { return truncPixel((t - start) * pxPerSecond); }
};

// First index in (i, end) whose column is past `col`: a galloping search
// from i, so a column of k samples costs about 2 log k look-ups.
std::size_t columnEnd(const SampleView& v, const Columns& column, std::size_t i, std::size_t end, int col) {
  std::size_t step = 1;
  while (i + step < end && column(v.time(i + step)) <= col) step *= 2;
  std::size_t lo = i + step / 2 + 1;
  std::size_t hi = std::min(i + step, end);
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (column(v.time(mid)) <= col) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

}  // namespace

float pxPerSecond(float secondsPerDivision) {
  return static_cast<float>(kPlotWidth) / (static_cast<float>(kXDivisions) * secondsPerDivision);
}

ChannelScales channelScales(int ctrlUnit, int auxinUnit, int pressureScale) {
  ChannelScales s;
  s.pxPerUnit[kChCtrl] = ctrlUnit == 1 ? kRightPxPerUnit : kLeftPxPerUnit;
  s.pxPerUnit[kChAuxin] = auxinUnit == 1 ? kRightPxPerUnit : kLeftPxPerUnit;
  s.pxPerUnit[kChP2] = pressureScale == 1 ? kLeftPxPerUnit / 3.0f : kLeftPxPerUnit;
  s.pxPerUnit[kChVdc24] = kRightPxPerUnit;
  s.pxPerUnit[kChUout] = kLeftPxPerUnit;
  s.pxPerUnit[kChIout] = kRightPxPerUnit;
  s.pxPerUnit[kChAlarm] = 10.0f * kLeftPxPerUnit;
  return s;
}

int plotY(float value, float pxPerUnit, int plotBottom) {
  return plotBottom - truncPixel(static_cast<double>(value * pxPerUnit));
}

double gapAfter(double samplePeriod) { return 3.0 * samplePeriod + 0.25; }

bool isGap(double earlier, double later, double samplePeriod) { return later - earlier > gapAfter(samplePeriod); }

bool isolated(const ChartPoints& p, int k) {
  return (k == 0 || p.m_break[k] != 0) && (k + 1 >= p.m_nPoints || p.m_break[k + 1] != 0);
}

void rebuildPoints(const SampleView& v, const ChartWindow& w, const ChannelScales& scales, ChartPoints& out) {
  out.m_nPoints = 0;
  const double start = w.startTime();
  const double end = w.endTime();
  const std::size_t n = v.size();
  if (n == 0) return;
  // The first sample whose time is not below the window's start (all of
  // them from the first one when the window starts at time 0).
  const std::size_t first = start > 0 ? v.firstAtOrAfter(start) : 0;
  if (first == n || v.time(first) > end) return;
  const std::size_t last = v.firstAfter(end);
  const Columns column{start, w.pxPerSecond};

  // One point for samples [a, b) of pixel column `col`.
  auto add = [&](int col, std::size_t a, std::size_t b, bool gapBefore) {
    const int k = out.m_nPoints++;
    out.m_x[k] = kPlotLeft + col;
    out.m_samples[k] = static_cast<std::uint32_t>(b - a);
    out.m_break[k] = gapBefore ? 1 : 0;
    for (int c = 0; c < kChannelCount; ++c) out.m_y[c][k] = plotY(v.value(c, a), scales.pxPerUnit[c], w.plotBottom);
    if (b - a > 1) {
      const ChannelRange r = v.range(a, b);
      for (int c = 0; c < kChannelCount; ++c) {
        out.m_yTop[c][k] = plotY(r.high[c], scales.pxPerUnit[c], w.plotBottom);
        out.m_yBottom[c][k] = plotY(r.low[c], scales.pxPerUnit[c], w.plotBottom);
      }
    } else {
      for (int c = 0; c < kChannelCount; ++c) out.m_yTop[c][k] = out.m_yBottom[c][k] = out.m_y[c][k];
    }
  };

  for (std::size_t i = first; i < last && out.m_nPoints + 3 <= kMaxPoints;) {
    const int col = column(v.time(i));
    const std::size_t next = columnEnd(v, column, i, last, col);
    const std::size_t firstGap = v.nextBreak(i, next);
    if (firstGap == next) {
      add(col, i, next, v.breakBefore(i));
    } else {
      // The column holds gaps: its samples before the first one, after the
      // last one, and those between, each on their own.
      const std::size_t lastGap = v.lastBreak(i, next);
      add(col, i, firstGap, v.breakBefore(i));
      if (lastGap != firstGap) add(col, firstGap, lastGap, true);
      add(col, lastGap, next, true);
    }
    i = next;
  }
}

std::size_t sampleAtColumn(const SampleView& v, const ChartWindow& w, int col) {
  const std::size_t n = v.size();
  if (n == 0 || col < 0) return n;
  const double start = w.startTime();
  const std::size_t first = start > 0 ? v.firstAtOrAfter(start) : 0;
  const std::size_t last = v.firstAfter(w.endTime());
  if (first >= last) return n;
  // The samples drawn are [first, last); the first of them whose column is
  // not left of `col`.
  const Columns column{start, w.pxPerSecond};
  std::size_t lo = first, hi = last;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (column(v.time(mid)) < col) lo = mid + 1;
    else hi = mid;
  }
  if (lo < last && column(v.time(lo)) == col) return lo;
  // No sample in the column: the line between the samples on either side
  // crosses it, unless there is none on one side or a gap between them.
  if (lo == first || lo == last || v.breakBefore(lo)) return n;
  const double middle = start + (col + 0.5) / w.pxPerSecond;
  return middle - v.time(lo - 1) <= v.time(lo) - middle ? lo - 1 : lo;
}

std::string readoutValue(int channel, float value, const ReadoutUnits& u) {
  const double v = value;
  switch (channel) {
    case kChCtrl: return formatFixed(v, 3) + (u.ctrlUnit == 1 ? " mA" : " V");
    case kChAuxin: return formatFixed(v, 3) + (u.auxinUnit == 1 ? " mA" : " V");
    case kChP2: {
      static constexpr const char* kUnits[] = {" bar", " PSI", " kPa", " MPa"};
      static constexpr int kDecimals[] = {3, 2, 1, 4};
      const std::uint8_t unit = u.pressureUnit <= 3 ? u.pressureUnit : 0;
      return formatFixed(static_cast<double>(value * pressureFactor(unit)), kDecimals[unit]) + kUnits[unit];
    }
    case kChVdc24:
    case kChUout: return formatFixed(v, 3) + " V";
    case kChIout: return formatFixed(v, 3) + " mA";
    default: return value != 0 ? "ON" : "OFF";
  }
}

std::string readoutTime(double seconds) { return formatFixed(seconds, 3) + " s"; }

CursorReadout cursorReadout(const SampleView& v, const ChartWindow& w, const ChannelScales& scales,
                            const ReadoutUnits& units, int col) {
  CursorReadout r;
  const std::size_t i = sampleAtColumn(v, w, col);
  if (i >= v.size()) {
    r.time = readoutTime(w.startTime() + col / static_cast<double>(w.pxPerSecond));
    r.value.fill("---");
    return r;
  }
  r.found = true;
  r.index = i;
  const double t = v.time(i);
  r.x = kPlotLeft + Columns{w.startTime(), w.pxPerSecond}(t);
  r.time = readoutTime(t);
  for (int c = 0; c < kChannelCount; ++c) {
    const float value = v.value(c, i);
    r.y[c] = plotY(value, scales.pxPerUnit[c], w.plotBottom);
    r.value[c] = readoutValue(c, value, units);
  }
  return r;
}

std::string leftValueLabel(int i) { return formatFixed(i, 2, 0); }
std::string rightValueLabel(int i) { return formatFixed(3 * i, 2, 0); }

std::string leftCaption(int pressureScale, int pressureUnit) {
  if (pressureScale == 1) return "[V]";
  switch (pressureUnit) {
    case 1: return "[V ; 14.5038 PSI]";
    case 2: return "[V ; 100 kPa]";
    case 3: return "[V ; 0.1 MPa]";
    default: return "[V ; bar]";
  }
}

std::string rightCaption(int pressureScale, int pressureUnit) {
  if (pressureScale != 1) return "[24VDC; mA]";
  switch (pressureUnit) {
    case 1: return "[14.5038 PSI; 24VDC; mA]";
    case 2: return "[100 kPa; 24VDC; mA]";
    case 3: return "[0.1 MPa; 24VDC; mA]";
    default: return "[bar; 24VDC; mA]";
  }
}

std::string timeLabel(int i, double viewLeft, float pxPerSecond) {
  return formatFixed((i * kXDivision + viewLeft) / pxPerSecond, 2);
}

}  // namespace vrx4::chart
