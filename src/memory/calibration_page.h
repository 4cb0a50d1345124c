// The calibration page: the factory calibration fields of the EEPROM images.
#pragma once

#include "app/control_ids.h"
#include "pages/page.h"

namespace vrx4 {

class CCalibrationPage : public CPage {
 public:
  explicit CCalibrationPage(QWidget* parent) : CPage(dialog::kCalibration, parent) {}
};

}  // namespace vrx4
