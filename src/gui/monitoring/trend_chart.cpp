#include "gui/monitoring/trend_chart.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

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
  update();
}

void CTrendChart::rebuild() {
  if (m_pStore == nullptr) return;
  const ChartContext c = m_context ? m_context() : ChartContext{};
  const ChannelScales scales = channelScales(c.ctrlUnit, c.auxinUnit, c.pressureScale);
  const ChartWindow window = m_view.window(plotBottom());
  m_pStore->read([&](const SampleView& v) { rebuildPoints(v, window, scales, *m_points); });
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
    }
    update();
  }
  return true;
}

void CTrendChart::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    m_view.click(event->position().toPoint().x() - clientRect().left());
    update();
  }
  QWidget::mousePressEvent(event);
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

  // Curves in channel order; a column of several samples adds a stroke
  // from its lowest to its highest value.
  const ChartPoints& pts = *m_points;
  for (int c = 0; c < kChannelCount; ++c) {
    if (!m_show[static_cast<std::size_t>(c)] || pts.m_nPoints == 0) continue;
    p.setPen(QPen(toQColor(kChannelColours[static_cast<std::size_t>(c)]), 2));
    QPoint previous(pts.m_x[0], pts.m_y[c][0]);
    for (int k = 1; k < pts.m_nPoints; ++k) {
      const QPoint next(pts.m_x[k], pts.m_y[c][k]);
      p.drawLine(previous, next);
      previous = next;
    }
    for (int k = 0; k < pts.m_nPoints; ++k)
      if (pts.m_yTop[c][k] != pts.m_yBottom[c][k]) p.drawLine(pts.m_x[k], pts.m_yTop[c][k], pts.m_x[k], pts.m_yBottom[c][k]);
  }

  // Time labels under every second division line.
  p.setPen(kTimeColour);
  for (int i = 1; i < kXDivisions - 1; i += 2) {
    const QString t = qs(timeLabel(i, m_view.m_viewLeft, m_view.m_pxPerSecond));
    const int w = fm.horizontalAdvance(t);
    textAbove(p, kPlotLeft + i * kXDivision - w / 2, bottom + 30, t);
  }
  textAbove(p, kPlotRight - fm.horizontalAdvance(QStringLiteral("s")) / 2, bottom + 30, QStringLiteral("s"));
}

}  // namespace vrx4
