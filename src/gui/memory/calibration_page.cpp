#include "gui/memory/calibration_page.h"

#include <QPushButton>

#include "core/memory/eeprom_map.h"
#include "gui/memory/map_edit.h"

namespace vrx4 {
namespace {

using namespace calibration_id;

constexpr int kColumnW = 250, kColumnY = 10, kColumnH = 490;
constexpr int kButtonW = 113, kButtonH = 28;
constexpr int kAllButtons[] = {kBaseModify,   kBaseRestore,   kBaseImporter,   kBaseExporter,
                               kOptionModify, kOptionRestore, kOptionImporter, kOptionExporter};

const char* areaName(Area area) { return area == Area::Base ? "BASE" : "OPTION"; }

}  // namespace

CCalibrationPage::CCalibrationPage(const MemoryHost& host, QWidget* parent)
    : CMapPage(dialog::kCalibration, host, parent) {
  struct Column {
    Area area;
    int x, caption, edit, modify, restore, importer, exporter;
    const char* title;
  };
  const Column columns[] = {
      {Area::Base, 12, kBaseCaption, kBaseList, kBaseModify, kBaseRestore, kBaseImporter, kBaseExporter,
       "Basic parameters"},
      {Area::Option, 274, kOptionCaption, kOptionList, kOptionModify, kOptionRestore, kOptionImporter,
       kOptionExporter, "Optional parameters"}};
  for (const Column& c : columns) {
    addColumn({c.x, kColumnY, kColumnW, kColumnH});
    addCaption(c.caption, c.title, {c.x + 8, kColumnY + 8, kColumnW - 16, 20});
    auto* e = new CMapEdit(c.edit, this);
    e->setGeometry(c.x + 8, kColumnY + 34, kColumnW - 16, 376);
    e->setCrLfText(eeprom_map::fieldList(c.area, Image{}));
    (c.area == Area::Base ? m_base : m_option) = e;
    const int y1 = kColumnY + 420, y2 = y1 + kButtonH + 6, x2 = c.x + kColumnW - 8 - kButtonW;
    const Area a = c.area;
    addButton(c.modify, "Modify", {c.x + 8, y1, kButtonW, kButtonH}, colour::kRed, [this, a] { OnModify(a); });
    addButton(c.restore, "Restore", {x2, y1, kButtonW, kButtonH}, colour::kTeal, [this, a] { OnRestore(a); });
    addButton(c.importer, "Importer", {c.x + 8, y2, kButtonW, kButtonH}, colour::kDefault,
              [this, a] { OnImporter(a); });
    addButton(c.exporter, "Exporter", {x2, y2, kButtonW, kButtonH}, colour::kDefault,
              [this, a] { OnExporter(a); });
  }
  addColumn({536, kColumnY, kColumnW, kColumnH});
  addCaption(kMessagesCaption, "MESSAGES", {544, kColumnY + 8, kColumnW - 16, 20});
  auto* messages = new CMapEdit(kMessages, this);
  messages->setReadOnly(true);
  messages->setGeometry(544, kColumnY + 34, kColumnW - 16, kColumnH - 42);
  messages->setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void CCalibrationPage::UpdateData(bool) {
  const Images im = host().state->snapshot();
  m_base->setCrLfText(eeprom_map::fieldList(Area::Base, im.g_baseDevice));
  m_option->setCrLfText(eeprom_map::fieldList(Area::Option, im.g_optionDevice));
  setShown(Area::Base, im);
  setShown(Area::Option, im);
}

void CCalibrationPage::applyFreshness() {
  markResting(m_base);
  markResting(m_option);
}

void CCalibrationPage::EnableModifyRestore(int enable) {
  for (int id : kAllButtons) enableButtons({id}, enable == 1);
}

void CCalibrationPage::RefreshAfterTransfer() {
  UpdateData(true);
  EnableModifyRestore(1);
}

void CCalibrationPage::write(Area area, const Image& edit) {
  Wait(Blocked::TransferRunning);
  switch (writeArea(area, edit)) {
    case whole_config::EditWrite::Requested: break;  // enabled again when the transfer has ended
    case whole_config::EditWrite::Applied: RefreshAfterTransfer(); break;
    case whole_config::EditWrite::Busy: EnableModifyRestore(1); break;
  }
}

void CCalibrationPage::OnModify(Area area) {
  const eeprom_map::Parsed p = eeprom_map::parseFieldList(area, list(area)->crLfText(), shown(area));
  if (!p.ok()) {
    // A list not in the layout of its fields would move values into other
    // fields: nothing is written, and the caret goes to the line at fault.
    showMessage(QString::fromUtf8(config_file::kMsgInvalidLine.data()));
    list(area)->caretTo(p.line, 0);
    return;
  }
  // Only the fields whose value the user changed go over the device image
  // as it is now; the list may be older than it.
  const Changes c = changesOverDevice(area, *p.edit);
  if (c.rebased) list(area)->setCrLfText(eeprom_map::fieldList(area, *c.rebased));
  if (c.edit) write(area, *c.edit);
}

void CCalibrationPage::OnRestore(Area area) { write(area, eeprom_map::restored(area, device(area))); }

void CCalibrationPage::OnImporter(Area area) {
  const QString path = host().chooseFile ? host().chooseFile(this, FileDialogKind::Save, QString()) : QString();
  if (path.isEmpty()) return;
  const Image image = device(area);
  const std::string text = area == Area::Base ? config_file::baseBlock(image) : config_file::optionBlock(image);
  std::string detail;
  if (config_file::saveText(path.toStdString(), text, &detail) != config_file::SaveStatus::Saved)
    showMessage(saveFailure(host(), detail));
}

void CCalibrationPage::OnExporter(Area area) {
  const QString path = host().chooseFile ? host().chooseFile(this, FileDialogKind::Open, QString()) : QString();
  if (path.isEmpty()) return;
  config_file::MapBuffer buffer{};
  const auto r = config_file::readForMap(path.toStdString(), area, buffer);
  if (r.status != config_file::ReadStatus::Read) {
    showMessage(readFailure(r, path.toStdString()));
    return;
  }
  const auto edit = eeprom_map::exported(area, device(area), buffer, r, host().state->g_accessMode.load());
  if (!edit) {
    // A file with no line of this area would write zeros over the area.
    showMessage(QString::fromUtf8(config_file::kMsgInvalidLine.data()) + QStringLiteral("\n%1: no %2 line")
                                                                             .arg(path, QLatin1String(areaName(area))));
    return;
  }
  write(area, *edit);
}

}  // namespace vrx4
