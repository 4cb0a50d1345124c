#include "gui/controls/indicator_lamp.h"

#include <QPainter>

#include "gui/controls/colour_scheme.h"
#include "gui/controls/control_id.h"

namespace vrx4 {

void CIndicatorLamp::SetPlace(int left, int top, int right, int bottom, ColourWord c) {
  m_rect = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
  m_colour = c;
}

void CIndicatorLamp::Create(QWidget* parent, int id) {
  setParent(parent);
  setControlId(this, id);
  setGeometry(m_rect);
  show();
}

void CIndicatorLamp::SetColour(ColourWord c) {
  m_colour = c;
  repaint();
}

void CIndicatorLamp::paintEvent(QPaintEvent*) {
  ++m_paints;
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(toQColor(m_colour));
  p.drawEllipse(QRectF(0, 0, width(), height()));
}

}  // namespace vrx4
