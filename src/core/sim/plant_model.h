// A small model of the regulator's behaviour: P2 follows the setpoint with
// a first-order lag, the analogue outputs follow P2 through the output
// scaling, and the alarm output follows the control error through the
// limits and delays of the OPTION image.
#pragma once

#include <array>
#include <cstdint>
#include <random>

#include "core/link/device_state.h"

namespace vrx4::sim {

// What the live command currently forces (raw thousandths, as sent).
struct Forced {
  bool ctrl = false, auxin = false, uout = false, iout = false, alarm = false;
  bool spare1 = false, spare2 = false;
  std::uint16_t ctrlRaw = 0, auxinRaw = 0, uoutRaw = 0, ioutRaw = 0, spare1Raw = 0, spare2Raw = 0;
  bool alarmOn = false;
};

class PlantModel {
 public:
  static constexpr double kTimeConstant = 0.3;  // seconds

  explicit PlantModel(std::uint32_t seed = 1) : m_rng(seed) {}

  // The electrical inputs of the device: CONTROL and AUXin, in V or mA
  // according to the input type the images select.
  double controlInput = 5.0;
  double auxinInput = 2.0;
  // When set, the CONTROL input swings slowly round 5 V (2.5 to 7.5 V over
  // 30 s), so that a demonstration shows moving values.
  bool sweepControl = false;

  void tick(double dt, const Image& option, const Image& base, const Forced& forced);

  // The setpoint in bar the device regulates to.
  double setpoint(const Image& option, const Image& base, const Forced& forced) const;
  double p2() const { return m_p2; }
  bool alarm() const { return m_alarm; }

  // The six measurement words: AUXin, CONTROL, 24 V, P2, Uout, Iout.
  std::array<std::uint16_t, 6> measurement(const Image& option, const Image& base, const Forced& forced);

 private:
  double m_p2 = 0.0;
  bool m_settled = false;  // a device is switched on long before it is read
  bool m_condition = false;
  bool m_alarm = false;
  double m_clock = 0.0;  // seconds of plant time, for the sweep
  double m_conditionTime = 0.0;  // how long the condition has held / been absent
  double m_alarmOnTime = 0.0;
  std::mt19937 m_rng;
};

}  // namespace vrx4::sim
