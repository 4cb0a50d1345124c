// The Uout channel page: the voltage output's scaling.
#pragma once

#include "app/control_ids.h"
#include "pages/page.h"

namespace vrx4 {

class CUoutPage : public CPage {
 public:
  explicit CUoutPage(QWidget* parent) : CPage(dialog::kUout, parent) {}
};

}  // namespace vrx4
