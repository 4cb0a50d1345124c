#include "gui/controls/shown_note.h"

#include "core/base/control_ids.h"
#include "gui/controls/command_reason.h"
#include "gui/controls/control_id.h"

namespace vrx4 {

CShownNote::CShownNote(QWidget* parent, QRect place, ColourWord back) : CColourLabel(QString(), parent) {
  setControlId(this, common_id::kShownNote);
  setTextColour(colour::rgb(176, 0, 0));
  setBackColour(back);
  m_styleOn = 1;  // bold
  applyFont();
  setGeometry(place);
  setVisible(false);
}

void CShownNote::showFor(Shown shown) {
  setText(stateText(shownText(shown)));
  setVisible(shown != Shown::Current);
}

}  // namespace vrx4
