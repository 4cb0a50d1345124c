// An edit field with its own text and background colours: panel while it
// is read-only, white while the user may type.
#pragma once

#include <QLineEdit>

#include "gui/controls/colour_scheme.h"

namespace vrx4 {

class CColourEdit : public QLineEdit, public ColourScheme {
 public:
  explicit CColourEdit(QWidget* parent = nullptr) : QLineEdit(parent) {}
  void setTextColour(ColourWord c) {
    m_textColour = c;
    applyColours(this, ControlKind::Edit);
  }
  void setBackColour(ColourWord c) {
    m_backColour = c;
    applyColours(this, ControlKind::Edit);
  }
  // Applies m_styleOn, m_styleOff and m_fontHeight to the field's font.
  void applyFont() { deriveFont(this); }
};

}  // namespace vrx4
