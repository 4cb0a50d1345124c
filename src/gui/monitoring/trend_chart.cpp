#include "gui/monitoring/trend_chart.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStringList>
#include <algorithm>
#include <vector>

#include "gui/controls/colour_scheme.h"
#include "gui/controls/control_id.h"
#include "core/monitoring/channel_colours.h"
#include "core/monitoring/sample_store.h"

namespace vrx4 {

const QEvent::Type ChartEvent::kType = static_cast<QEvent::Type>(QEvent::registerEventType());

namespace {

using namespace chart;

const QColor kPanelColour(236, 233, 216);
const QColor kLeftScaleColour(99, 151, 103);
const QColor kRightScaleColour(255, 0, 0);
const QColor kTimeColour(255, 128, 0);

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The chart's lettering: Arial at 10 points (13 pixels on the 96 dpi
// screen the layout is drawn for), slightly narrowed.
QFont chartFont() {
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(13);
  f.setStretch(QFont::SemiCondensed);
  return f;
}

// Text whose bottom edge is at y, starting at x.
void textAbove(QPainter& p, int x, int y, const QString& text) {
  const QFontMetrics fm = p.fontMetrics();
  p.drawText(QRect(x, y - fm.height(), fm.horizontalAdvance(text) + 1, fm.height()), Qt::AlignLeft | Qt::AlignBottom,
             text);
}

}  // namespace

CTrendChart::CTrendChart(QWidget* parent) : QWidget(parent), m_points(std::make_unique<ChartPoints>()) {
  m_scroll = new QScrollBar(Qt::Horizontal, this);
  m_scroll->setSingleStep(kScrollLine);
  m_scroll->setPageStep(kScrollPage);
  m_scroll->setRange(0, 0);
  connect(m_scroll, &QScrollBar::valueChanged, this, [this](int value) { onScroll(value); });
  setFont(chartFont());
  setMouseTracking(true);
}

CTrendChart::~CTrendChart() = default;

void CTrendChart::Create(CSampleStore* store, const QRect& rect, int id) {
  m_pStore = store;
  setControlId(this, id);
  setGeometry(rect);
  Refresh();
  show();
}

void CTrendChart::setSecondsPerDivision(float secondsPerDivision) { m_view.setSecondsPerDivision(secondsPerDivision); }

void CTrendChart::setShow(int channel, bool show) {
  m_show[static_cast<std::size_t>(channel)] = show;
  update();
}

QRect CTrendChart::clientRect() const { return rect().adjusted(1, 1, -1, -1 - kScrollBarHeight); }

int CTrendChart::plotBottom() const { return kPlotTopMargin + kPlotHeight; }

void CTrendChart::resizeEvent(QResizeEvent*) {
  m_scroll->setGeometry(1, height() - 1 - kScrollBarHeight, width() - 2, kScrollBarHeight);
}

void CTrendChart::Refresh() {
  if (m_pStore == nullptr) return;
  struct Span {
    std::size_t count = 0;
    double newest = 0;
    double oldest = 0;
  };
  const bool samplesLeft = m_pStore->droppedOldest() > 0;
  const Span s = m_pStore->read([&](const SampleView& v) {
    Span span;
    span.count = v.size();
    if (span.count > 0) {
      span.newest = v.time(span.count - 1);
      if (samplesLeft) span.oldest = v.time(0);
    }
    return span;
  });
  m_nSamples = s.count;
  if (s.count > 0) m_lastRefreshTime = s.newest;
  m_view.refresh(s.count > 0, s.newest, s.oldest);
  rebuild();
  updateScrollBar();
  update();
}

void CTrendChart::Clear() {
  if (m_pStore != nullptr) m_pStore->Clear();
  m_lastRefreshTime = 0;
  m_nSamples = 0;
  m_points->m_nPoints = 0;
  m_view.clear();
  updateScrollBar();
  updateReadout();
  update();
}

void CTrendChart::rebuild() {
  if (m_pStore == nullptr) return;
  const ChartContext c = m_context ? m_context() : ChartContext{};
  const ChannelScales scales = channelScales(c.ctrlUnit, c.auxinUnit, c.pressureScale);
  const ChartWindow window = m_view.window(plotBottom());
  m_pStore->read([&](const SampleView& v) { rebuildPoints(v, window, scales, *m_points); });
  updateReadout();
}

void CTrendChart::updateReadout() {
  if (m_pStore == nullptr || !m_view.m_cursorShown) return;
  const ChartContext c = m_context ? m_context() : ChartContext{};
  const ChannelScales scales = channelScales(c.ctrlUnit, c.auxinUnit, c.pressureScale);
  const ReadoutUnits units{c.ctrlUnit, c.auxinUnit, static_cast<std::uint8_t>(c.pressureUnit)};
  const ChartWindow window = m_view.window(plotBottom());
  const int column = m_view.cursorColumn();
  m_pStore->read([&](const SampleView& v) { m_readout = cursorReadout(v, window, scales, units, column); });
}

bool CTrendChart::overPlot(QPointF position, int& clientX) const {
  const QPoint at = position.toPoint() - clientRect().topLeft();
  clientX = at.x();
  return at.x() >= kPlotLeft && at.x() <= kPlotRight && at.y() >= kPlotTopMargin - 5 && at.y() <= plotBottom() + 5;
}

void CTrendChart::updateScrollBar() {
  m_settingScroll = true;
  m_scroll->setRange(m_view.scrollMinimum(), m_view.scrollMaximum());
  m_scroll->setValue(m_view.scrollPosition());
  m_settingScroll = false;
}

void CTrendChart::onScroll(int value) {
  if (m_settingScroll) return;
  if (m_view.scrollTo(value)) rebuild();
  else updateReadout();
  update();
}

bool CTrendChart::event(QEvent* e) {
  if (e->type() != ChartEvent::kType) return QWidget::event(e);
  const auto* ce = static_cast<ChartEvent*>(e);
  if (ce->m_message == kMsgRefresh) {
    Refresh();
  } else {
    if (m_view.cursorMessage(ce->m_message, static_cast<double>(ce->m_lParam))) {
      rebuild();
      updateScrollBar();
    } else {
      updateReadout();
    }
    update();
  }
  return true;
}

void CTrendChart::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    m_view.click(event->position().toPoint().x() - clientRect().left());
    updateReadout();
    update();
  }
  QWidget::mousePressEvent(event);
}

