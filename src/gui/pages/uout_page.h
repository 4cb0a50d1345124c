// The Uout channel page: the voltage output's scaling (OPTION 1..4).
#pragma once

#include "core/base/control_ids.h"
#include "gui/pages/channel_page.h"

namespace vrx4 {

class CUoutPage : public CChannelPage {
 public:
  CUoutPage(const PageHost& host, QWidget* parent) : CChannelPage(Channel::Uout, dialog::kUout, host, parent) {}
};

}  // namespace vrx4
