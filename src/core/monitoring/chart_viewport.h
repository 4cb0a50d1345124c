// Where the trend chart looks: the visible window on the time axis (in
// pixels from time 0), the cursor, the scroll range, and whether the view
// follows the newest data. Refresh, scrolling, the cursor messages and a
// click move it; the chart rebuilds its points when the window moved.
//
// The view follows the newest data until the user scrolls back; it then
// stays where the user put it, whatever is recorded meanwhile, until the
// user scrolls to the end again.
//
// The cursor is shown while the pointer is over the plot (or after a click
// there): it stays on the pointer's pixel column while the window moves
// under it, so the readout follows the chart as it scrolls.
#pragma once

#include <cstdint>

#include "core/monitoring/chart_points.h"

namespace vrx4::chart {

// Cursor messages of the chart (lParam of 0x472: a position in pixels).
inline constexpr std::uint32_t kMsgCursorTo = 0x472;
inline constexpr std::uint32_t kMsgCursorLeft6 = 0x473;
inline constexpr std::uint32_t kMsgCursorRight6 = 0x474;
inline constexpr std::uint32_t kMsgCursorLeft1 = 0x475;
inline constexpr std::uint32_t kMsgCursorRight1 = 0x476;

// Scroll steps: a line moves 130 pixels, a page 270.
inline constexpr int kScrollLine = 130;
inline constexpr int kScrollPage = 270;

class ChartViewport {
 public:
  double m_viewLeft = 0;
  double m_viewRight = 0;
  double m_cursor = 0;
  float m_pxPerSecond = 1800.0f;
  bool m_following = true;
  bool m_cursorShown = false;

  // Width of the recording in pixels at the last refresh (px/s x the
  // newest time), and the pixel of the oldest sample still kept.
  double total() const { return m_total; }

  // A new time base. A window the user placed keeps its start time.
  void setSecondsPerDivision(float secondsPerDivision);
  // The store's state at a refresh: whether it holds samples, its newest
  // time and the time of the oldest sample kept (0 until samples leave).
  void refresh(bool hasSamples, double newestTime, double oldestTime);
  // Back to the start: empty window, cursor 0, following.
  void clear();

  // Scroll bar range and position.
  int scrollMinimum() const;
  int scrollMaximum() const;
  int scrollPosition() const;
  // The user moved the scroll bar to `left` (a line, a page or the thumb);
  // held within the scroll range. True when the window moved.
  bool scrollTo(double left);

  // The cursor messages 0x472..0x476. True when the window moved (the
  // chart rebuilds); the chart repaints in every case.
  bool cursorMessage(std::uint32_t message, double position);
  // A click at client x: the cursor on that pixel column of the plot, held
  // within the window, and shown.
  void click(int x);
  // The pointer at client x over the plot: the same; and once it left.
  void pointAt(int x);
  void pointerLeft();
  // The plot column (0 = its left edge) the cursor is on.
  int cursorColumn() const;

  ChartWindow window(int plotBottom) const { return {m_viewLeft, m_viewRight, m_pxPerSecond, plotBottom}; }

 private:
  void followNewest(bool hasSamples);
  void placeWindow(double left);
  // The shown cursor back on the pointer's column after the window moved.
  void keepCursorOnPointer();
  double lastLeft() const { return m_total - kPlotWidth; }

  double m_total = 0;
  double m_oldest = 0;
  int m_pointer = 0;  // plot column of the pointer (or the click)
};

}  // namespace vrx4::chart
