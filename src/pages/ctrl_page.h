// The CONTROL channel page: the command input's scaling.
#pragma once

#include "app/control_ids.h"
#include "pages/page.h"

namespace vrx4 {

class CCtrlPage : public CPage {
 public:
  explicit CCtrlPage(QWidget* parent) : CPage(dialog::kCtrl, parent) {}

  // The input type the device reports: 0 voltage, 1 current.
  int m_inputType = 0;
  // 1 while the user edits the page (Modify until Save or Cancel).
  int m_editing = 0;
};

}  // namespace vrx4
