// The after-sales page: the EEPROM images as named fields and hexadecimal dumps.
#pragma once

#include "app/control_ids.h"
#include "pages/page.h"

namespace vrx4 {

class CAfterSalesPage : public CPage {
 public:
  explicit CAfterSalesPage(QWidget* parent) : CPage(dialog::kAfterSales, parent) {}
};

}  // namespace vrx4