void CTrendChart::mouseMoveEvent(QMouseEvent* event) {
  int x = 0;
  if (overPlot(event->position(), x)) {
    // Nothing to do while the pointer stays on the cursor's pixel column.
    const bool moved = !m_view.m_cursorShown || std::clamp(x - kPlotLeft, 0, kPlotWidth - 1) != m_view.cursorColumn();
    m_view.pointAt(x);
    if (moved) {
      updateReadout();
      update();
    }
  } else if (m_view.m_cursorShown) {
    m_view.pointerLeft();
    update();
  }
  QWidget::mouseMoveEvent(event);
}

void CTrendChart::leaveEvent(QEvent* event) {
  if (m_view.m_cursorShown) {
    m_view.pointerLeft();
    update();
  }
  QWidget::leaveEvent(event);
}

void CTrendChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(QColor(0, 0, 0));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  const QRect client = clientRect();
  p.setClipRect(client);
  p.translate(client.topLeft());
  p.fillRect(QRect(QPoint(0, 0), client.size()), kPanelColour);

  const ChartContext ctx = m_context ? m_context() : ChartContext{};
  const int top = kPlotTopMargin, bottom = plotBottom();

  // Grid, axes and arrowheads, all in the white grid pen.
  p.setPen(QPen(Qt::white, 1));
  for (int i = 0; i <= kYDivisions; ++i) p.drawLine(kPlotLeft, bottom - i * kYDivision, kPlotRight, bottom - i * kYDivision);
  p.drawLine(10, bottom, 590, bottom);
  for (int i = 0; i <= kXDivisions; ++i) p.drawLine(kPlotLeft + i * kXDivision, bottom, kPlotLeft + i * kXDivision, top);
  p.drawLine(kPlotLeft, bottom + 20, kPlotLeft, top - 20);
  p.drawLine(kPlotRight, bottom + 20, kPlotRight, top - 20);
  p.setBrush(kPanelColour);
  const QPoint leftArrow[] = {{kPlotLeft, top - 30}, {kPlotLeft + 5, top - 20}, {kPlotLeft - 5, top - 20}};
  const QPoint rightArrow[] = {{kPlotRight, top - 30}, {kPlotRight + 5, top - 20}, {kPlotRight - 5, top - 20}};
  const QPoint timeArrow[] = {{590, bottom}, {580, bottom + 5}, {580, bottom - 5}};
  p.drawPolygon(leftArrow, 3);
  p.drawPolygon(rightArrow, 3);
  p.drawPolygon(timeArrow, 3);
  p.setBrush(Qt::NoBrush);

  // Value labels and scale captions.
  const QFontMetrics fm = p.fontMetrics();
  for (int i = 1; i <= kYDivisions; ++i) {
    const int y = bottom - i * kYDivision;
    const QString left = qs(leftValueLabel(i));
    const QString right = qs(rightValueLabel(i));
    p.setPen(kLeftScaleColour);
    p.drawText(QRect(0, y - fm.height() / 2, kPlotLeft, fm.height()), Qt::AlignRight | Qt::AlignVCenter, left);
    p.setPen(kRightScaleColour);
    const int w = fm.horizontalAdvance(right);
    p.drawText(QRect(kPlotRight + w / 2, y - fm.height() / 2, w + 1, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
               right);
  }
  p.setPen(kLeftScaleColour);
  textAbove(p, 35, top, qs(leftCaption(ctx.pressureScale, ctx.pressureUnit)));
  p.setPen(kRightScaleColour);
  const QString rightCaptionText = qs(rightCaption(ctx.pressureScale, ctx.pressureUnit));
  textAbove(p, kPlotRight - 5 - fm.horizontalAdvance(rightCaptionText), top, rightCaptionText);

  // Curves in channel order, broken at every gap; a column of several
  // samples adds a stroke from its lowest to its highest value, and a
  // point joined to neither neighbour shows as a dot.
  const ChartPoints& pts = *m_points;
  for (int c = 0; c < kChannelCount; ++c) {
    if (!m_show[static_cast<std::size_t>(c)] || pts.m_nPoints == 0) continue;
    p.setPen(QPen(toQColor(kChannelColours[static_cast<std::size_t>(c)]), 2));
    for (int k = 0; k < pts.m_nPoints; ++k) {
      const int x = pts.m_x[k];
      if (k > 0 && pts.m_break[k] == 0) p.drawLine(pts.m_x[k - 1], pts.m_y[c][k - 1], x, pts.m_y[c][k]);
      if (pts.m_yTop[c][k] != pts.m_yBottom[c][k]) p.drawLine(x, pts.m_yTop[c][k], x, pts.m_yBottom[c][k]);
      else if (isolated(pts, k)) p.drawLine(x - 1, pts.m_y[c][k], x + 1, pts.m_y[c][k]);
    }
  }

  // Time labels under every second division line.
  p.setPen(kTimeColour);
  for (int i = 1; i < kXDivisions - 1; i += 2) {
    const QString t = qs(timeLabel(i, m_view.m_viewLeft, m_view.m_pxPerSecond));
    const int w = fm.horizontalAdvance(t);
    textAbove(p, kPlotLeft + i * kXDivision - w / 2, bottom + 30, t);
  }
  textAbove(p, kPlotRight - fm.horizontalAdvance(QStringLiteral("s")) / 2, bottom + 30, QStringLiteral("s"));

  if (m_view.m_cursorShown) paintCursor(p);
}

