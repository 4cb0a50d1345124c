// Pressure display units: the factor from bar, the label suffix, the display
// format, and the pressure range with its automatic rule.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vrx4 {

namespace unit {
constexpr std::uint8_t kBar = 0;
constexpr std::uint8_t kPsi = 1;
constexpr std::uint8_t kKpa = 2;
constexpr std::uint8_t kMpa = 3;
}  // namespace unit

// The float nearest to 14.5038, bit for bit.
inline constexpr std::uint32_t kPsiFactorBits = 0x41680F91;

// Factor from bar to the unit; a stored unit above 3 counts as bar.
float pressureFactor(std::uint8_t unit);
// " [bar]", " [PSI]", " [kPa]", " [MPa]"; " [bar]" for a unit above 3.
const char* unitSuffix(std::uint8_t unit);
// Decimals of P2 and the pressure error: bar 1, PSI 0, kPa 0, MPa 2.
int pressureDecimals(std::uint8_t unit);

// A device value in millibar shown in the unit: factor × v × 0.001 in
// 32-bit float arithmetic, as the regulator's own display computes it.
float millibarToDisplay(float millibar, float factor);

// P2 or the pressure error as text: "%.3f" in access mode 4, else by unit.
std::string formatPressure(float value, std::uint8_t unit, std::uint32_t accessMode);

// The entries of the pressure range list for the unit: low, high, "Auto".
std::array<const char*, 3> rangeEntries(std::uint8_t unit);
inline constexpr int kRangeAuto = 2;

// The range the device implies by BASE byte 0x6F: 1 (high) for 11..254.
std::uint8_t automaticRange(std::uint8_t byte6F);

}  // namespace vrx4
