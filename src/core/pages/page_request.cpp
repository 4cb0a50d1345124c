#include "core/pages/page_request.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vrx4 {

SaveOutcome makeOutcome(std::uint32_t op, std::uint8_t start, std::uint8_t count,
                        std::span<const std::uint8_t> work) {
  SaveOutcome out;
  out.request.op = op;
  out.request.start = static_cast<std::int8_t>(start);
  out.request.count = static_cast<std::int8_t>(count);
  out.workSize = std::min(work.size(), out.request.scratch.size());
  std::copy_n(work.begin(), out.workSize, out.request.scratch.begin());
  return out;
}

std::string fillField(std::string_view text, std::string_view field) {
  std::string out(text);
  if (const auto at = out.find("%s"); at != std::string::npos) out.replace(at, 2, field);
  return out;
}

SaveOutcome refuse(int controlId, std::string field, std::string message, RefusalKind kind) {
  SaveOutcome out;
  out.refusal = Refusal{controlId, std::move(field), std::move(message), kind};
  return out;
}

SaveOutcome refuseNotANumber(int controlId, std::string field, std::string_view prefix) {
  std::string message = std::string(prefix) + fillField(kNotANumberText, field);
  return refuse(controlId, std::move(field), std::move(message), RefusalKind::NotANumber);
}

double roundHalfAway(double value) { return std::round(value); }

std::optional<std::int16_t> encodeWord(double value) {
  const double r = roundHalfAway(value);
  // Compared as doubles, so that no out-of-range value is ever converted.
  if (!(r >= std::numeric_limits<std::int16_t>::min() && r <= std::numeric_limits<std::int16_t>::max())) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(r);
}

void putWord(std::span<std::uint8_t> bytes, std::size_t at, std::int16_t word) {
  const auto w = static_cast<std::uint16_t>(word);
  bytes[at] = static_cast<std::uint8_t>(w >> 8);
  bytes[at + 1] = static_cast<std::uint8_t>(w & 0xFF);
}

}  // namespace vrx4
