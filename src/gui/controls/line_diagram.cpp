#include "gui/controls/line_diagram.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include "gui/controls/colour_scheme.h"
#include "gui/controls/control_id.h"
#include "core/pages/line_diagram_scale.h"

namespace vrx4 {
namespace {

constexpr ColourWord kYNumbers = colour::rgb(99, 151, 103);
constexpr ColourWord kXNumbers = colour::rgb(255, 128, 0);
// Arial at 7 points: 9 pixels of character height on a 96 dpi screen.
constexpr int kFontPixels = 9;

}  // namespace

CLineDiagram::CLineDiagram(QWidget* parent) : QWidget(parent) {}

void CLineDiagram::Create(float yScale, float xScale, const QString& xCaption, const QString& yCaption,
                          const QString& title, ColourWord colour, const QRect& rect, QWidget* parent, int id) {
  m_yScale = yScale;
  m_xScale = xScale;
  m_xCaption = xCaption;
  m_yCaption = yCaption;
  m_title = title;
  m_colour = colour;
  m_x1 = m_x2 = m_y1 = m_y2 = 0;
  setParent(parent);
  setControlId(this, id);
  setGeometry(rect);
  show();
}

void CLineDiagram::SetScales(float yScale, float xScale) {
  m_yScale = yScale;
  m_xScale = xScale;
  update();
}

void CLineDiagram::SetLine(double x1, double x2, double y1, double y2, const QString& xCaption,
                           const QString& yCaption) {
  m_xCaption = xCaption;
  m_yCaption = yCaption;
  m_x1 = diagramPixelX(x1, m_xScale);
  m_x2 = diagramPixelX(x2, m_xScale);
  m_y1 = diagramPixelY(y1, m_yScale);
  m_y2 = diagramPixelY(y2, m_yScale);
  update();
}

void CLineDiagram::paintEvent(QPaintEvent*) {
  QPainter p(this);
  // The border, then everything else in client coordinates.
  p.setPen(Qt::black);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  const QRect client = clientRect();
  p.translate(client.topLeft());
  p.setClipRect(QRect(QPoint(0, 0), client.size()));

  using namespace diagram;
  const int left = kLeft, right = kRight, top = kTop, bottom = kBottom;
  const int xStep = (right - left) / m_nXDivisions;
  const int yStep = (bottom - top) / m_nYDivisions;
  const QColor panel = toQColor(colour::kPanel);
  p.fillRect(QRect(QPoint(0, 0), client.size()), panel);

  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(kFontPixels);
  font.setWeight(QFont::Normal);
  p.setFont(font);
  const QFontMetrics fm(font);
  const int textHeight = fm.height();

  // Grid, axes and arrowheads in white.
  p.setPen(QPen(Qt::white, 1));
  for (int i = 0; i <= m_nYDivisions; ++i) p.drawLine(left, bottom - i * yStep, right, bottom - i * yStep);
  p.drawLine(10, bottom, 250, bottom);
  for (int i = 0; i <= m_nXDivisions; ++i) p.drawLine(left + i * xStep, bottom, left + i * xStep, top);
  p.drawLine(left, bottom + 20, left, top - 20);
  p.setBrush(panel);
  p.drawPolygon(QPolygon({QPoint(left, top - 30), QPoint(left + 5, top - 20), QPoint(left - 5, top - 20)}));
  p.drawPolygon(QPolygon({QPoint(250, bottom), QPoint(240, bottom + 5), QPoint(240, bottom - 5)}));
  p.setBrush(Qt::NoBrush);

  // Text with its top-left corner at (x, y), on cells of the panel colour
  // (the text background), so that an axis behind a caption does not
  // cross its letters.
  auto text = [&](int x, int y, const QString& s) {
    const QRect cell(x, y, fm.horizontalAdvance(s) + 1, textHeight);
    p.fillRect(cell, panel);
    p.drawText(cell, Qt::AlignLeft | Qt::AlignTop, s);
  };

  p.setPen(toQColor(kYNumbers));
  for (int i = 1; i <= m_nYDivisions; ++i) {
    const QString n = QString::fromStdString(axisNumber(m_yScale, i));
    text(15 - fm.horizontalAdvance(n) / 2, bottom - i * yStep - textHeight / 2, n);
  }
  text(5, top - textHeight - 10, m_yCaption);

  p.setPen(QPen(toQColor(m_colour), 2));
  p.drawLine(m_x1, m_y1, m_x2, m_y2);

  p.setPen(toQColor(m_colour));
  text((client.width() - fm.horizontalAdvance(m_title)) / 2, top - textHeight - 15, m_title);

  p.setPen(toQColor(kXNumbers));
  for (int i = 1; i < m_nXDivisions; ++i) {
    const QString n = QString::fromStdString(axisNumber(m_xScale, i));
    text(left + i * xStep - fm.horizontalAdvance(n) / 2, bottom + textHeight, n);
  }
  text(client.width() - 5 - fm.horizontalAdvance(m_xCaption), bottom + textHeight, m_xCaption);
}

}  // namespace vrx4
