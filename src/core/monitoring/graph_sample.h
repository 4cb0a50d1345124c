// One timed sample of the six live values, the alarm bit and the status
// byte, as the trend chart draws it and the capture file writes it.
#pragma once

#include <cstdint>

#include "core/link/live_measurement.h"

namespace vrx4 {

struct GraphSample {
  double time = 0.0;  // seconds since the recording started
  float ctrl = 0;     // V or mA
  float auxin = 0;    // V or mA
  float p2 = 0;       // bar
  float vdc24 = 0;    // V
  float uout = 0;     // V
  float iout = 0;     // mA
  std::uint8_t alarm = 0;
  std::int8_t flag = 0;  // the status byte, signed
};

// The sample a measurement makes at `sampleMs` (the capture clock).
GraphSample sampleFrom(const LiveMeasurement& m, std::uint32_t sampleMs);

}  // namespace vrx4
