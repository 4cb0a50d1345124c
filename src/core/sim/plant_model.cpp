#include "core/sim/plant_model.h"

#include <algorithm>
#include <cmath>

#include "core/link/param_dictionary.h"

namespace vrx4::sim {
namespace {

std::uint16_t toWord(double thousandths, double lo, double hi) {
  return static_cast<std::uint16_t>(std::lround(std::clamp(thousandths, lo, hi)));
}

double slope(const Image& im, std::size_t at) { return readSigned16(im, at) / 1024.0; }
double offset(const Image& im, std::size_t at) { return readSigned16(im, at) / 1000.0; }

}  // namespace

double PlantModel::setpoint(const Image& option, const Image& base, const Forced& forced) const {
  (void)option;
  if (forced.ctrl) return static_cast<std::int16_t>(forced.ctrlRaw) / 1000.0;
  const bool current = base[0x00] & 0x01;
  const std::size_t a = current ? 0x05 : 0x01;
  return std::max(0.0, controlInput * slope(base, a) + offset(base, a + 2));
}

void PlantModel::tick(double dt, const Image& option, const Image& base, const Forced& forced) {
  if (dt <= 0) return;
  if (sweepControl) {
    m_clock += dt;
    controlInput = 5.0 + 2.5 * std::sin(2.0 * 3.14159265358979 * m_clock / 30.0);
  }
  double target = setpoint(option, base, forced);
  if (option[0x00] & 0x04) {
    // P2 is read from AUXin through the AUXin scaling.
    const bool current = option[0x00] & 0x08;
    const double in = forced.auxin ? forced.auxinRaw / 1000.0 : auxinInput;
    const std::size_t a = current ? 0x0E : 0x0A;
    target = in * slope(option, a) + offset(option, a + 2);
  }
  if (!m_settled) {
    m_p2 = std::max(0.0, target);
    m_settled = true;
  }
  m_p2 += (std::max(0.0, target) - m_p2) * (1.0 - std::exp(-dt / kTimeConstant));

  // Alarm: the error leaves its band for AL_DEL_ON, comes back for
  // AL_DEL_OFF, and once on the output stays on for AL_T_MIN at least.
  const double error = (setpoint(option, base, forced) - m_p2) * 1000.0;
  const bool condition = error > readSigned16(option, 0x12) || error < -readSigned16(option, 0x14);
  if (condition != m_condition) {
    m_condition = condition;
    m_conditionTime = 0;
  }
  m_conditionTime += dt;
  if (m_alarm) m_alarmOnTime += dt;
  const double delayOn = readSigned16(option, 0x16) * 0.02;
  const double delayOff = readSigned16(option, 0x18) * 0.02;
  const double minOn = readSigned16(option, 0x1A) * 0.02;
  if (!m_alarm && m_condition && m_conditionTime >= delayOn) {
    m_alarm = true;
    m_alarmOnTime = 0;
  } else if (m_alarm && !m_condition && m_conditionTime >= delayOff && m_alarmOnTime >= minOn) {
    m_alarm = false;
  }
}

std::array<std::uint16_t, 6> PlantModel::measurement(const Image& option, const Image& /*base*/,
                                                     const Forced& forced) {
  std::uniform_real_distribution<double> noise(-30.0, 30.0);
  std::array<std::uint16_t, 6> w{};
  w[0] = forced.auxin ? forced.auxinRaw : toWord(auxinInput * 1000.0, 0, 65535);
  w[1] = forced.ctrl ? forced.ctrlRaw
                     : static_cast<std::uint16_t>(static_cast<std::int16_t>(
                           std::lround(std::clamp(controlInput * 1000.0, -32768.0, 32767.0))));
  w[2] = toWord(24000.0 + noise(m_rng), 0, 65535);
  w[3] = toWord(m_p2 * 1000.0, 0, 65535);
  const double uout = m_p2 * slope(option, 0x01) + offset(option, 0x03);
  const double iout = m_p2 * slope(option, 0x05) + offset(option, 0x07);
  w[4] = forced.uout ? forced.uoutRaw : toWord(uout * 1000.0, 0, 10000);
  w[5] = forced.iout ? forced.ioutRaw : toWord(iout * 1000.0, 0, 20000);
  return w;
}

}  // namespace vrx4::sim
