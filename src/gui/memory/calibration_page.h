// The Calibration page: every named field of the BASE and OPTION images as
// a list of "NAME      VALUE" lines that the user edits and writes back
// with Modify, the areas' Restore from the device's backup copy, a single
// area saved to (Importer) or sent from (Exporter) a text file, and the
// device's information messages.
#pragma once

#include "core/base/control_ids.h"
#include "gui/memory/map_page.h"

namespace vrx4 {

class CMapEdit;

namespace calibration_id {
constexpr int kBaseList = 1126;
constexpr int kOptionList = 1120;
constexpr int kMessages = 1121;
constexpr int kBaseCaption = 1127;
constexpr int kOptionCaption = 1125;
constexpr int kMessagesCaption = 1119;
constexpr int kBaseModify = 1128;
constexpr int kBaseRestore = 1129;
constexpr int kBaseImporter = 1122;
constexpr int kBaseExporter = 1123;
constexpr int kOptionModify = 1130;
constexpr int kOptionRestore = 1131;
constexpr int kOptionImporter = 1124;
constexpr int kOptionExporter = 1055;
}  // namespace calibration_id

class CCalibrationPage : public CMapPage {
 public:
  CCalibrationPage(const MemoryHost& host, QWidget* parent);

  // Both lists show the device images again.
  void UpdateData(bool save) override;
  void EnableModifyRestore(int enable) override;
  void RefreshAfterTransfer() override;

  void OnModify(Area area);
  void OnRestore(Area area);
  void OnImporter(Area area);
  void OnExporter(Area area);

 private:
  CMapEdit* list(Area area) const { return area == Area::Base ? m_base : m_option; }
  void write(Area area, const Image& edit);
  void applyFreshness() override;

  CMapEdit* m_base;
  CMapEdit* m_option;
};

}  // namespace vrx4
