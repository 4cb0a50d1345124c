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

void expectTexts(const CornerTexts& t, const char* xLow, const char* xHigh, const char* yLow, const char* yHigh) {
  EXPECT_EQ(t.xLow, xLow);
  EXPECT_EQ(t.xHigh, xHigh);
  EXPECT_EQ(t.yLow, yLow);
  EXPECT_EQ(t.yHigh, yHigh);
}

Images withPair(Channel ch, int type, std::int16_t a, std::int16_t b) {
  Images im = test::patternImages();
  Image& image = im.device(channelArea(ch));
  setWord(image, coefficientOffset(ch, type), a);
  setWord(image, coefficientOffset(ch, type) + 2, b);
  return im;
}

TEST(ChannelScaling, ControlLineByUnitAndAccessMode) {
  const Images im = withPair(Channel::Control, 0, 1024, 0);
  PageUnits u = PageUnits::of(unit::kBar, 0, 1);
  ChannelView v = showChannel(Channel::Control, im, 0, u);
  expectTexts(v.texts, "0.0", "10.0", "0.0", "10.0");
  EXPECT_STREQ(v.xUnit, "[V]");
  EXPECT_EQ(equivalentText(Channel::Control, v.line, "5.0", u), "5.0");

  u = PageUnits::of(unit::kPsi, 0, 1);
  v = showChannel(Channel::Control, im, 0, u);
  EXPECT_EQ(v.texts.yHigh, "145");
  EXPECT_EQ(equivalentText(Channel::Control, v.line, "4", u), "58");

  // SETTING: the CONTROL page shows two decimals, AUXin only in mode 4.
  u.accessMode = 2;
  v = showChannel(Channel::Control, im, 0, u);
  expectTexts(v.texts, "0.00", "10.00", "0.00", "145.04");
  // The equivalent follows the line through the shown corners (14.504 per
  // volt), not the device's 14.5038.
  EXPECT_EQ(equivalentText(Channel::Control, v.line, "4", u), "58.016");
  // AUXin: setting precision in mode 4 only.
  const Images aux = withPair(Channel::Auxin, 0, 1024, 0);
  EXPECT_EQ(showChannel(Channel::Auxin, aux, 0, u).texts.yHigh, "145");
  u.accessMode = 4;
  EXPECT_EQ(showChannel(Channel::Auxin, aux, 0, u).texts.yHigh, "145.04");
}

TEST(ChannelScaling, InputLineIsCutAtThePressureFullScaleAndTheXAxis) {
  const PageUnits bar = PageUnits::of(unit::kBar, 0, 1);
  expectTexts(showChannel(Channel::Control, withPair(Channel::Control, 0, 2048, 0), 0, bar).texts, "0.0", "5.0",
              "0.0", "10.0");
  EXPECT_EQ(pressureFullScale(7, 0), 10);  // an unknown unit counts as bar
  // The high range doubles Pmax: the same line is not cut.
  expectTexts(showChannel(Channel::Control, withPair(Channel::Control, 0, 2048, 0), 0,
                          PageUnits::of(unit::kBar, 1, 1)).texts,
              "0.0", "10.0", "0.0", "20.0");
  expectTexts(showChannel(Channel::Control, withPair(Channel::Control, 0, 1024, -1000), 0, bar).texts, "1.0",
              "10.0", "0.0", "9.0");

  // Flat lines are never divided by: above Pmax the line stays at its
  // offset, below 0 both corners take the offset.
  ChannelView v = showChannel(Channel::Control, withPair(Channel::Control, 0, 0, 12000), 0, bar);
  expectTexts(v.texts, "0.0", "10.0", "12.0", "12.0");
  EXPECT_DOUBLE_EQ(v.line.slope, 0.0);
  EXPECT_DOUBLE_EQ(v.line.offset, 12.0);
  v = showChannel(Channel::Control, withPair(Channel::Control, 0, 0, -2000), 0, bar);
  expectTexts(v.texts, "0.0", "10.0", "-2.0", "-2.0");

  // The current input: its own pair, 20 mA full scale.
  v = showChannel(Channel::Auxin, withPair(Channel::Auxin, 1, 512, 0), 1, bar);
  expectTexts(v.texts, "0.0", "20.0", "0.0", "10.0");
  EXPECT_STREQ(v.xUnit, "[mA]");
}

