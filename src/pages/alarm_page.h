// The alarm page: alarm logic, pressure limits and delays.
#pragma once

#include "app/control_ids.h"
#include "pages/page.h"

namespace vrx4 {

class CAlarmPage : public CPage {
 public:
  explicit CAlarmPage(QWidget* parent) : CPage(dialog::kAlarm, parent) {}
};

}  // namespace vrx4
