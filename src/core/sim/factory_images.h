// The EEPROM images a new simulated regulator starts with.
#pragma once

#include <array>
#include <cstdint>

#include "core/link/device_state.h"

namespace vrx4::sim {

struct FactoryImages {
  Image option{};
  Image base{};
};

// A 10-bar regulator with 0..10 V / 4..20 mA command scaling, 0..10 V and
// 4..20 mA outputs, alarm limits of 0.5 bar, PID gains and the device's
// backup copies (BASE 0x10..0x1F = 0x00..0x0F, OPTION 0x30..0x5F =
// 0x00..0x2F). serial is the three bytes of SN.
FactoryImages factoryImages(std::array<std::uint8_t, 3> serial = {0x01, 0x23, 0x45});

}  // namespace vrx4::sim
