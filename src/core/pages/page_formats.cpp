#include "core/pages/page_formats.h"

#include <string_view>

namespace vrx4 {

PageUnits PageUnits::of(std::uint8_t unit, std::uint8_t scale, std::uint32_t accessMode) {
  return {unit, pressureFactor(unit), scale, accessMode};
}

int pressureFullScale(std::uint8_t u, std::uint8_t scale) {
  int low = 10;
  switch (u) {
    case unit::kPsi: low = 150; break;
    case unit::kKpa: low = 1000; break;
    case unit::kMpa: low = 1; break;
    default: break;
  }
  return scale == 1 ? 2 * low : low;
}

const char* channelName(Channel ch) {
  switch (ch) {
    case Channel::Control: return "CONTROL";
    case Channel::Auxin: return "AUXin";
    case Channel::Uout: return "Uout";
    case Channel::Iout: return "Iout";
  }
  return "";
}

namespace {

// The CONTROL page is the one page that shows more decimals in every
// setting mode; the others only with the service pages (mode 4).
bool settingPrecision(Channel ch, std::uint32_t mode) {
  if (ch == Channel::Control) return mode >= access::kSetting && mode <= access::kSettingProService;
  return mode == access::kSettingProService;
}

}  // namespace

int cornerXDecimals(Channel ch, const PageUnits& u) {
  if (settingPrecision(ch, u.accessMode)) return 2;
  return isInputChannel(ch) ? 1 : pressureDecimals(u.unit);
}

int cornerYDecimals(Channel ch, const PageUnits& u) {
  if (settingPrecision(ch, u.accessMode)) return 2;
  return isInputChannel(ch) ? pressureDecimals(u.unit) : 1;
}

int equivalentDecimals(Channel ch, const PageUnits& u) {
  if (settingPrecision(ch, u.accessMode)) return 3;
  return isInputChannel(ch) ? pressureDecimals(u.unit) : 1;
}

int alarmTimeDecimals(const PageUnits& u) { return u.accessMode == access::kSettingProService ? 3 : 1; }

int alarmLimitDecimals(const PageUnits& u) {
  return u.accessMode == access::kSettingProService ? 3 : pressureDecimals(u.unit);
}

std::string pressureUnitName(std::uint8_t u) {
  // The label suffix without its blank and brackets: " [bar]" -> "bar".
  const std::string_view suffix = unitSuffix(u);
  return std::string(suffix.substr(2, suffix.size() - 3));
}

}  // namespace vrx4
