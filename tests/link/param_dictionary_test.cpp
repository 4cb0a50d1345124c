#include "core/link/param_dictionary.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

namespace vrx4 {
namespace {

TEST(ParamDictionary, TablesAreConsistent) {
  for (Area area : {Area::Base, Area::Option}) {
    std::set<std::string> names;
    int end = 0;
    for (const ParamField& f : fields(area)) {
      EXPECT_TRUE(names.insert(std::string(f.name)).second) << f.name;
      EXPECT_GE(f.width, 1);
      EXPECT_LE(f.width, 3);
      EXPECT_GE(f.offset, end) << f.name << " overlaps the field before it";
      end = f.offset + f.width;
    }
    // Named fields stop where the named areas stop.
    EXPECT_EQ(end, area == Area::Base ? 0x60 : 0x73);
  }
  EXPECT_FALSE(findField(Area::Option, "SN"));
}

TEST(ParamDictionary, BigEndianFields) {
  Image im{};
  const ParamField sn = *findField(Area::Base, "SN");
  writeField(im, sn, 0x012345);
  EXPECT_EQ((std::array{im[0x25], im[0x26], im[0x27]}), (std::array<std::uint8_t, 3>{0x01, 0x23, 0x45}));
  EXPECT_EQ(readField(im, sn), 0x012345);

  // Signed words sign-extend; unsigned ones do not.
  const ParamField slope = *findField(Area::Base, "A_TO_B_B");
  writeField(im, slope, -2500);
  EXPECT_EQ((std::array{im[0x07], im[0x08]}), (std::array<std::uint8_t, 2>{0xF6, 0x3C}));
  EXPECT_EQ(readField(im, slope), -2500);
  EXPECT_EQ(readSigned16(im, 0x07), -2500);
  im[0x30] = 0xFF;
  im[0x31] = 0xFE;
  EXPECT_EQ(readField(im, *findField(Area::Base, "FORCE_0_ENTREE")), 0xFFFE);
}

}  // namespace
}  // namespace vrx4
