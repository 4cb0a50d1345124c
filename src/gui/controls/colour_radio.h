// A radio button with its own text colour, on the page's background.
#pragma once

#include <QRadioButton>

#include "gui/controls/colour_scheme.h"

namespace vrx4 {

class CColourRadio : public QRadioButton, public ColourScheme {
 public:
  explicit CColourRadio(const QString& text, QWidget* parent = nullptr) : QRadioButton(text, parent) {
    m_backColour = colour::kNone;
  }
  void setTextColour(ColourWord c) {
    m_textColour = c;
    applyColours(this, ControlKind::Button);
  }
};

}  // namespace vrx4
