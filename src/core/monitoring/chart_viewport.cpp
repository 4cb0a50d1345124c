#include "core/monitoring/chart_viewport.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vrx4::chart {
namespace {

int toScroll(double px) {
  constexpr double kMax = std::numeric_limits<int>::max();
  if (!(px > 0)) return 0;
  return px >= kMax ? std::numeric_limits<int>::max() : static_cast<int>(px);
}

}  // namespace

void ChartViewport::setSecondsPerDivision(float secondsPerDivision) {
  const float pps = pxPerSecond(secondsPerDivision);
  if (!(pps > 0) || !std::isfinite(pps) || pps == m_pxPerSecond) return;
  const double scale = static_cast<double>(pps) / m_pxPerSecond;
  // Everything in pixels scales with the new time base, so the window
  // keeps its start time and the cursor its time.
  m_total *= scale;
  m_oldest *= scale;
  m_viewLeft *= scale;
  m_viewRight *= scale;
  m_cursor *= scale;
  m_pxPerSecond = pps;
  keepCursorOnPointer();
}

void ChartViewport::refresh(bool hasSamples, double newestTime, double oldestTime) {
  m_total = m_pxPerSecond * newestTime;
  m_oldest = m_pxPerSecond * oldestTime;
  if (m_following) followNewest(hasSamples);
  else placeWindow(m_viewLeft);
  keepCursorOnPointer();
}

void ChartViewport::followNewest(bool hasSamples) {
  if (hasSamples && m_total <= kPlotWidth) {
    m_viewLeft = 0;
    m_viewRight = m_total - 1;
  } else if (m_total > kPlotWidth) {
    m_viewRight = m_total;
    m_viewLeft = m_total - (kPlotWidth - 1);
  }
  m_cursor = m_viewRight;
}

void ChartViewport::clear() {
  m_viewLeft = m_viewRight = m_cursor = 0;
  m_total = m_oldest = 0;
  m_following = true;
}

int ChartViewport::scrollMinimum() const { return std::min(toScroll(std::trunc(m_oldest)), scrollMaximum()); }

int ChartViewport::scrollMaximum() const { return toScroll(std::trunc(lastLeft())); }

int ChartViewport::scrollPosition() const {
  return std::clamp(toScroll(m_viewLeft), scrollMinimum(), scrollMaximum());
}

void ChartViewport::placeWindow(double left) {
  const double lo = scrollMinimum();
  const double hi = std::max(lo, lastLeft());
  left = std::clamp(left, lo, hi);
  m_viewLeft = left;
  m_viewRight = m_total <= kPlotWidth ? m_total - 1 : left + (kPlotWidth - 1);
  m_following = m_total <= kPlotWidth || left >= lastLeft();
}

bool ChartViewport::scrollTo(double left) {
  const double before = m_viewLeft, beforeRight = m_viewRight;
  // The scroll bar counts whole pixels: its last position is the end.
  if (left >= scrollMaximum()) left = lastLeft();
  placeWindow(left);
  keepCursorOnPointer();
  return m_viewLeft != before || m_viewRight != beforeRight;
}

bool ChartViewport::cursorMessage(std::uint32_t message, double position) {
  const double total = m_total;
  const bool wide = total >= kPlotWidth;
  bool moved = false;
  auto moveLeftTo = [&](double left) {
    m_viewLeft = left;
    m_viewRight = m_viewLeft + (kPlotWidth - 1);
    m_following = m_viewLeft >= lastLeft();
    moved = true;
  };
  switch (message) {
    case kMsgCursorTo:
      m_cursor = position;
      if (m_cursor > total) break;
      if (m_cursor >= m_viewLeft && m_cursor <= m_viewRight) break;
      // The cursor outside the window: the window jumps to show it, centred
      // unless it is near either end (never left of time 0).
      if (m_cursor < kPlotWidth / 2) moveLeftTo(0);
      else if (total - m_cursor <= kPlotWidth - 1) moveLeftTo(std::max(0.0, total - kPlotWidth));
      else moveLeftTo(m_cursor - kPlotWidth / 2);
      break;
    case kMsgCursorLeft1:
      if (m_cursor == m_viewLeft && wide) moveLeftTo(m_viewLeft < 1 ? 0 : m_viewLeft - 1);
      if (m_cursor > 0) m_cursor -= 1;
      break;
    case kMsgCursorRight1:
      if (m_cursor == m_viewRight && wide) moveLeftTo(std::min(m_viewLeft + 1, lastLeft()));
      if (m_cursor < total - 1) m_cursor += 1;
      break;
    case kMsgCursorLeft6:
      if (m_cursor < m_viewLeft + 6 && wide) moveLeftTo(m_viewLeft < 6 ? 0 : m_viewLeft - 6);
      m_cursor = m_cursor < 6 ? 0 : m_cursor - 6;
      break;
    case kMsgCursorRight6:
      if (m_cursor + 6 >= m_viewRight && wide) moveLeftTo(std::min(m_viewLeft + 6, lastLeft()));
      m_cursor = std::min(m_cursor + 6, total - 1);
      break;
    default:
      break;
  }
  if (m_cursorShown) m_pointer = cursorColumn();
  return moved;
}

void ChartViewport::click(int x) { pointAt(x); }

void ChartViewport::pointAt(int x) {
  // Measured from the plot's left edge, where the window starts, so that
  // the cursor is drawn where the user pointed.
  m_pointer = std::clamp(x - kPlotLeft, 0, kPlotWidth - 1);
  m_cursorShown = true;
  keepCursorOnPointer();
}

void ChartViewport::pointerLeft() { m_cursorShown = false; }

void ChartViewport::keepCursorOnPointer() {
  if (!m_cursorShown) return;
  m_cursor = std::max(m_viewLeft, std::min(m_viewLeft + m_pointer, m_viewRight));
}

int ChartViewport::cursorColumn() const {
  return std::clamp(static_cast<int>(std::floor(m_cursor - m_viewLeft)), 0, kPlotWidth - 1);
}

}  // namespace vrx4::chart
