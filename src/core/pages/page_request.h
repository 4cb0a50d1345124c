// The outcome of a page's Save or Restore: either the transfer request to
// publish (the page's working bytes, its op, first address and count, and
// the byte-0 value where the page writes one), or a refusal that names the
// field at fault and says why. Nothing is built to write when a Save is
// refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/link/device_state.h"

namespace vrx4 {

// Why a Save was refused, where a window shows the reason in its own
// language: the message then is the text of that kind with the field's
// name in place of "%s".
enum class RefusalKind : std::uint8_t {
  Other,            // the message says it all (a range, equal corners...)
  NotANumber,       // the text is not a number (decimal_text.h)
  NotAWholeNumber,  // a PID gain that holds no whole number
};
// The English texts of the two kinds.
inline constexpr const char* kNotANumberText =
    "%s : not a number. Type digits, with a point before any decimals (for example -1.5).";
inline constexpr const char* kNotAWholeNumberText = "%s : not a whole number (Min=0 - Max=255)";
// `text` with `field` in place of its first "%s".
std::string fillField(std::string_view text, std::string_view field);

struct Refusal {
  int controlId = 0;    // the edit that gets the keyboard focus
  std::string field;    // the field's name as the page shows it ("Kp High", "upper x corner")
  std::string message;  // the whole message box text
  RefusalKind kind = RefusalKind::Other;
};

struct SaveOutcome {
  // Ready to hand to DeviceState::publishRequest (device mode) or to apply
  // to the device images (file mode). Meaningful only when not refused.
  TransferRequest request{};
  // How many bytes of request.scratch the page's write puts on the device
  // (8 CONTROL, 8 AUXin, 4 Uout, 4 Iout, 19 alarm, 4 PID), starting at
  // request.start. For the two-block ops (CONTROL, PID) this is twice
  // request.count.
  std::size_t workSize = 0;
  std::optional<Refusal> refusal;

  bool refused() const { return refusal.has_value(); }
  // The page's working copy, first byte first.
  std::span<const std::uint8_t> work() const { return {request.scratch.data(), workSize}; }
};

// A request from the working bytes; byte-0 values are set by the caller.
SaveOutcome makeOutcome(std::uint32_t op, std::uint8_t start, std::uint8_t count,
                        std::span<const std::uint8_t> work);
SaveOutcome refuse(int controlId, std::string field, std::string message,
                   RefusalKind kind = RefusalKind::Other);
// A field whose text is not a number: "<prefix><field> : not a number...".
SaveOutcome refuseNotANumber(int controlId, std::string field, std::string_view prefix = {});

// R(): the nearest whole number, a value exactly halfway rounded away from
// zero.
double roundHalfAway(double value);
// R(value) as a signed 16-bit device word, or nothing when it does not fit
// (or the value is not finite). The device stores 16 bits; a larger value
// would be stored as its low bits, a different number altogether.
std::optional<std::int16_t> encodeWord(double value);
// A device word, high byte first, into bytes at `at`.
void putWord(std::span<std::uint8_t> bytes, std::size_t at, std::int16_t word);

}  // namespace vrx4
