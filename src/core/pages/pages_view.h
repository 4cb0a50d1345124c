// Every parameter page at once, as the pages show it from the device
// images: what `vrx4ctl show` prints. The input types and the AUXin
// reading are taken from the images (CONSIGNE bit 0, FLAG bits 3 and 2),
// and both pairs of each input are shown whichever is in use.
#pragma once

#include <array>

#include "core/pages/alarm_settings.h"
#include "core/pages/channel_scaling.h"
#include "core/pages/pid_gains.h"

namespace vrx4 {

struct InputChannelPages {
  // Indexed by input type: [0] U, [1] I.
  std::array<ChannelView, 2> byType;
  int inputType = input_type::kVoltage;  // the one in use
};

struct AllPagesView {
  InputChannelPages control;
  InputChannelPages auxin;
  int auxinReadAs = 0;  // 0 "Monitoring value", 1 "P2 pressure"
  ChannelView uout;
  ChannelView iout;
  AlarmView alarm;
  PidTexts pid;
};

AllPagesView showAllPages(const Images& device, const PageUnits& u);

}  // namespace vrx4
