#include "gui/controls/colour_label.h"

#include <QMouseEvent>
#include <QTimerEvent>

namespace vrx4 {

CColourLabel::CColourLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void CColourLabel::setTextColour(ColourWord c) {
  m_textColour = c;
  applyColours(this, ControlKind::Static);
}

void CColourLabel::setBackColour(ColourWord c) {
  m_backColour = c;
  applyColours(this, ControlKind::Static);
}

void CColourLabel::setBlink(bool text, bool back, int periodMs) {
  m_blinkTextOn = text;
  m_blinkBackOn = back;
  m_blinkPeriod = periodMs;
  startBlinkTimer(this);
  applyColours(this, ControlKind::Static);
}

void CColourLabel::setClickable(bool on) {
  m_clickable = on;
  setCursor(on ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void CColourLabel::timerEvent(QTimerEvent* event) {
  if (!onTimer(this, ControlKind::Static, event->timerId())) QLabel::timerEvent(event);
}

void CColourLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (m_clickable && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit clicked();
    return;
  }
  QLabel::mouseReleaseEvent(event);
}

}  // namespace vrx4
