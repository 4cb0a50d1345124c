// The PID page: the four gains of the regulator.
#pragma once

#include "app/control_ids.h"
#include "pages/page.h"

namespace vrx4 {

class CPidPage : public CPage {
 public:
  explicit CPidPage(QWidget* parent) : CPage(dialog::kPid, parent) {}
};

}  // namespace vrx4
