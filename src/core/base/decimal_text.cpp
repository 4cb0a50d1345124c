#include "core/base/decimal_text.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace vrx4 {

std::optional<double> readNumber(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  std::size_t digits = 0, points = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9') ++digits;
    else if (c == '.') ++points;
    else return std::nullopt;
  }
  if (digits == 0 || points > 1) return std::nullopt;
  double value = 0.0;
  const char* last = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), last, value, std::chars_format::fixed);
  if (ec == std::errc::result_out_of_range) {
    // A whole part other than zero overflows; otherwise the value is too
    // close to zero to tell from it.
    const std::string_view whole = text.substr(0, text.find('.'));
    value = whole.find_first_not_of('0') != std::string_view::npos ? HUGE_VAL : 0.0;
  } else if (ec != std::errc{} || ptr != last) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

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
