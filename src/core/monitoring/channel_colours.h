// The colours of the seven live channels: the trend chart's curves, the
// graph page's channel boxes and the LIVE page's captions.
#pragma once

#include <array>

#include "core/base/colour_word.h"
#include "core/monitoring/sample_store.h"

namespace vrx4 {

inline constexpr ColourWord kCtrlColour = colour::rgb(255, 128, 0);     // orange
inline constexpr ColourWord kAuxinColour = colour::rgb(255, 128, 128);  // salmon
inline constexpr ColourWord kP2Colour = colour::rgb(0, 0, 255);         // blue
inline constexpr ColourWord kSupplyColour = colour::rgb(0, 128, 128);   // teal
inline constexpr ColourWord kUoutColour = colour::rgb(128, 0, 255);     // violet
inline constexpr ColourWord kIoutColour = colour::rgb(128, 128, 0);     // olive
inline constexpr ColourWord kAlarmColour = colour::rgb(255, 0, 0);      // red

// By channel, in drawing order.
inline constexpr std::array<ColourWord, kChannelCount> kChannelColours = {
    kCtrlColour, kAuxinColour, kP2Colour, kSupplyColour, kUoutColour, kIoutColour, kAlarmColour};

}  // namespace vrx4
