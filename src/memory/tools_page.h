// The tools page: ports, reconnection, configuration files and whole-device transfers.
#pragma once

#include <cstdint>

#include "app/control_ids.h"
#include "pages/page.h"

namespace vrx4 {

class CToolsPage : public CPage {
 public:
  explicit CToolsPage(QWidget* parent) : CPage(dialog::kTools, parent) {}
  // Shows the file and device-transfer buttons in the setting modes only.
  void ApplyAccessMode(std::uint32_t mode) { m_mode = mode; }

 private:
  std::uint32_t m_mode = 0;
};

}  // namespace vrx4
