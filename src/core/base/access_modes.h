// The three user levels: which access code opens which mode, and which
// navigation buttons each mode shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vrx4 {

namespace access {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kVisualisation = 1;
constexpr std::uint32_t kSetting = 2;
constexpr std::uint32_t kSettingPro = 3;
constexpr std::uint32_t kSettingProService = 4;
}  // namespace access

// The code that opens a mode (2, 3 or 4); empty for the others.
std::string_view accessCode(std::uint32_t mode);
// The mode a code opens: compared whole and case-sensitively.
std::optional<std::uint32_t> modeForCode(std::string_view code);

// True when the navigation button (a main-view control id) is shown in
// the mode.
bool navigationVisible(int buttonId, std::uint32_t mode);

// True in the modes that may change the device (SETTING, SETTING PRO).
inline bool isSettingMode(std::uint32_t mode) { return mode >= 2 && mode <= 4; }

}  // namespace vrx4
