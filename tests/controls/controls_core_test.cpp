// Colour words and the bitmap reader, without Qt.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "bmp_builder.h"
#include "core/base/bmp_image.h"
#include "core/base/colour_word.h"

namespace vrx4 {
namespace {

ColourWord sys(int n) { return colour::rgb(n, n, n); }

TEST(ColourWord, ResolvedColoursByControlKind) {
  // Both default: the plain system look.
  EXPECT_TRUE(resolveColours(colour::kDefault, colour::kDefault, ControlKind::Edit, false, sys).systemLook);
  // A default background becomes the window colour for edits, the face otherwise.
  auto edit = resolveColours(colour::kRed, colour::kDefault, ControlKind::Edit, false, sys);
  EXPECT_EQ(std::make_tuple(*edit.back, edit.text), std::make_tuple(sys(colour::kSysWindow), colour::kRed));
  auto label = resolveColours(colour::kDefault, colour::kPanel, ControlKind::Static, true, sys);
  EXPECT_EQ(std::make_tuple(label.text, label.opaqueText), std::make_tuple(sys(colour::kSysWindowText), true));
  EXPECT_EQ(resolveColours(colour::kDefault, colour::kRed, ControlKind::Button, false, sys).text,
            sys(colour::kSysButtonText));
  // System colour words and transparency.
  auto none = resolveColours(colour::system(8), colour::kNone, ControlKind::Static, true, sys);
  EXPECT_EQ(std::make_tuple(none.text, none.back.has_value(), none.opaqueText), std::make_tuple(sys(8), false, false));
  EXPECT_TRUE(resolveColours(colour::kRed, colour::kDefault, ControlKind::ScrollBar, false, sys).systemLook);
}

TEST(BmpImage, EightAndTwentyFourBits) {
  const auto eight = testing::makeBmp(
      3, 2, 8, [](int x, int y) { return static_cast<std::uint32_t>(x + y * 3) % 2; }, {0x0000FF, 0x00FF00});
  BmpImage a = decodeBmp(eight);
  ASSERT_TRUE(a.ok()) << a.error;
  EXPECT_EQ(std::make_tuple(a.width, a.height, a.colourTable.size()), std::make_tuple(3, 2, std::size_t{2}));
  // Index 0 blue, 1 green; row 1 starts with index 1.
  EXPECT_EQ(std::vector(a.pixels.begin(), a.pixels.begin() + 4),
            (std::vector<std::uint32_t>{0xFF0000FFu, 0xFF00FF00u, 0xFF0000FFu, 0xFF00FF00u}));

  const auto rgb = testing::makeBmp(5, 3, 24, [](int x, int y) { return static_cast<std::uint32_t>((y << 16) | x); });
  BmpImage b = decodeBmp(rgb);
  ASSERT_TRUE(b.ok()) << b.error;
  EXPECT_EQ(b.pixels[2 * 5 + 4], 0xFF020004u);  // top-down rows: y 2, x 4
  EXPECT_TRUE(b.colourTable.empty());
}

TEST(BmpImage, BadFilesAreRefusedWithoutReadingOutside) {
  const auto good = testing::makeBmp(4, 4, 24, [](int, int) { return 0x123456u; });
  for (std::size_t cut : {std::size_t{0}, std::size_t{10}, std::size_t{53}, good.size() - 1})
    EXPECT_FALSE(decodeBmp(std::span(good.data(), cut)).ok()) << cut;
  // Too wide, compressed, pixels placed past the end.
  for (auto [at, value] : {std::pair{18, 100000u}, {30, 1u}, {10, 0xFFFFFFF0u}}) {
    auto bad = good;
    testing::put(bad, static_cast<std::size_t>(at), value, 4);
    EXPECT_FALSE(decodeBmp(bad).ok()) << at;
  }
  EXPECT_FALSE(readBmpFile("/nonexistent/logo.bmp").ok());

  // Random damage: never a crash, never a read outside (ASan watches).
  std::mt19937 rng(7);
  for (int i = 0; i < 1000; ++i) {
    auto b = good;
    for (int k = 0; k < 4; ++k) b[rng() % b.size()] = static_cast<std::uint8_t>(rng());
    b.resize(rng() % (b.size() + 1));
    (void)decodeBmp(b);
  }
}

}  // namespace
}  // namespace vrx4
