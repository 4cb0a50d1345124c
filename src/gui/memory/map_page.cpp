#include "gui/memory/map_page.h"

#include <QPainter>

#include "gui/controls/colour_button.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/colour_scheme.h"
#include "gui/controls/command_reason.h"
#include "gui/controls/control_id.h"
#include "gui/controls/shown_note.h"
#include "gui/memory/map_edit.h"
#include "core/memory/eeprom_map.h"

namespace vrx4 {

CMapPage::CMapPage(int dialogId, const MemoryHost& host, QWidget* parent)
    : CPage(dialogId, parent, colour::kWhite), m_host(host) {}

QPushButton* CMapPage::addButton(int id, const char* text, QRect place, ColourWord back,
                                 std::function<void()> handler) {
  auto* b = new CColourButton(QString::fromUtf8(text), this);
  setControlId(b, id);
  b->setTextColour(colour::kBlack);
  b->setBackColour(back);
  b->setGeometry(place);
  connect(b, &QPushButton::clicked, this, std::move(handler));
  return b;
}

CColourLabel* CMapPage::addCaption(int id, const char* text, QRect place) {
  auto* l = new CColourLabel(QString::fromUtf8(text), this);
  setControlId(l, id);
  l->setTextColour(colour::kBlack);
  l->setBackColour(colour::kPanel);
  l->m_styleOn = 1;  // bold, as the page titles
  l->applyFont();
  l->setGeometry(place);
  return l;
}

void CMapPage::ShowFreshness(Shown images, bool) {
  m_images = images;
  applyFreshness();
}

ColourWord CMapPage::restingColour() const { return m_images == Shown::Current ? colour::kBlack : kLastReadText; }

void CMapPage::markResting(CMapEdit* text) const {
  text->setTextColour(restingColour());
  text->setToolTip(stateText(shownText(m_images)));
}

QPushButton* CMapPage::button(int id) { return findControl<QPushButton>(this, id); }

void CMapPage::enableButtons(std::initializer_list<int> ids, bool enable) {
  for (int id : ids) setCommandEnabled(button(id), enable, waitReason());
}

whole_config::EditWrite CMapPage::writeArea(Area area, const Image& edit) {
  const auto r = whole_config::writeEdits(*m_host.state, eeprom_map::writeOp(area),
                                          [&](Images& im) { im.edit(area) = edit; });
  if (r == whole_config::EditWrite::Busy) showMessage(m_host.textOf(MemoryText::TransferBusy));
  return r;
}

CMapPage::Changes CMapPage::changesOverDevice(Area area, const Image& typed) {
  DeviceState& s = *m_host.state;
  // A transfer may be filling the device images right now.
  if (s.requestPending()) {
    showMessage(m_host.textOf(MemoryText::TransferBusy));
    return {};
  }
  const Images now = s.snapshot();
  eeprom_map::Merge m = eeprom_map::mergeEdit(area, m_shown[area == Area::Base ? 0 : 1], typed, now);
  if (m.ok()) return {m.edit, std::nullopt};
  showMessage(fillIn(m_host.textOf(MemoryText::ChangedMeanwhile), QString::fromStdString(eeprom_map::conflictList(m))));
  setShown(area, now);
  return {std::nullopt, m.edit};
}

Image CMapPage::device(Area area) const { return m_host.state->device(area); }

bool CMapPage::fileMode() const { return m_host.state->g_fileMode.load() == 1; }

void CMapPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  p.setPen(toQColor(colour::rgb(160, 160, 160)));
  for (const QRect& r : m_columns) {
    p.fillRect(r, toQColor(colour::kPanel));
    p.drawRect(r.adjusted(0, 0, -1, -1));
  }
}

}  // namespace vrx4
