#include "core/memory/config_diff.h"

#include <bitset>

#include "core/base/hex_text.h"
#include "core/memory/eeprom_map.h"
#include "core/memory/whole_config.h"

namespace vrx4::config_diff {
namespace {

constexpr Area kAreas[] = {Area::Base, Area::Option};

bool differs(const Image& a, const Image& b, std::size_t at, std::size_t n) {
  for (std::size_t i = at; i < at + n; ++i)
    if (a[i] != b[i]) return true;
  return false;
}

}  // namespace

std::vector<Difference> compare(const Images& a, const Images& b) {
  std::vector<Difference> out;
  for (Area area : kAreas) {
    const Image& ia = a.device(area);
    const Image& ib = b.device(area);
    for (const ParamField& f : fields(area))
      if (differs(ia, ib, f.offset, f.width))
        out.push_back({area, f, f.offset, eeprom_map::fieldValue(f, ia), eeprom_map::fieldValue(f, ib)});
  }
  for (Area area : kAreas) {
    const Image& ia = a.device(area);
    const Image& ib = b.device(area);
    std::bitset<kImageSize> named;
    for (const ParamField& f : fields(area))
      for (std::size_t i = 0; i < f.width; ++i) named.set(f.offset + i);
    for (std::size_t i = 0; i < eeprom_map::dumpBytes(area); ++i)
      if (!named.test(i) && ia[i] != ib[i])
        out.push_back({area, std::nullopt, static_cast<std::uint8_t>(i), hex_text::byte(ia[i]),
                       hex_text::byte(ib[i])});
  }
  return out;
}

std::string text(const Difference& d) {
  std::string s = d.area == Area::Base ? "BASE " : "OPTION ";
  if (d.field) s += std::string(d.field->name) + " ";
  return s + "0x" + hex_text::byte(d.address) + " " + d.a + " " + d.b;
}

}  // namespace vrx4::config_diff
