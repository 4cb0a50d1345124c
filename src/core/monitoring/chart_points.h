// The trend chart's arithmetic: the plot's geometry, the scale of each
// channel, the polylines of the visible time window, and the texts around
// the plot. The widget only paints what these give.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/monitoring/sample_store.h"

namespace vrx4::chart {

// Plot frame inside the chart's client area: 15 time divisions of 36
// pixels and 10 value divisions of 35 pixels.
inline constexpr int kPlotLeft = 30;
inline constexpr int kPlotRight = 570;
inline constexpr int kPlotWidth = kPlotRight - kPlotLeft;  // 540
inline constexpr int kPlotTopMargin = 40;
inline constexpr int kPlotHeight = 350;
inline constexpr int kXDivisions = 15;
inline constexpr int kYDivisions = 10;
inline constexpr int kXDivision = kPlotWidth / kXDivisions;   // 36
inline constexpr int kYDivision = kPlotHeight / kYDivisions;  // 35
// At most three points per pixel column: one without a gap in the column,
// two or three where the column holds gaps (see rebuildPoints).
inline constexpr int kMaxPoints = 3 * kPlotWidth;

// Left scale: 1 V (or 1 bar) per division; right scale: 3 mA (or 3 V).
inline constexpr float kLeftPxPerUnit = 35.0f;
inline constexpr float kRightPxPerUnit = 35.0f / 3.0f;

// Horizontal scale for a time base: 540 / (15 x seconds per division).
float pxPerSecond(float secondsPerDivision);

// Pixels per unit of each channel. CTRL and AUXin use the right scale when
// the device reports a current input; P2 (in bar) the left one, or the
// right one (a third) on the high pressure range; 24VDC and Iout the right
// one; Uout the left one; the alarm is plotted as 10 on the left scale, so
// an active alarm reaches the top of the plot.
struct ChannelScales {
  std::array<float, kChannelCount> pxPerUnit{};
};
ChannelScales channelScales(int ctrlUnit, int auxinUnit, int pressureScale);

// y of a value: the plot bottom minus value x pixels per unit, truncated
// toward zero.
int plotY(float value, float pxPerUnit, int plotBottom);

// Gaps. Consecutive samples further apart than gapAfter(sample period) are
// not joined by any line or stroke: the link was silent (an outage, a
// restart of the link) or samples were not taken (a pause), and a line
// across would show values that never existed. That is three sample
// periods, and a quarter of a second more for the measurement exchange
// itself: at the shortest periods samples come at the link's own pace,
// which can be a few periods apart, and a single reply lost and asked for
// again is no gap either.
double gapAfter(double samplePeriod);
bool isGap(double earlier, double later, double samplePeriod);

// The polylines of the visible window: one point per pixel column holding
// samples, taken from the first sample of the column, and the column's
// lowest and highest value, so that a column of many samples is drawn as
// a vertical stroke and a short spike never vanishes. A gap breaks the
// polylines: the point after it has m_break set (no line from the point
// before), and a column that holds a gap gives one point for its samples
// before the gap and one for those after it, so that no stroke spans the
// gap either.
struct ChartPoints {
  int m_nPoints = 0;
  std::array<int, kMaxPoints> m_x{};
  std::array<std::array<int, kMaxPoints>, kChannelCount> m_y{};
  // y of the column's highest and lowest value (top <= bottom on screen).
  std::array<std::array<int, kMaxPoints>, kChannelCount> m_yTop{};
  std::array<std::array<int, kMaxPoints>, kChannelCount> m_yBottom{};
  // Samples in the column (in the part of it that the point stands for).
  std::array<std::uint32_t, kMaxPoints> m_samples{};
  // 1: a gap lies before this point; no line joins it to the point before.
  std::array<std::uint8_t, kMaxPoints> m_break{};
};

// A point joined to neither neighbour (gaps on both sides, or the window's
// only point): drawn as a dot, or it would not show at all.
bool isolated(const ChartPoints& points, int k);

// The visible window in pixels from time 0 (time x px/s).
struct ChartWindow {
  double viewLeft = 0;
  double viewRight = 0;
  float pxPerSecond = 1800.0f;
  int plotBottom = kPlotTopMargin + kPlotHeight;
  double startTime() const { return viewLeft / pxPerSecond; }
  double endTime() const { return viewRight / pxPerSecond; }
};

// Rebuilds the points for the samples whose time lies in the window:
// x = plot left + (time - window start) x px/s, truncated toward zero. The
// samples are found by binary search, the extremes of a column come from
// the store's summaries and its breaks from the store's list of breaks,
// so the cost follows the number of columns, not the number of samples.
// A column with one gap gives two points (before, after); with two gaps
// three (the samples between the gaps alone); with more, the samples
// between its first and last gap make one unjoined point. Nothing in the
// store changes.
void rebuildPoints(const SampleView& samples, const ChartWindow& window, const ChannelScales& scales,
                   ChartPoints& out);

// ---- the cursor ------------------------------------------------------------

// The sample that plot column `column` (0 = the plot's left edge) of the
// window stands for: the first sample in the column, the one its point
// is drawn from; in a column without samples, the nearer of the two
// samples whose line crosses it. None (size()) where no line is drawn:
// before the first sample of the window, after its last one, inside a gap.
std::size_t sampleAtColumn(const SampleView& samples, const ChartWindow& window, int column);

// What the chart's readout needs to write a value in the chart's units.
struct ReadoutUnits {
  int ctrlUnit = 0;           // 1: CONTROL is a current input (mA)
  int auxinUnit = 0;          // 1: AUXin is a current input
  std::uint8_t pressureUnit = 0;  // 0 bar, 1 PSI, 2 kPa, 3 MPa
};

// The channels' names, as in the capture file's header.
inline constexpr std::array<const char*, kChannelCount> kChannelNames = {"CTRL", "AUXin", "P2",   "24VDC",
                                                                         "Uout", "Iout",  "Alarm"};

// A value as the readout writes it, with its unit: volts and milliamperes
// with three decimals (the device's resolution, as the capture file), P2
// in the pressure unit to the same resolution (bar 3 decimals, PSI 2,
// kPa 1, MPa 4), the alarm "ON" or "OFF".
std::string readoutValue(int channel, float value, const ReadoutUnits& units);
// A time: "%.3f s", as the capture file's Time column.
std::string readoutTime(double seconds);

// The readout at the cursor: the sample's time and values, and where its
// point lies on the plot. Without a sample: the column's time, every
// value "---".
struct CursorReadout {
  bool found = false;
  std::size_t index = 0;  // of the sample
  int x = 0;              // the sample's pixel column (with the plot's left)
  std::array<int, kChannelCount> y{};
  std::string time;
  std::array<std::string, kChannelCount> value;
};
CursorReadout cursorReadout(const SampleView& samples, const ChartWindow& window, const ChannelScales& scales,
                            const ReadoutUnits& units, int column);

// ---- texts ----------------------------------------------------------------

// Value labels of division i (1..10): left "%2.f" of i, right of 3 x i.
std::string leftValueLabel(int i);
std::string rightValueLabel(int i);
// Scale captions above the plot, by pressure range and unit.
std::string leftCaption(int pressureScale, int pressureUnit);
std::string rightCaption(int pressureScale, int pressureUnit);
// Time at division line i ("%.2f" seconds).
std::string timeLabel(int i, double viewLeft, float pxPerSecond);

}  // namespace vrx4::chart