void CTrendChart::paintCursor(QPainter& p) {
  const int top = kPlotTopMargin, bottom = plotBottom();
  const int x = kPlotLeft + m_view.cursorColumn();
  p.setPen(QPen(QColor(64, 64, 64), 1));
  p.drawLine(x, top, x, bottom);

  // A ring on each shown curve at the sample; a ring where an earlier one
  // lies already is drawn larger round it, so that curves lying on one
  // another can each be found.
  p.setBrush(Qt::NoBrush);
  if (m_readout.found) {
    for (int c = 0; c < kChannelCount; ++c) {
      if (!m_show[static_cast<std::size_t>(c)]) continue;
      int radius = 4;
      for (int e = 0; e < c; ++e) radius += m_show[static_cast<std::size_t>(e)] && m_readout.y[e] == m_readout.y[c] ? 3 : 0;
      p.setPen(QPen(toQColor(kChannelColours[static_cast<std::size_t>(c)]), 2));
      p.drawEllipse(QPoint(m_readout.x, m_readout.y[c]), radius, radius);
    }
  }

  // The box: the time, then each shown channel's name and value in its
  // colour, beside the cursor (on its left near the plot's right end).
  const QFontMetrics fm = p.fontMetrics();
  QStringList names, values;
  std::vector<QColor> colours;
  int nameWidth = 0, valueWidth = fm.horizontalAdvance(qs(m_readout.time));
  for (int c = 0; c < kChannelCount; ++c) {
    if (!m_show[static_cast<std::size_t>(c)]) continue;
    names << QString::fromLatin1(kChannelNames[static_cast<std::size_t>(c)]);
    values << qs(m_readout.value[static_cast<std::size_t>(c)]);
    colours.push_back(toQColor(kChannelColours[static_cast<std::size_t>(c)]));
    nameWidth = std::max(nameWidth, fm.horizontalAdvance(names.back()));
    valueWidth = std::max(valueWidth, fm.horizontalAdvance(values.back()));
  }
  const int line = fm.height();
  const int gap = 8;
  const int w = nameWidth + gap + valueWidth + 10;
  const int h = line * (1 + static_cast<int>(names.size())) + 6;
  const int boxX = x + 8 + w <= kPlotRight ? x + 8 : x - 8 - w;
  const QRect box(boxX, top + 4, w, h);
  p.setPen(QColor(160, 160, 160));
  p.setBrush(Qt::white);
  p.drawRect(box);
  p.setBrush(Qt::NoBrush);
  p.setPen(Qt::black);
  p.drawText(QRect(box.left() + 5, box.top() + 3, w - 10, line), Qt::AlignRight | Qt::AlignVCenter,
             qs(m_readout.time));
  for (int i = 0; i < names.size(); ++i) {
    const int y = box.top() + 3 + line * (i + 1);
    p.setPen(colours[static_cast<std::size_t>(i)]);
    p.drawText(QRect(box.left() + 5, y, nameWidth, line), Qt::AlignLeft | Qt::AlignVCenter, names[i]);
    p.drawText(QRect(box.left() + 5 + nameWidth + gap, y, valueWidth, line), Qt::AlignRight | Qt::AlignVCenter,
               values[i]);
  }
}

}  // namespace vrx4
