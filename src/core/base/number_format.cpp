#include "core/base/number_format.h"

#include <array>
#include <charconv>
#include <cmath>

namespace vrx4 {

std::string formatFixed(double value, int precision) { return formatFixed(value, 0, precision); }

std::string formatFixed(double value, int width, int precision) {
  std::string text;
  if (!std::isfinite(value)) {
    text = "---";
  } else {
    // to_chars is locale-independent and rounds exactly like printf.
    std::array<char, 400> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, precision);
    text.assign(buffer.data(), result.ptr);
  }
  if (width > 0 && text.size() < static_cast<std::size_t>(width)) text.insert(0, width - text.size(), ' ');
  return text;
}


}  // namespace vrx4
