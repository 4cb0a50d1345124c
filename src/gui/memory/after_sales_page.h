// The After-Sales page: the BASE and OPTION images as hexadecimal dumps.
// Modify makes a dump editable (drawn in red), Save checks it and writes
// the area; Restore writes the area from the device's backup copy. A dump
// stays red until its write has ended.
#pragma once

#include "core/base/control_ids.h"
#include "gui/memory/map_page.h"

namespace vrx4 {

class CMapEdit;

namespace after_sales_id {
constexpr int kBaseCaption = 1109;
constexpr int kOptionCaption = 1110;
constexpr int kBaseModify = 1111;
constexpr int kBaseRestore = 1112;
constexpr int kBaseSave = 1113;
constexpr int kOptionModify = 1114;
constexpr int kOptionRestore = 1115;
constexpr int kOptionSave = 1116;
constexpr int kBaseDump = 1117;
constexpr int kOptionDump = 1118;
}  // namespace after_sales_id

class CAfterSalesPage : public CMapPage {
 public:
  CAfterSalesPage(const MemoryHost& host, QWidget* parent);

  void EnableModifyRestore(int enable) override;
  // The dumps of the device images, in black (grey while last read); a
  // dump being edited keeps what was typed. The buttons work again.
  void RefreshAsLoaded() override;
  void RefreshAfterTransfer() override { RefreshAsLoaded(); }

  void OnModify(Area area);
  void OnSave(Area area);
  void OnRestore(Area area);
  bool editing(Area area) const { return m_editing[index(area)]; }

 private:
  static std::size_t index(Area area) { return area == Area::Base ? 0 : 1; }
  CMapEdit* dump(Area area) const { return m_dumps[index(area)]; }
  // Modify shown and Save hidden (false), or the reverse.
  void setEditing(Area area, bool on);
  void write(Area area, const Image& edit);
  void applyFreshness() override;

  CMapEdit* m_dumps[2] = {};
  bool m_editing[2] = {false, false};
};

}  // namespace vrx4
