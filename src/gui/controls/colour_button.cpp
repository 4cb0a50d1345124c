#include "gui/controls/colour_button.h"

#include <QPainter>
#include <QTimerEvent>

#include "gui/controls/frame_3d.h"

namespace vrx4 {

CColourButton::CColourButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void CColourButton::setTextColour(ColourWord c) {
  m_textColour = c;
  update();
}

void CColourButton::setBackColour(ColourWord c) {
  m_backColour = c;
  update();
}

void CColourButton::setBlink(bool text, bool back, int periodMs) {
  m_blinkTextOn = text;
  m_blinkBackOn = back;
  m_blinkPeriod = periodMs;
  startBlinkTimer(this);
  update();
}

void CColourButton::timerEvent(QTimerEvent* event) {
  if (event->timerId() == m_timer && m_timer != 0) {
    if (m_blinkTextOn || m_blinkBackOn) {
      m_blinkPhase ^= 1;
      update();
    }
    return;
  }
  QPushButton::timerEvent(event);
}

void CColourButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette plain;
  auto sys = [&](int n) { return toQColor(systemColour(plain, n)); };
  QRect r = rect().adjusted(0, 0, -1, -1);
  const QRect focusRect = rect().adjusted(4, 4, -4, -4);
  const bool pressed = isDown() || isChecked();

  if (hasFocus() || isDefault()) {
    p.setPen(sys(colour::kSysWindowFrame));
    p.drawRect(r);
    r.adjust(1, 1, -1, -1);
  }
  if (m_flat) {
    p.setPen(sys(colour::kSysWindowFrame));
    p.drawRect(r);
    r.adjust(1, 1, -1, -1);
    p.setPen(sys(colour::kSysWindow));
    p.drawRect(r);
  } else if (!pressed) {
    drawFrame3D(p, r, sys(colour::kSysHighlight3D), sys(colour::kSysDarkShadow3D));
    r.adjust(1, 1, -1, -1);
    drawFrame3D(p, r, sys(colour::kSysButtonFace), sys(colour::kSysButtonShadow));
  } else {
    p.setPen(sys(colour::kSysButtonShadow));
    p.drawRect(r);
    r.adjust(1, 1, -1, -1);
    p.setPen(sys(colour::kSysButtonFace));
    p.drawRect(r);
  }
  r.adjust(1, 1, -1, -1);

  const ResolvedColours c = query(this, ControlKind::Button);
  const QColor face = c.systemLook ? sys(colour::kSysButtonFace) : c.back ? toQColor(*c.back) : QColor();
  if (face.isValid()) p.fillRect(r.adjusted(0, 0, 1, 1), face);

  const int flags = Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextWordWrap;
  QRect textRect = r.adjusted(0, 0, 1, 1);
  p.setFont(font());
  if (!isEnabled()) {
    // Engraved: a highlight copy one pixel below and right of the shadow,
    // in crisp pixels so that the two copies read as a relief.
    QFont crisp = font();
    crisp.setStyleStrategy(QFont::NoAntialias);
    p.setFont(crisp);
    textRect.adjust(2, 2, 0, 0);
    p.setPen(sys(colour::kSysHighlight3D));
    p.drawText(textRect, flags, text());
    textRect.adjust(-1, -1, 0, 0);
    p.setPen(sys(colour::kSysButtonShadow));
    p.drawText(textRect, flags, text());
  } else {
    if (pressed) textRect.adjust(2, 2, 0, 0);
    p.setPen(c.systemLook ? sys(colour::kSysButtonText) : toQColor(c.text));
    p.drawText(textRect, flags, text());
  }
  if (hasFocus()) {
    QPen pen(sys(colour::kSysWindowText));
    pen.setStyle(Qt::DotLine);
    p.setPen(pen);
    p.drawRect(focusRect.adjusted(0, 0, -1, -1));
  }
}

}  // namespace vrx4
