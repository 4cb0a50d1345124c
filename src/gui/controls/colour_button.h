// A push button drawn by the program in its own colours: raised frames, a
// face in the background colour, the text in the text colour, an engraved
// look when disabled.
#pragma once

#include <QPushButton>

#include "gui/controls/colour_scheme.h"

namespace vrx4 {

class CColourButton : public QPushButton, public ColourScheme {
 public:
  explicit CColourButton(const QString& text, QWidget* parent = nullptr);
  void setTextColour(ColourWord c);
  void setBackColour(ColourWord c);
  void setBlink(bool text, bool back, int periodMs = 1000);
  void setFlat(bool flat) { m_flat = flat; update(); }
  // Applies m_styleOn, m_styleOff and m_fontHeight to the button's font.
  void applyFont() { deriveFont(this); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  bool m_flat = false;
};

}  // namespace vrx4
