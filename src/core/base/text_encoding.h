// Text files made on another platform come in Windows-1252; ours are UTF-8.
// Everything inside the program is UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vrx4 {

bool isValidUtf8(std::string_view bytes);

// Appends a code point of the Basic Multilingual Plane as UTF-8.
void appendUtf8(std::string& out, std::uint32_t codePoint);

// Windows-1252 bytes as UTF-8 (the five unassigned bytes map to U+FFFD).
std::string windows1252ToUtf8(std::string_view bytes);

// The file's text as UTF-8: a UTF-8 byte-order mark is dropped, valid UTF-8
// is kept as it is, anything else is read as Windows-1252.
std::string decodeTextFile(std::string_view bytes);

}  // namespace vrx4
