#include "core/base/pressure_units.h"

#include "core/base/number_format.h"

namespace vrx4 {

float pressureFactor(std::uint8_t u) {
  switch (u) {
    case unit::kPsi: return 14.5038f;
    case unit::kKpa: return 100.0f;
    case unit::kMpa: return 0.1f;
    default: return 1.0f;
  }
}

const char* unitSuffix(std::uint8_t u) {
  switch (u) {
    case unit::kPsi: return " [PSI]";
    case unit::kKpa: return " [kPa]";
    case unit::kMpa: return " [MPa]";
    default: return " [bar]";
  }
}

int pressureDecimals(std::uint8_t u) {
  switch (u) {
    case unit::kPsi:
    case unit::kKpa: return 0;
    case unit::kMpa: return 2;
    default: return 1;
  }
}

float millibarToDisplay(float millibar, float factor) { return factor * millibar * 0.001f; }

std::string formatPressure(float value, std::uint8_t u, std::uint32_t accessMode) {
  return formatFixed(value, accessMode == 4 ? 3 : pressureDecimals(u));
}

std::array<const char*, 3> rangeEntries(std::uint8_t u) {
  switch (u) {
    case unit::kPsi: return {"15PSI", "30PSI", "Auto"};
    case unit::kKpa: return {"100KPa", "200KPa", "Auto"};
    case unit::kMpa: return {"0.1MPa", "0.2MPa", "Auto"};
    default: return {"10bar", "20bar", "Auto"};
  }
}

std::uint8_t automaticRange(std::uint8_t byte6F) { return byte6F >= 11 && byte6F <= 254 ? 1 : 0; }

}  // namespace vrx4
