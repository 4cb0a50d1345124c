// The AUXin channel page: the auxiliary input's scaling.
#pragma once

#include "app/control_ids.h"
#include "pages/page.h"

namespace vrx4 {

class CAuxinPage : public CPage {
 public:
  explicit CAuxinPage(QWidget* parent) : CPage(dialog::kAuxin, parent) {}
};

}  // namespace vrx4
