// The Iout channel page: the current output's scaling (OPTION 5..8).
#pragma once

#include "core/base/control_ids.h"
#include "gui/pages/channel_page.h"

namespace vrx4 {

class CIoutPage : public CChannelPage {
 public:
  CIoutPage(const PageHost& host, QWidget* parent) : CChannelPage(Channel::Iout, dialog::kIout, host, parent) {}
};

}  // namespace vrx4
