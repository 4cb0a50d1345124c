// Save and Restore of the four channel pages: the working bytes, the byte-0
// value and the transfer request each one makes.
//
//   CONTROL  op 18 at BASE 1, count 4 (two blocks of 4): BASE 1..8, after
//            CONSIGNE (BASE 0) alone
//   AUXin    op 16 at OPTION 10, count 8: OPTION 10..17, after FLAG
//            (OPTION 0) alone
//   Uout     op 10 at OPTION 1, count 4: OPTION 1..4
//   Iout     op 10 at OPTION 5, count 4: OPTION 5..8
#pragma once

#include <cstdint>
#include <optional>

#include "core/pages/channel_scaling.h"
#include "core/pages/page_request.h"

namespace vrx4 {

// What the user has on a channel page in Modify mode.
struct ChannelEdits {
  CornerTexts corners;
  int inputType = input_type::kVoltage;  // CONTROL, AUXin: the U/I radios
  int readAs = 0;                         // AUXin: "TO BE READ AS" (1 = P2 pressure)
  // What the page showed for this channel and type (its last Refresh).
  // The page passes it; vrx4ctl does not, and then every corner counts as
  // typed.
  std::optional<ChannelView> shown;
};

// Save. A corner whose text is still the one shown is not converted from
// its rounded text: it keeps the full precision of the shown corner. When
// no corner text changed, the pair stays exactly as the device holds it;
// the U/I choice and the reading as P2 alone never rewrite it. Otherwise
// the line through the four corners is encoded with R() into the pair of
// the chosen input type; the other type's pair keeps the device's bytes.
// Refused, naming the field, when a typed corner is not a number in the
// grammar of decimal_text.h, when a corner, the span between two corners,
// the slope or the offset is not a finite number, when the two x corners
// are equal (no slope), or when A or B does not fit a signed 16-bit word.
SaveOutcome saveChannel(Channel ch, const Images& device, const ChannelEdits& edits, const PageUnits& u);

// Restore: the factory copy of the channel's bytes (BASE 16..24 for
// CONTROL with its CONSIGNE, OPTION 58..65 with FLAG from OPTION 48 for
// AUXin, OPTION 49..52 and 53..56 for Uout and Iout).
SaveOutcome restoreChannel(Channel ch, const Images& device);

// CONTROL's CONSIGNE byte on Save: bit 0 the input type, every other bit
// as the device holds it.
std::uint8_t controlSetpointValue(std::uint8_t consigne, int inputType);
// AUXin's FLAG byte on Save: bit 3 the input type, bit 2 the reading as
// P2, every other bit as the device holds it.
std::uint8_t auxinFlagValue(std::uint8_t flag, int inputType, int readAs);

}  // namespace vrx4
