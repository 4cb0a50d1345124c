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

#include "core/pages/channel_scaling.h"
#include "core/pages/page_request.h"

namespace vrx4 {

// What the user has on a channel page in Modify mode.
struct ChannelEdits {
  CornerTexts corners;
  int inputType = input_type::kVoltage;  // CONTROL, AUXin: the U/I radios
  int readAs = 0;                         // AUXin: "TO BE READ AS" (1 = P2 pressure)
};

// Save: the line through the typed corners, encoded with R() into the
// pair of the chosen input type; the other type's pair keeps the device's
// bytes. Refused, naming the field, when a corner is not a finite number,
// when the two x corners are equal (no slope), or when A or B does not fit
// a signed 16-bit word.
SaveOutcome saveChannel(Channel ch, const Images& device, const ChannelEdits& edits, const PageUnits& u);

// Restore: the factory copy of the channel's bytes (BASE 16..24 for
// CONTROL with its CONSIGNE, OPTION 58..65 with FLAG from OPTION 48 for
// AUXin, OPTION 49..52 and 53..56 for Uout and Iout).
SaveOutcome restoreChannel(Channel ch, const Images& device);

// CONTROL's CONSIGNE byte on Save: the input type, 0 or 1.
std::uint8_t controlSetpointValue(int inputType);
// AUXin's FLAG byte on Save: bit 3 the input type, bit 2 the reading as
// P2, every other bit as the device holds it.
std::uint8_t auxinFlagValue(std::uint8_t flag, int inputType, int readAs);

}  // namespace vrx4
