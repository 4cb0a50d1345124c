// A static text with its own text and background colours, an optional
// derived font and, for the main view's selectors, a click.
#pragma once

#include <QLabel>

#include "gui/controls/colour_scheme.h"

namespace vrx4 {

class CColourLabel : public QLabel, public ColourScheme {
  Q_OBJECT
 public:
  explicit CColourLabel(const QString& text, QWidget* parent = nullptr);

  void setTextColour(ColourWord c);
  void setBackColour(ColourWord c);
  // Blinking between the two colour sets of m_blinkText / m_blinkBack.
  void setBlink(bool text, bool back, int periodMs = 1000);
  // Applies m_styleOn, m_styleOff and m_fontHeight to the label's font.
  void applyFont() { deriveFont(this); }
  void setClickable(bool on);

 signals:
  void clicked();

 protected:
  void timerEvent(QTimerEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool m_clickable = false;
};

}  // namespace vrx4
