// A check box with its own text colour, on the page's background (the
// graph page's channel boxes carry their curve's colour).
#pragma once

#include <QCheckBox>

#include "gui/controls/colour_scheme.h"

namespace vrx4 {

class CColourCheckBox : public QCheckBox, public ColourScheme {
 public:
  explicit CColourCheckBox(const QString& text, QWidget* parent = nullptr) : QCheckBox(text, parent) {
    m_backColour = colour::kNone;
  }
  void setTextColour(ColourWord c) {
    m_textColour = c;
    applyColours(this, ControlKind::Button);
  }
};

}  // namespace vrx4
