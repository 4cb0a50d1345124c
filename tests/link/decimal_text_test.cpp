#include "core/base/decimal_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace vrx4 {
namespace {

TEST(DecimalText, ReadsLikeATypedNumber) {
  EXPECT_DOUBLE_EQ(parseDecimal("2.5"), 2.5);
  EXPECT_DOUBLE_EQ(parseDecimal("  -1.25"), -1.25);
  EXPECT_DOUBLE_EQ(parseDecimal(".5"), 0.5);
  EXPECT_DOUBLE_EQ(parseDecimal("12abc"), 12.0);
  EXPECT_DOUBLE_EQ(parseDecimal(""), 0.0);
  EXPECT_DOUBLE_EQ(parseDecimal("-"), 0.0);
  EXPECT_DOUBLE_EQ(parseDecimal("nan"), 0.0);
  EXPECT_DOUBLE_EQ(parseDecimal("1e-999"), 0.0);
  EXPECT_TRUE(std::isinf(parseDecimal("1e999")));
  // A comma is not a decimal point here, whatever the desktop's locale.
  const char* old = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_DOUBLE_EQ(parseDecimal("2.5"), 2.5);
  EXPECT_DOUBLE_EQ(parseDecimal("2,5"), 2.0);
  (void)old;
  std::setlocale(LC_NUMERIC, "C");
}

}  // namespace
}  // namespace vrx4
