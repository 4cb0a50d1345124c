// Two configurations compared byte by byte over what a configuration file
// holds (BASE 0x00..0x6F, OPTION 0x00..0x72): one difference per
// dictionary field whose bytes differ, then one per differing byte that no
// named field covers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/link/device_state.h"
#include "core/link/param_dictionary.h"

namespace vrx4::config_diff {

struct Difference {
  Area area;
  std::optional<ParamField> field;  // nothing for a byte outside any field
  std::uint8_t address;             // the field's first byte, or the byte
  std::string a, b;                 // the values as the field list shows them
};

// BASE fields, OPTION fields (dictionary order), then the bytes outside
// any field, BASE before OPTION, by address.
std::vector<Difference> compare(const Images& a, const Images& b);

// "BASE KPHG 0x2B 00 7F", or "OPTION 0x40 12 34" for a byte outside.
std::string text(const Difference& d);

}  // namespace vrx4::config_diff
