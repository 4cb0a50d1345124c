// A drop-down list with its own text and background colours.
#pragma once

#include <QComboBox>

#include "gui/controls/colour_scheme.h"

namespace vrx4 {

class CColourComboBox : public QComboBox, public ColourScheme {
 public:
  explicit CColourComboBox(QWidget* parent = nullptr) : QComboBox(parent) {}
  void setTextColour(ColourWord c) {
    m_textColour = c;
    applyColours(this, ControlKind::ListBox);
  }
  void setBackColour(ColourWord c) {
    m_backColour = c;
    applyColours(this, ControlKind::ListBox);
  }
};

}  // namespace vrx4
