// The PID page's four gains, one byte each at BASE 43..46 (KPHG, KPLOW, KI,
// KD), shown as whole numbers 0..255. Save checks them and writes the four
// bytes as two verified blocks of two (op 14 at BASE 43, count 2). The page
// has no Restore.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/link/device_state.h"
#include "core/pages/page_request.h"

namespace vrx4 {

struct PidTexts {
  std::string kpHigh;  // 1279 "Kp High", BASE 43
  std::string kpLow;   // 1280 "Kp Low", BASE 44
  std::string ki;      // 1281 "Ki", BASE 45
  std::string kd;      // 1282 "Kd", BASE 46
};

// The four gains as the edits show them (decimal, no leading zeros).
PidTexts showPid(const Images& device);

// What the user has on the page; a field left empty (nullopt) keeps the
// device's byte. The page passes the gains the user changed
// (changedPidFields), the command line those it is given.
struct PidEdits {
  std::optional<std::string> kpHigh;
  std::optional<std::string> kpLow;
  std::optional<std::string> ki;
  std::optional<std::string> kd;
};

// The fields whose text differs from the one the page shows.
PidEdits changedPidFields(const PidEdits& typed, const PidTexts& shown);

// Save. First the fields are read in the page's exchange order (Kp High,
// Kp Low, Kd, Ki), in the number grammar of decimal_text.h: the first that
// holds no whole number (no number at all, or one with a fraction)
// refuses the Save with "<caption> : not a whole number (Min=0 - Max=255)".
// Then the range checks in their order (Kp High, Kp Low, Ki, Kd): the
// first value below 0 or above 255 refuses it with "<caption> : Min=0 -
// Max=255". The refusal names the edit that gets the focus. Otherwise the
// working bytes are Kp High, Kp Low, Ki, Kd (the work() of the outcome,
// which the page shows back).
SaveOutcome savePid(const Images& device, const PidEdits& edits);

}  // namespace vrx4
