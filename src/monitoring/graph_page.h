// The graph page: the trend chart of the live values and the capture file.
#pragma once

#include "app/control_ids.h"
#include "pages/page.h"

namespace vrx4 {

class CGraphPage : public CPage {
 public:
  explicit CGraphPage(QWidget* parent) : CPage(dialog::kGraph, parent) {}
};

}  // namespace vrx4