TEST(ChannelScaling, OutputLineIsCutAtTheOutputFullScale) {
  const PageUnits bar = PageUnits::of(unit::kBar, 0, 1);
  const PageUnits bar20 = PageUnits::of(unit::kBar, 1, 1);
  const Images uout = withPair(Channel::Uout, 0, 1024, 0);
  ChannelView v = showChannel(Channel::Uout, uout, 0, bar20);
  expectTexts(v.texts, "0.0", "10.0", "0.0", "10.0");
  EXPECT_DOUBLE_EQ(v.corners.xHigh, 10.0);
  expectTexts(showChannel(Channel::Uout, withPair(Channel::Uout, 0, 512, 0), 0, bar20).texts, "0.0", "20.0",
              "0.0", "10.0");
  EXPECT_EQ(equivalentText(Channel::Uout, v.line, "6.5", bar), "6.5");
  EXPECT_EQ(equivalentText(Channel::Uout, v.line, "6.5", PageUnits::of(unit::kBar, 0, 4)), "6.500");

  // Iout in PSI, 4..20 mA: 150 PSI is more than 10 bar, so the line is cut
  // at 20 mA just before it. Setting precision on this page in mode 4 only.
  const Images iout = withPair(Channel::Iout, 0, 1638, 4000);
  expectTexts(showChannel(Channel::Iout, iout, 0, PageUnits::of(unit::kPsi, 0, 3)).texts, "0", "145", "4.0",
              "20.0");
  expectTexts(showChannel(Channel::Iout, iout, 0, PageUnits::of(unit::kPsi, 0, 4)).texts, "0.00", "145.07",
              "4.00", "20.00");
}

TEST(ChannelScaling, ComputeLineAndEquivalent) {
  TypedLine t = computeLine({"1.0", "9.0", "0.0", "8.0"});
  EXPECT_DOUBLE_EQ(t.line.slope, 1.0);
  EXPECT_DOUBLE_EQ(t.line.offset, -1.0);
  EXPECT_DOUBLE_EQ(t.corners.xHigh, 9.0);
  // Unreadable text counts as 0.
  t = computeLine({"abc", "10", "", "5"});
  EXPECT_DOUBLE_EQ(t.line.slope, 0.5);
  EXPECT_DOUBLE_EQ(t.line.offset, 0.0);
  const PageUnits bar = PageUnits::of(unit::kBar, 0, 1);
  EXPECT_EQ(equivalentText(Channel::Control, t.line, "junk", bar), "0.0");
  // Equal x corners: no line, and the equivalent says so instead of "inf".
  t = computeLine({"5", "5.0", "0", "1"});
  EXPECT_FALSE(std::isfinite(t.line.slope));
  EXPECT_EQ(equivalentText(Channel::Control, t.line, "1", bar), "---");
}

TEST(LineDiagramScale, AxisNumbersAndPixels) {
  EXPECT_EQ(axisNumber(1.0f, 5), "10");
  EXPECT_EQ(axisNumber(0.1f, 1), "0.2");
  EXPECT_EQ(axisNumber(0.1f, 5), "1.0");

  EXPECT_EQ(diagramPixelX(-0.06, 1.0f), diagram::kLeft - 1);  // truncated toward 0
  // Far beyond the plot: held within reach of an int, never undefined.
  EXPECT_EQ(diagramPixelX(1e300, 1.0f), diagram::kLeft + 100000);
  EXPECT_EQ(diagramPixelY(-std::numeric_limits<double>::infinity(), 1.0f), diagram::kBottom + 100000);
  EXPECT_EQ(diagramPixelY(std::nan(""), 1.0f), diagram::kBottom);
}

TEST(LineDiagramScale, EveryUnitRangeAndInputTypeFitsThePlot) {
  // Bar on the 10 bar range with a voltage input: the scales the pages
  // are created with.
  const PageUnits bar = PageUnits::of(unit::kBar, 0, 2);
  for (Channel ch : {Channel::Control, Channel::Auxin, Channel::Uout, Channel::Iout}) {
    const DiagramScales s = diagramScales(ch, input_type::kVoltage, bar);
    EXPECT_EQ(s.yScale, diagramSetup(ch).yScale) << channelName(ch);
    EXPECT_EQ(s.xScale, diagramSetup(ch).xScale) << channelName(ch);
  }
  // The corners at the full scales land on the plot's corners whatever the
  // unit, range and input type (within the pixel a float scale of 0.1 can
  // lose to truncation), and the top number names the full scale.
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
  EXPECT_EQ(axisNumber(0.2f, 1), "0.4");
}

}  // namespace
}  // namespace vrx4
