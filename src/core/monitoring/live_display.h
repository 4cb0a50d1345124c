// What the LIVE page and the channel pages show for one live measurement:
// the values converted to the display units and formatted, the input types
// and the alarm state. Pure arithmetic, so it is tested without windows.
#pragma once

#include <cstdint>
#include <string>

#include "core/link/device_state.h"
#include "core/link/live_measurement.h"

namespace vrx4 {

// The BASE image's command scaling: gain in 1/1024 bar per volt or
// milliampere, offset in millibar, both signed 16-bit, high byte first.
struct CommandScaling {
  std::int16_t voltGain = 0;     // V_TO_B_A
  std::int16_t voltOffset = 0;   // V_TO_B_B
  std::int16_t ampGain = 0;      // A_TO_B_A
  std::int16_t ampOffset = 0;    // A_TO_B_B
};
CommandScaling commandScaling(const Image& baseDevice);

struct LiveDisplayInput {
  LiveMeasurement m;
  CommandScaling scaling;
  float pressureFactor = 1.0f;
  std::uint8_t pressureUnit = 0;
  std::uint32_t accessMode = 0;
  // CONTROL is forced from the LIVE page while that page is shown: the
  // device then reports the test set-point in millibar.
  bool ctrlForcedOnLivePage = false;
  int testCtrlUnit = 0;  // 0 voltage, 1 current
};

struct LiveDisplay {
  std::string ctrl;      // LIVE page 1006
  std::string ctrlPage;  // CONTROL page 1140
  std::string auxin;     // LIVE 1009, AUXin page 1188
  std::string p2;        // LIVE 1025, Uout 1160, Iout 1172
  std::string supply;    // LIVE 1026
  std::string uout;      // LIVE 1035
  std::string iout;      // LIVE 1036
  std::string error;     // LIVE 1032
  int ctrlUnit = 0;      // 1 = CONTROL is a current input
  int auxinUnit = 0;     // 1 = AUXin is a current input
  int p2Source = 0;      // 1 = P2 is read from AUXin
  int alarmState = 1;    // 0 ON, 1 OFF
};

// The CONTROL value in its input unit. A forced CONTROL is converted back
// from millibar with the gain and offset of the test unit; with a gain of 0
// that cannot be done and the value is shown as the device sent it.
double controlValue(const LiveDisplayInput& in);
// Set-point minus P2, in the display unit.
double pressureError(const LiveDisplayInput& in);

LiveDisplay computeLiveDisplay(const LiveDisplayInput& in);

// The unit of a LIVE page test value (0 voltage, 1 current): while its test
// is off it follows the input type the regulator reports, so that a value
// typed after the test is switched on is sent in the unit the input takes;
// once the test is on, the user's choice of U or I stands.
inline int testValueUnit(bool testOn, int chosen, int reported) { return testOn ? chosen : reported; }

// " [mA]" or " [V]" after a caption, and the bare "[mA]" / "[V]".
inline const char* unitCaptionSuffix(int current) { return current ? " [mA]" : " [V]"; }
inline const char* unitCaption(int current) { return current ? "[mA]" : "[V]"; }

}  // namespace vrx4
