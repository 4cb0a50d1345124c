// The channel pages as they show a device image: corners, clipping, the
// formats by unit and access mode, the line through the shown corners and
// the equivalent of a measured value; the line diagram's arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "page_images.h"
#include "core/pages/channel_scaling.h"
#include "core/pages/line_diagram_scale.h"

namespace vrx4 {
namespace {

using test::setWord;

Images withPair(Channel ch, int type, std::int16_t a, std::int16_t b) {
  Images im = test::patternImages();
  Image& image = im.device(channelArea(ch));
  setWord(image, coefficientOffset(ch, type), a);
  setWord(image, coefficientOffset(ch, type) + 2, b);
  return im;
}

// The corner texts in one line: "xLow xHigh yLow yHigh".
std::string texts(const ChannelView& v) { return v.texts.xLow + " " + v.texts.xHigh + " " + v.texts.yLow + " " + v.texts.yHigh; }

// The corners a line gives by unit, range and access mode: the input lines
// are cut at the pressure full scale (doubled on the high range) and at
// the x axis, the outputs at their own full scale; flat lines are never
// divided by (above Pmax the line stays at its offset, below 0 both
// corners take it). CONTROL shows setting precision from mode 2, AUXin
// and the outputs in mode 4 only.
TEST(ChannelScaling, CornersByUnitRangeAndAccessMode) {
  const PageUnits bar = PageUnits::of(unit::kBar, 0, 1), bar20 = PageUnits::of(unit::kBar, 1, 1);
  const struct {
    Channel ch;
    int type;
    std::int16_t a, b;
    PageUnits u;
    const char* texts;
  } cases[] = {
      {Channel::Control, 0, 1024, 0, bar, "0.0 10.0 0.0 10.0"},
      {Channel::Control, 0, 1024, 0, PageUnits::of(unit::kPsi, 0, 1), "0.0 10.0 0 145"},
      {Channel::Control, 0, 1024, 0, PageUnits::of(unit::kPsi, 0, 2), "0.00 10.00 0.00 145.04"},
      {Channel::Auxin, 0, 1024, 0, PageUnits::of(unit::kPsi, 0, 2), "0.0 10.0 0 145"},
      {Channel::Auxin, 0, 1024, 0, PageUnits::of(unit::kPsi, 0, 4), "0.00 10.00 0.00 145.04"},
      {Channel::Control, 0, 2048, 0, bar, "0.0 5.0 0.0 10.0"},
      {Channel::Control, 0, 2048, 0, bar20, "0.0 10.0 0.0 20.0"},
      {Channel::Control, 0, 1024, -1000, bar, "1.0 10.0 0.0 9.0"},
      {Channel::Control, 0, 0, 12000, bar, "0.0 10.0 12.0 12.0"},
      {Channel::Control, 0, 0, -2000, bar, "0.0 10.0 -2.0 -2.0"},
      {Channel::Auxin, 1, 512, 0, bar, "0.0 20.0 0.0 10.0"},  // the current input: its own pair, 20 mA
      {Channel::Uout, 0, 1024, 0, bar20, "0.0 10.0 0.0 10.0"},
      {Channel::Uout, 0, 512, 0, bar20, "0.0 20.0 0.0 10.0"},
      // Iout in PSI, 4..20 mA: 150 PSI is more than 10 bar, so the line is
      // cut at 20 mA just before it.
      {Channel::Iout, 0, 1638, 4000, PageUnits::of(unit::kPsi, 0, 3), "0 145 4.0 20.0"},
      {Channel::Iout, 0, 1638, 4000, PageUnits::of(unit::kPsi, 0, 4), "0.00 145.07 4.00 20.00"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(texts(showChannel(c.ch, withPair(c.ch, c.type, c.a, c.b), c.type, c.u)), c.texts)
        << channelName(c.ch) << " " << c.a << " " << c.b << " unit " << int(c.u.unit) << " mode " << c.u.accessMode;
  EXPECT_EQ(pressureFullScale(7, 0), 10);  // an unknown unit counts as bar
  EXPECT_STREQ(showChannel(Channel::Auxin, withPair(Channel::Auxin, 1, 512, 0), 1, bar).xUnit, "[mA]");
  const ChannelView flat = showChannel(Channel::Control, withPair(Channel::Control, 0, 0, 12000), 0, bar);
  EXPECT_EQ(std::make_pair(flat.line.slope, flat.line.offset), std::make_pair(0.0, 12.0));
}

// The equivalent of a measured value follows the line through the shown
// corners, in the page's format.
TEST(ChannelScaling, EquivalentOfTheShownLine) {
  const Images control = withPair(Channel::Control, 0, 1024, 0);
  for (auto [u, in, out] : {std::tuple{PageUnits::of(unit::kBar, 0, 1), "5.0", "5.0"},
                            {PageUnits::of(unit::kPsi, 0, 1), "4", "58"},
                            // 14.504 per volt, not the device's 14.5038.
                            {PageUnits::of(unit::kPsi, 0, 2), "4", "58.016"}}) {
    const ChannelView v = showChannel(Channel::Control, control, 0, u);
    EXPECT_EQ(equivalentText(Channel::Control, v.line, in, u), out) << out;
    EXPECT_STREQ(v.xUnit, "[V]");
  }
  const ChannelView v = showChannel(Channel::Uout, withPair(Channel::Uout, 0, 1024, 0), 0, PageUnits::of(unit::kBar, 1, 1));
  EXPECT_EQ(equivalentText(Channel::Uout, v.line, "6.5", PageUnits::of(unit::kBar, 0, 4)), "6.500");
}

TEST(ChannelScaling, ComputeLineAndEquivalent) {
  TypedLine t = computeLine({"1.0", "9.0", "0.0", "8.0"});
  EXPECT_EQ(std::make_pair(t.line.slope, t.line.offset), std::make_pair(1.0, -1.0));
  EXPECT_DOUBLE_EQ(t.corners.xHigh, 9.0);
  // Unreadable text counts as 0.
  t = computeLine({"abc", "10", "", "5"});
  EXPECT_EQ(std::make_pair(t.line.slope, t.line.offset), std::make_pair(0.5, 0.0));
  const PageUnits bar = PageUnits::of(unit::kBar, 0, 1);
  EXPECT_EQ(equivalentText(Channel::Control, t.line, "junk", bar), "0.0");
  // Equal x corners: no line, and the equivalent says so instead of "inf".
  t = computeLine({"5", "5.0", "0", "1"});
  EXPECT_FALSE(std::isfinite(t.line.slope));
  EXPECT_EQ(equivalentText(Channel::Control, t.line, "1", bar), "---");
}

// The diagram's pixels and axis numbers: the corners at the full scales
// on the plot's corners whatever the unit, range and input type (within
// the pixel a float scale of 0.1 can lose to truncation), the top number
// naming the full scale; values far beyond the plot held within an int.
TEST(LineDiagramScale, EveryUnitRangeAndInputTypeFitsThePlot) {
  struct Case {
    std::uint8_t unit, scale;
    const char* top;
  } cases[] = {{unit::kPsi, 0, "150"}, {unit::kKpa, 1, "2000"}, {unit::kMpa, 0, "1.0"}, {unit::kMpa, 1, "2.0"}};
  for (const Case& c : cases) {
    const PageUnits u = PageUnits::of(c.unit, c.scale, 2);
    const double pmax = pressureFullScale(c.unit, c.scale);
    const DiagramScales in = diagramScales(Channel::Control, input_type::kCurrent, u);
    EXPECT_EQ(diagramPixelX(20.0, in.xScale), diagram::kRight);
    EXPECT_NEAR(diagramPixelY(pmax, in.yScale), diagram::kTop, 1) << c.top;
    EXPECT_EQ(axisNumber(in.yScale, 5), c.top);
    const DiagramScales out = diagramScales(Channel::Uout, input_type::kVoltage, u);
    EXPECT_NEAR(diagramPixelX(pmax, out.xScale), diagram::kRight, 1) << c.top;
    EXPECT_EQ(axisNumber(out.xScale, 5), c.top);
  }
  EXPECT_EQ(axisNumber(1.0f, 5), "10");
  EXPECT_EQ(axisNumber(0.1f, 1), "0.2");
  EXPECT_EQ(diagramPixelX(-0.06, 1.0f), diagram::kLeft - 1);  // truncated toward 0
  EXPECT_EQ(diagramPixelX(1e300, 1.0f), diagram::kLeft + 100000);
  EXPECT_EQ(diagramPixelY(-std::numeric_limits<double>::infinity(), 1.0f), diagram::kBottom + 100000);
  EXPECT_EQ(diagramPixelY(std::nan(""), 1.0f), diagram::kBottom);
}

}  // namespace
}  // namespace vrx4
