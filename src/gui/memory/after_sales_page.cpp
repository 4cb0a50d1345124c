#include "gui/memory/after_sales_page.h"

#include <QPushButton>

#include "core/memory/eeprom_map.h"
#include "gui/memory/map_edit.h"

namespace vrx4 {
namespace {

using namespace after_sales_id;

constexpr int kColumnW = 404, kColumnY = 10, kColumnH = 262;
constexpr int kButtonW = 120, kButtonH = 28;

struct Ids {
  int modify, restore, save;
};
constexpr Ids kIds[2] = {{kBaseModify, kBaseRestore, kBaseSave}, {kOptionModify, kOptionRestore, kOptionSave}};
constexpr Area kAreas[2] = {Area::Base, Area::Option};

}  // namespace

CAfterSalesPage::CAfterSalesPage(const MemoryHost& host, QWidget* parent)
    : CMapPage(dialog::kAfterSales, host, parent) {
  const char* titles[2] = {"MAPPING EEPROM BASE", "MAPPING EEPROM OPTION"};
  const int captions[2] = {kBaseCaption, kOptionCaption};
  const int dumps[2] = {kBaseDump, kOptionDump};
  for (std::size_t i = 0; i < 2; ++i) {
    const int x = 4 + static_cast<int>(i) * (kColumnW + 4);
    const Area a = kAreas[i];
    addColumn({x, kColumnY, kColumnW, kColumnH});
    addCaption(captions[i], titles[i], {x + 8, kColumnY + 8, kColumnW - 16, 20});
    m_dumps[i] = new CMapEdit(dumps[i], this);
    m_dumps[i]->setGeometry(x + 8, kColumnY + 34, kColumnW - 16, 176);
    m_dumps[i]->setReadOnly(true);
    m_dumps[i]->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);  // eight lines fit
    m_dumps[i]->setCrLfText(eeprom_map::dumpText(a, Image{}));
    const int y = kColumnY + kColumnH - kButtonH - 10;
    addButton(kIds[i].modify, "Modify", {x + 8, y, kButtonW, kButtonH}, colour::kRed, [this, a] { OnModify(a); });
    addButton(kIds[i].save, "Save", {x + 8, y, kButtonW, kButtonH}, colour::kRed, [this, a] { OnSave(a); });
    addButton(kIds[i].restore, "Restore", {x + kColumnW - 8 - kButtonW, y, kButtonW, kButtonH}, colour::kTeal,
              [this, a] { OnRestore(a); });
    setEditing(a, false);
  }
}

void CAfterSalesPage::setEditing(Area area, bool on) {
  const std::size_t i = index(area);
  m_editing[i] = on;
  dump(area)->setReadOnly(!on);
  button(kIds[i].modify)->setVisible(!on);
  button(kIds[i].save)->setVisible(on);
}

void CAfterSalesPage::EnableModifyRestore(int enable) {
  for (const Ids& ids : kIds) enableButtons({ids.modify, ids.restore, ids.save}, enable == 1);
  for (CMapEdit* d : m_dumps) d->caretToStart();
}

void CAfterSalesPage::RefreshAsLoaded() {
  const Images im = host().state->snapshot();
  for (Area a : kAreas) {
    if (editing(a)) continue;  // what the user is typing stays
    setShown(a, im);
    dump(a)->setCrLfText(eeprom_map::dumpText(a, im.device(a)));
    markResting(dump(a));
  }
  EnableModifyRestore(1);
}

void CAfterSalesPage::applyFreshness() {
  // A dump being edited or written stays red.
  for (Area a : kAreas)
    if (!editing(a) && dump(a)->textColour() != colour::kRed) markResting(dump(a));
}

void CAfterSalesPage::OnModify(Area area) {
  setEditing(area, true);
  dump(area)->setTextColour(colour::kRed);
  dump(area)->caretToStart();
  dump(area)->setFocus(Qt::OtherFocusReason);
}

void CAfterSalesPage::OnSave(Area area) {
  if (!editing(area)) return;
  const eeprom_map::Parsed p = eeprom_map::parseDump(area, dump(area)->crLfText(), shown(area));
  if (!p.ok()) {
    // Nothing changes; the dump stays editable with the caret at the fault.
    showMessage(QString::fromUtf8(config_file::kMsgInvalidLine.data()));
    dump(area)->caretTo(p.line, p.column);
    return;
  }
  // The dump may be older than the device image: only the bytes the user
  // changed in it are written.
  const Changes c = changesOverDevice(area, *p.edit);
  if (c.rebased) dump(area)->setCrLfText(eeprom_map::dumpText(area, *c.rebased));
  dump(area)->caretToStart();
  if (c.edit) write(area, *c.edit);
}

void CAfterSalesPage::OnRestore(Area area) {
  dump(area)->setTextColour(colour::kRed);
  write(area, eeprom_map::restored(area, device(area)));
}

void CAfterSalesPage::write(Area area, const Image& edit) {
  Wait(Blocked::TransferRunning);
  switch (writeArea(area, edit)) {
    case whole_config::EditWrite::Requested:
      // Red and disabled until the view reports the end of the write.
      setEditing(area, false);
      break;
    case whole_config::EditWrite::Applied:
      setEditing(area, false);
      RefreshAsLoaded();
      break;
    case whole_config::EditWrite::Busy:
      // Nothing was written: a dump being edited stays so.
      if (!editing(area)) markResting(dump(area));
      EnableModifyRestore(1);
      break;
  }
}

}  // namespace vrx4
