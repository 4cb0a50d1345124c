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
// At most one point per pixel column.
inline constexpr int kMaxPoints = kPlotWidth;

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

// The polylines of the visible window: one point per pixel column holding
// samples, taken from the first sample of the column, and the column's
// lowest and highest value, so that a column of many samples is drawn as
// a vertical stroke and a short spike never vanishes.
struct ChartPoints {
  int m_nPoints = 0;
  std::array<int, kMaxPoints> m_x{};
  std::array<std::array<int, kMaxPoints>, kChannelCount> m_y{};
  // y of the column's highest and lowest value (top <= bottom on screen).
  std::array<std::array<int, kMaxPoints>, kChannelCount> m_yTop{};
  std::array<std::array<int, kMaxPoints>, kChannelCount> m_yBottom{};
  // Samples in the column.
  std::array<std::uint32_t, kMaxPoints> m_samples{};
};

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
// samples are found by binary search and the extremes of a column come
// from the store's summaries, so the cost follows the number of columns,
// not the number of samples. Nothing in the store changes.
void rebuildPoints(const SampleView& samples, const ChartWindow& window, const ChannelScales& scales,
                   ChartPoints& out);

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
