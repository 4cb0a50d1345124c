// The port selection dialog: the serial ports that exist, each with what
// the system knows of it, refreshed while the dialog is open so that an
// adapter plugged in meanwhile appears; a path can be typed too (a
// pseudo-terminal is never listed). OK takes the chosen port into m_port,
// Cancel leaves it as it was.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "core/link/port_names.h"

class QComboBox;
class QPushButton;
class QTimer;

namespace vrx4 {

class CPortDialog : public QDialog {
 public:
  using Lister = std::function<std::vector<SerialPortEntry>()>;
  static constexpr int kRefreshMs = 1000;

  explicit CPortDialog(QWidget* parent, Lister lister = {});

  // Caption, OK and Cancel texts of the chosen language.
  void setTexts(const QString& caption, const QString& okText, const QString& cancelText);
  // Lists the ports again, keeping the entry or the text the user chose.
  void refresh();
  const std::vector<SerialPortEntry>& entries() const { return m_entries; }

  // The port: set by the owner before the dialog is shown, read after.
  std::string m_port = "COM1";

  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void fill(const std::vector<SerialPortEntry>& entries);

  Lister m_lister;
  std::vector<SerialPortEntry> m_entries;
  QComboBox* m_list;
  QPushButton* m_ok;
  QPushButton* m_cancel;
  QTimer* m_timer;
};

}  // namespace vrx4
