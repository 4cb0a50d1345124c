#include "core/base/access_modes.h"

#include "core/base/control_ids.h"

namespace vrx4 {

std::string_view accessCode(std::uint32_t mode) {
  switch (mode) {
    case access::kSetting: return "vesko";
    case access::kSettingPro: return "mindrola";
    case access::kSettingProService: return "kafter";
    default: return {};
  }
}

std::optional<std::uint32_t> modeForCode(std::string_view code) {
  for (std::uint32_t mode = access::kSetting; mode <= access::kSettingProService; ++mode)
    if (code == accessCode(mode)) return mode;
  return std::nullopt;
}

bool navigationVisible(int id, std::uint32_t mode) {
  using namespace view_id;
  const bool watch = id == kHome || id == kTools || id == kLive || id == kGraph;
  const bool setting = id == kControl || id == kAlarm || id == kUout || id == kIout || id == kAuxin || id == kPid;
  const bool service = id == kCalibration || id == kAfterSales;
  switch (mode) {
    case access::kVisualisation: return watch;
    case access::kSetting:
    case access::kSettingPro: return watch || setting;
    case access::kSettingProService: return watch || setting || service;
    default: return false;
  }
}

}  // namespace vrx4
