// Graph samples for the store and chart tests: every channel a different
// function of CONTROL, so that a value read from the wrong channel shows.
#pragma once

#include "core/monitoring/sample_store.h"

namespace vrx4::testing {

inline GraphSample makeSample(double time, float ctrl, std::uint8_t alarm = 0) {
  GraphSample s;
  s.time = time;
  s.ctrl = ctrl;
  s.auxin = -ctrl;
  s.p2 = ctrl * 0.5f;
  s.vdc24 = 24.0f;
  s.uout = ctrl + 1;
  s.iout = 20 - ctrl;
  s.alarm = alarm;
  s.flag = static_cast<std::int8_t>(-static_cast<int>(alarm));
  return s;
}

}  // namespace vrx4::testing
