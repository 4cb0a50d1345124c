// The trend chart: the recorded live values against time on a grid of 15
// time divisions and 10 value divisions, a left scale (volts or bar) and a
// right one (milliamperes and the 24 V supply), with a scroll bar through
// the recording. The points, scales, captions and the window come from the
// chart arithmetic (chart_points.h, chart_viewport.h); this widget paints
// them and passes on what the user does. With the pointer over the plot a
// cursor shows the sample under it: its time and, in each shown channel's
// colour, its value (the sample and the texts come from the arithmetic
// too). The chart reads only the sample store, whatever filled it.
#pragma once

#include <QColor>
#include <QEvent>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/monitoring/chart_points.h"
#include "core/monitoring/chart_viewport.h"

class QScrollBar;

namespace vrx4 {

class CSampleStore;

// A message to the chart: 0x471 refresh, 0x472..0x476 cursor moves
// (lParam: the position for 0x472).
class ChartEvent : public QEvent {
 public:
  static const QEvent::Type kType;
  ChartEvent(std::uint32_t message, std::intptr_t lParam) : QEvent(kType), m_message(message), m_lParam(lParam) {}
  std::uint32_t m_message;
  std::intptr_t m_lParam;
};

// What the scales and captions depend on, read at every rebuild and paint.
struct ChartContext {
  int ctrlUnit = 0;       // 1: CONTROL is a current input (right scale)
  int auxinUnit = 0;      // 1: AUXin is a current input
  int pressureScale = 0;  // 1: the high pressure range
  int pressureUnit = 0;   // 0 bar, 1 PSI, 2 kPa, 3 MPa
};

class CTrendChart : public QWidget {
 public:
  static constexpr int kId = 9002;
  static constexpr std::uint32_t kMsgRefresh = 0x471;
  static constexpr int kScrollBarHeight = 17;

  explicit CTrendChart(QWidget* parent);
  ~CTrendChart() override;

  // Places the chart (a child with a border and a horizontal scroll bar)
  // and draws the store's samples.
  void Create(CSampleStore* store, const QRect& rect, int id);
  void setContext(std::function<ChartContext()> context) { m_context = std::move(context); }
  void setSecondsPerDivision(float secondsPerDivision);

  // 0x471: the newest samples into view (unless the user scrolled back),
  // the points rebuilt, the chart repainted.
  void Refresh();
  // Empties the store, the points and the window.
  void Clear();

  void setShow(int channel, bool show);
  bool shown(int channel) const { return m_show[static_cast<std::size_t>(channel)]; }

  // For tests and the benchmark.
  const chart::ChartPoints& points() const { return *m_points; }
  // The readout at the cursor, kept up to date while the cursor is shown.
  const chart::CursorReadout& readout() const { return m_readout; }
  const chart::ChartViewport& viewport() const { return m_view; }
  QScrollBar* scrollBar() const { return m_scroll; }
  void rebuild();
  // The plot's client area: inside the border, above the scroll bar.
  QRect clientRect() const;

  double m_lastRefreshTime = 0;
  std::size_t m_nSamples = 0;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void updateScrollBar();
  // The sample under the cursor and its texts again.
  void updateReadout();
  // Whether a point of the widget lies over the plot; its client x.
  bool overPlot(QPointF position, int& clientX) const;
  void paintCursor(QPainter& p);
  void onScroll(int value);
  int plotBottom() const;

  CSampleStore* m_pStore = nullptr;
  std::unique_ptr<chart::ChartPoints> m_points;
  chart::ChartViewport m_view;
  std::array<bool, kChannelCount> m_show{};
  std::function<ChartContext()> m_context;
  QScrollBar* m_scroll = nullptr;
  bool m_settingScroll = false;
  chart::CursorReadout m_readout;
};

}  // namespace vrx4
