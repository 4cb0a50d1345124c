#include "core/base/decimal_text.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace vrx4 {

double parseDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // from_chars takes no sign of its own and never looks at the locale; it
  // reads the longest prefix in the fixed-or-scientific grammar.
  double value = 0.0;
  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  if (first < last && (*first == '.' || std::isdigit(static_cast<unsigned char>(*first)))) {
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
      // Too large or too small for a double: a negative exponent means a
      // value too close to zero to tell from it.
      const std::string_view number(first, static_cast<std::size_t>(ptr - first));
      const auto e = number.find_first_of("eE");
      const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
      value = tiny ? 0.0 : HUGE_VAL;
    } else if (ec != std::errc{}) {
      value = 0.0;
    }
  }
  if (std::isnan(value)) value = 0.0;
  return negative ? -value : value;
}

}  // namespace vrx4
