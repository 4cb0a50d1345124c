// The alarm page: alarm logic, pressure limits and delays.
#pragma once

#include "app/control_ids.h"
#include "pages/page.h"

namespace vrx4 {

class CAlarmPage : public CPage {
 public:
  explicit CAlarmPage(QWidget* parent) : CPage(dialog::kAlarm, parent) {}

  // The alarm output as the device reports it: 0 ON, 1 OFF.
  int m_nAlarmState = 1;
};

}  // namespace vrx4
