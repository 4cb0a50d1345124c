// The pressure range dialog: the low and high range of the current unit,
// or "Auto" (the device decides).
#pragma once

#include <QDialog>
#include <cstdint>

class QComboBox;

namespace vrx4 {

class CVRX4App;

class CPressureRangeDialog : public QDialog {
 public:
  CPressureRangeDialog(QWidget* parent, std::uint8_t unit, bool autoScale, std::uint8_t scale,
                       const QString& caption, const QString& okText, const QString& cancelText);

  // The index chosen: 0 low, 1 high, 2 automatic.
  int selectedIndex() const { return m_index; }
  void accept() override;

  // Applies a chosen index to the settings: 2 turns the automatic range on
  // and applies it at once from the BASE image, 0 or 1 fixes the range.
  static void apply(CVRX4App& app, int index);

 private:
  QComboBox* m_list;
  int m_index;
};

}  // namespace vrx4
