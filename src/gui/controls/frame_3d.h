// A one-pixel 3-D frame: top and left edges in one colour, bottom and
// right in the other (raised: light then dark; sunken: dark then light).
#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>

namespace vrx4 {

inline void drawFrame3D(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
  p.setPen(topLeft);
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(bottomRight);
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
}

}  // namespace vrx4
