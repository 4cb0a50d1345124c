#include "core/monitoring/live_display.h"

#include "core/base/number_format.h"
#include "core/base/pressure_units.h"
#include "core/link/param_dictionary.h"

namespace vrx4 {

CommandScaling commandScaling(const Image& base) {
  return {readSigned16(base, 0x01), readSigned16(base, 0x03), readSigned16(base, 0x05), readSigned16(base, 0x07)};
}

namespace {

void gainAndOffset(const CommandScaling& s, int current, double& gain, double& offset) {
  gain = current ? s.ampGain : s.voltGain;
  offset = current ? s.ampOffset : s.voltOffset;
}

}  // namespace

double controlValue(const LiveDisplayInput& in) {
  const double reported = in.m.m_value[1] * 0.001;
  if (!in.ctrlForcedOnLivePage) return reported;
  double gain = 0, offset = 0;
  gainAndOffset(in.scaling, in.testCtrlUnit, gain, offset);
  if (gain == 0) return reported;
  return (reported - offset * 0.001) / (gain * 0.0009765625);
}

double pressureError(const LiveDisplayInput& in) {
  const double factor = in.pressureFactor;
  double setPoint = 0;
  if (in.ctrlForcedOnLivePage) {
    setPoint = in.m.m_value[1] * 0.001 * factor;
  } else {
    double gain = 0, offset = 0;
    gainAndOffset(in.scaling, in.m.m_statusBit4, gain, offset);
    setPoint = offset * 0.001 * factor + gain * 0.0009765625 * factor * in.m.m_value[1] * 0.001;
  }
  return setPoint - in.m.m_value[3] * 0.001 * factor;
}

LiveDisplay computeLiveDisplay(const LiveDisplayInput& in) {
  const bool service = in.accessMode == 4;
  const bool settingMode = in.accessMode >= 2 && in.accessMode <= 4;
  auto value = [service](double v) { return service ? formatFixed(v, 3) : formatFixed(v, 2, 1); };

  LiveDisplay d;
  const double ctrl = controlValue(in);
  d.ctrl = value(ctrl);
  d.ctrlPage = settingMode ? formatFixed(ctrl, 3) : formatFixed(ctrl, 2, 1);
  d.auxin = value(in.m.m_value[0] * 0.001);
  d.p2 = formatPressure(millibarToDisplay(in.m.m_value[3], in.pressureFactor), in.pressureUnit, in.accessMode);
  d.supply = value(in.m.m_value[2] * 0.001);
  d.uout = value(in.m.m_value[4] * 0.001);
  d.iout = value(in.m.m_value[5] * 0.001);
  d.error = formatPressure(static_cast<float>(pressureError(in)), in.pressureUnit, in.accessMode);
  d.ctrlUnit = in.m.m_statusBit4 ? 1 : 0;
  d.auxinUnit = in.m.m_statusBit3 ? 1 : 0;
  d.p2Source = in.m.m_statusBit2 ? 1 : 0;
  d.alarmState = in.m.m_statusBit0 == 0 ? 1 : 0;
  return d;
}

}  // namespace vrx4
