// Bytes as upper-case hexadecimal text, the way every file, dump, field
// list and identity line of the program writes them, and the way back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vrx4::hex_text {

// The value of an upper-case hexadecimal digit, -1 for any other character.
int digitValue(char c);

// `digits` hexadecimal digits of `value`, most significant first.
void append(std::string& out, std::uint32_t value, std::size_t digits);

// One byte as two digits: "0A".
std::string byte(std::uint8_t b);

// Bytes as two digits each, `separator` between them: a serial number
// reads "01 23 45".
std::string bytes(std::span<const std::uint8_t> b, std::string_view separator = " ");

}  // namespace vrx4::hex_text
