// The multi-line edit of the EEPROM map pages: a fixed-pitch font so that
// the columns line up, every letter typed or pasted in upper case, its
// text drawn in a colour of its own (red while a dump is being written).
#pragma once

#include <QPlainTextEdit>

#include "core/base/colour_word.h"

namespace vrx4 {

class CMapEdit : public QPlainTextEdit {
 public:
  CMapEdit(int controlId, QWidget* parent);

  void setTextColour(ColourWord colour);
  ColourWord textColour() const { return m_textColour; }
  // The caret at the start, the view scrolled back to it.
  void caretToStart();
  // The caret at a 1-based line and a column of it.
  void caretTo(std::size_t line, std::size_t column);
  // The text with CR LF line ends, as the pages' rules read it.
  std::string crLfText() const;
  void setCrLfText(const std::string& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  ColourWord m_textColour = colour::kBlack;
};

}  // namespace vrx4
