#include "link/param_dictionary.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vrx4 {
namespace {

TEST(ParamDictionary, TablesAreConsistent) {
  ASSERT_EQ(baseFields().size(), 41u);
  ASSERT_EQ(optionFields().size(), 27u);
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
  EXPECT_EQ(findField(Area::Base, "SN")->offset, 0x25);
  EXPECT_EQ(findField(Area::Option, "V_TO_B_A")->offset, 0x0A);
  EXPECT_FALSE(findField(Area::Option, "SN"));
}

TEST(ParamDictionary, BigEndianFields) {
  Image im{};
  im[0x29] = 0x12;
  im[0x2A] = 0x34;
  EXPECT_EQ(readField(im, *findField(Area::Base, "REGULATEUR")), 0x1234);

  const ParamField sn = *findField(Area::Base, "SN");
  writeField(im, sn, 0x012345);
  EXPECT_EQ(im[0x25], 0x01);
  EXPECT_EQ(im[0x26], 0x23);
  EXPECT_EQ(im[0x27], 0x45);
  EXPECT_EQ(readField(im, sn), 0x012345);

  // Signed words sign-extend; unsigned ones do not.
  const ParamField slope = *findField(Area::Base, "A_TO_B_B");
  writeField(im, slope, -2500);
  EXPECT_EQ(im[0x07], 0xF6);
  EXPECT_EQ(im[0x08], 0x3C);
  EXPECT_EQ(readField(im, slope), -2500);
  EXPECT_EQ(readSigned16(im, 0x07), -2500);
  im[0x30] = 0xFF;
  im[0x31] = 0xFE;
  EXPECT_EQ(readField(im, *findField(Area::Base, "FORCE_0_ENTREE")), 0xFFFE);
}

}  // namespace
}  // namespace vrx4
