// Values the regulator has not confirmed are shown as last read: their
// text in grey, and a note on the page that says why.
#pragma once

#include <QRect>

#include "core/base/command_reasons.h"
#include "gui/controls/colour_label.h"

namespace vrx4 {

// The text colour of a value shown as last read.
constexpr ColourWord kLastReadText = colour::rgb(128, 128, 128);

// The note: hidden while the values are current. Its text follows the
// language (the view tells the pages again after each label load).
class CShownNote : public CColourLabel {
 public:
  CShownNote(QWidget* parent, QRect place, ColourWord back);
  void showFor(Shown shown);
};

}  // namespace vrx4
