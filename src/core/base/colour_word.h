// Colour words: a 32-bit colour value with three reserved forms (none, the
// control kind's default, a system colour index); any other value is an
// RGB colour in the low 24 bits, red in the lowest byte.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace vrx4 {

using ColourWord = std::uint32_t;

namespace colour {
constexpr ColourWord kNone = 0xFFFFFFFF;
constexpr ColourWord kDefault = 0xFF000000;
constexpr ColourWord kSystemBase = 0x80000000;
constexpr ColourWord rgb(int r, int g, int b) {
  return static_cast<ColourWord>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr ColourWord system(int n) { return kSystemBase + static_cast<ColourWord>(n); }
constexpr int red(ColourWord c) { return static_cast<int>(c & 0xFF); }
constexpr int green(ColourWord c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blue(ColourWord c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr ColourWord kPanel = rgb(236, 233, 216);
constexpr ColourWord kWhite = rgb(255, 255, 255);
constexpr ColourWord kBlack = rgb(0, 0, 0);
constexpr ColourWord kRed = rgb(255, 0, 0);
constexpr ColourWord kGreen = rgb(0, 255, 0);
constexpr ColourWord kYellow = rgb(255, 255, 0);
constexpr ColourWord kTeal = rgb(0, 128, 128);
constexpr ColourWord kDarkBlue = rgb(0, 0, 150);
constexpr ColourWord kNavButton = rgb(255, 215, 1);
constexpr ColourWord kSelected = rgb(255, 128, 128);

// System colour numbers the controls use.
constexpr int kSysWindow = 5;
constexpr int kSysWindowFrame = 6;
constexpr int kSysWindowText = 8;
constexpr int kSysButtonFace = 15;
constexpr int kSysButtonShadow = 16;
constexpr int kSysButtonText = 18;
constexpr int kSysHighlight3D = 20;
constexpr int kSysDarkShadow3D = 21;
}  // namespace colour

enum class ControlKind { MessageBox, Edit, ListBox, Button, Dialog, ScrollBar, Static };

// The outcome of a colour query: either the plain system look, or a text
// colour and a background (none = transparent), both as RGB words.
struct ResolvedColours {
  bool systemLook = false;
  ColourWord text = colour::kBlack;
  std::optional<ColourWord> back;  // nullopt: transparent
  bool opaqueText = false;
};

// The colour query for a control kind: system colours are looked up with
// `systemColour` (n -> RGB word).
ResolvedColours resolveColours(ColourWord text, ColourWord back, ControlKind kind, bool opaqueText,
                               const std::function<ColourWord(int)>& systemColour);

}  // namespace vrx4
