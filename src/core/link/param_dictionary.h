// The named EEPROM fields of the BASE and OPTION areas, in the order of the
// configuration text blocks, with big-endian access to a field of an image.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/link/device_state.h"

namespace vrx4 {

struct ParamField {
  std::string_view name;
  std::uint8_t offset;
  std::uint8_t width;  // 1, 2 or 3 bytes
  bool isSigned;
};

std::span<const ParamField> baseFields();    // 41 fields
std::span<const ParamField> optionFields();  // 27 fields
std::span<const ParamField> fields(Area area);

// Looks a field up by its device name ("SN", "V_TO_B_A", ...).
std::optional<ParamField> findField(Area area, std::string_view name);

// The raw big-endian value: unsigned, or sign-extended for signed fields.
std::int32_t readField(const Image& image, const ParamField& field);
// Stores the low width*8 bits of value, most significant byte first.
void writeField(Image& image, const ParamField& field, std::int32_t value);

// Big-endian signed 16-bit word at offset (used for slopes and offsets).
std::int16_t readSigned16(const Image& image, std::size_t offset);

}  // namespace vrx4
