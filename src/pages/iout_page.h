// The Iout channel page: the current output's scaling.
#pragma once

#include "app/control_ids.h"
#include "pages/page.h"

namespace vrx4 {

class CIoutPage : public CPage {
 public:
  explicit CIoutPage(QWidget* parent) : CPage(dialog::kIout, parent) {}
};

}  // namespace vrx4
