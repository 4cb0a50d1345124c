#include "core/base/hex_text.h"

namespace vrx4::hex_text {

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";
}

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void append(std::string& out, std::uint32_t value, std::size_t digits) {
  for (std::size_t k = digits; k-- > 0;) out.push_back(kDigits[(value >> (4 * k)) & 0xFu]);
}

std::string byte(std::uint8_t b) { return {kDigits[b >> 4], kDigits[b & 0x0F]}; }

std::string bytes(std::span<const std::uint8_t> b, std::string_view separator) {
  std::string out;
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (i > 0) out += separator;
    append(out, b[i], 2);
  }
  return out;
}

}  // namespace vrx4::hex_text
