// Live values as the LIVE page shows them: units, formats per access mode,
// the CONTROL back-conversion while it is forced, the pressure error.
#include <gtest/gtest.h>

#include <cmath>

#include "core/monitoring/live_display.h"
#include "core/base/pressure_units.h"

namespace vrx4 {
namespace {

LiveDisplayInput input(float p2Millibar, std::uint8_t unit, std::uint32_t mode) {
  LiveDisplayInput in;
  in.m.m_value[3] = p2Millibar;
  in.pressureUnit = unit;
  in.pressureFactor = pressureFactor(unit);
  in.accessMode = mode;
  return in;
}

TEST(LiveDisplay, PressureByUnitAndMode) {
  for (auto [u, mode, text] : {std::tuple{unit::kPsi, 2u, "87"}, {unit::kBar, 1u, "6.0"}, {unit::kBar, 4u, "6.000"},
                               {unit::kKpa, 3u, "600"}, {unit::kMpa, 0u, "0.60"}})
    EXPECT_EQ(computeLiveDisplay(input(6000, u, mode)).p2, text);

  // The other values: "%2.1f" below mode 4, "%.3f" in it; the CONTROL page
  // shows three decimals in every setting mode.
  LiveDisplayInput in = input(0, unit::kBar, 2);
  in.m.m_value = {2000, 5000, 24030, 0, 4999, 12000};
  LiveDisplay d = computeLiveDisplay(in);
  EXPECT_EQ((std::array{d.auxin, d.ctrl, d.ctrlPage, d.supply, d.uout, d.iout}),
            (std::array<std::string, 6>{"2.0", "5.0", "5.000", "24.0", "5.0", "12.0"}));
  in.accessMode = 4;
  d = computeLiveDisplay(in);
  EXPECT_EQ((std::array{d.supply, d.uout}), (std::array<std::string, 2>{"24.030", "4.999"}));
  in.accessMode = 1;
  EXPECT_EQ(computeLiveDisplay(in).ctrlPage, "5.0");
  // (Whatever the user's locale: the number format's test.)
}

TEST(LiveDisplay, ErrorStatusBitsAndForcedControl) {
  // Voltage command, gain 1024/1024 bar per volt, no offset: 5 V asks for
  // 5 bar, P2 is 4.8 bar.
  LiveDisplayInput in = input(4800, unit::kBar, 2);
  in.m.m_value[1] = 5000;
  in.scaling.voltGain = 1024;
  EXPECT_EQ(computeLiveDisplay(in).error, "0.2");
  std::tie(in.pressureUnit, in.pressureFactor) = std::pair(unit::kPsi, pressureFactor(unit::kPsi));
  EXPECT_EQ(computeLiveDisplay(in).error, "3");
  // A current input uses the current pair.
  in = input(4800, unit::kBar, 4);
  in.m.m_value[1] = 12000;
  in.m.m_statusBit4 = 1;
  in.scaling.ampGain = 512, in.scaling.ampOffset = -1000;  // 0.5 bar per mA, -1 bar
  EXPECT_EQ(computeLiveDisplay(in).error, "0.200");

  // Forced CONTROL on the LIVE page: the device reports the set-point in
  // millibar; shown again in volts (or mA) through the test unit's pair.
  in = input(0, unit::kBar, 4);
  in.ctrlForcedOnLivePage = true;
  in.m.m_value[1] = 5500;
  in.scaling.voltGain = 1024, in.scaling.voltOffset = 500;
  EXPECT_EQ(computeLiveDisplay(in).ctrl, "5.000");
  in.testCtrlUnit = 1;
  in.scaling.ampGain = 256, in.scaling.ampOffset = 0;  // 0.25 bar per mA
  EXPECT_EQ(computeLiveDisplay(in).ctrl, "22.000");
  // The error is then set-point minus P2 directly.
  in.m.m_value[3] = 5000;
  EXPECT_EQ(computeLiveDisplay(in).error, "0.500");
  // A gain of 0 cannot be undone: the reported value, never inf or nan.
  in.scaling.ampGain = 0;
  EXPECT_EQ(computeLiveDisplay(in).ctrl, "5.500");
  EXPECT_TRUE(std::isfinite(controlValue(in)));

  // Status bits: the alarm state reads 0 = ON when the output is on.
  in = input(0, unit::kBar, 1);
  in.m.m_statusBit0 = in.m.m_statusBit2 = in.m.m_statusBit3 = 1;
  const LiveDisplay d = computeLiveDisplay(in);
  EXPECT_EQ((std::array{d.alarmState, d.p2Source, d.auxinUnit, d.ctrlUnit}), (std::array{0, 1, 1, 0}));
  in.m.m_statusBit0 = 0;
  EXPECT_EQ(computeLiveDisplay(in).alarmState, 1);
}

}  // namespace
}  // namespace vrx4
