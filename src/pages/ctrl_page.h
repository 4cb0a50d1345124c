// The CONTROL channel page: the command input's scaling.
#pragma once

#include "app/control_ids.h"
#include "pages/page.h"

namespace vrx4 {

class CCtrlPage : public CPage {
 public:
  explicit CCtrlPage(QWidget* parent) : CPage(dialog::kCtrl, parent) {}
};

}  // namespace vrx4
