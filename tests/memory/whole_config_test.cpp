// What a file supplies to Export to VRX, and the ranges it leaves to the
// regulator.
#include "core/memory/whole_config.h"

#include <gtest/gtest.h>

namespace vrx4::whole_config {
namespace {

using config_file::parse;

TEST(WholeConfig, UnsuppliedRangesFollowTheAccessMode) {
  Image option{}, base{};
  // OPTION 0x00..0x1F and BASE 0x00..0x0F plus one PID byte.
  const std::string text =
      "00000" + std::string(32, '1') + "\r\n" + "00010" + std::string(32, '2') + "\r\n" +
      "10000" + std::string(32, '3') + "\r\n" + "1002B44\r\n";
  const auto r = parse(text, {option, base});
  ASSERT_EQ(r.status, config_file::ReadStatus::Read);
  EXPECT_TRUE(r.optionSupplied.test(0x1F) && !r.optionSupplied.test(0x20));
  EXPECT_TRUE(r.baseSupplied.test(0x2B) && !r.baseSupplied.test(0x2C));

  EXPECT_EQ(unsuppliedRanges(r, 2),
            (std::vector<std::string>{"OPTION 0x20..0x2F", "BASE 0x2C..0x2E"}));
  EXPECT_EQ(unsuppliedRanges(r, 4),
            (std::vector<std::string>{"OPTION 0x20..0x72", "BASE 0x10..0x2A", "BASE 0x2C..0x6F"}));

  // A whole configuration supplies everything; a single missing byte is
  // named alone.
  const std::string whole = config_file::wholeConfiguration(option, base);
  auto full = parse(whole, {option, base});
  EXPECT_TRUE(unsuppliedRanges(full, 4).empty());
  full.baseSupplied.reset(0x6F);
  EXPECT_EQ(unsuppliedRanges(full, 4), (std::vector<std::string>{"BASE 0x6F"}));
  EXPECT_TRUE(unsuppliedRanges(full, 2).empty());
}

}  // namespace
}  // namespace vrx4::whole_config
