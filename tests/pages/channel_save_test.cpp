// The channel pages: how they show a device image (corners, clipping, the
// formats by unit and access mode, the line through the shown corners, the
// equivalent of a measured value, the line diagram's arithmetic); Save and
// Restore (the bytes, the byte-0 values, the request, the lines the device
// cannot store); the number grammar of typed values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "page_images.h"
#include "core/base/decimal_text.h"
#include "core/pages/channel_save.h"
#include "core/pages/channel_scaling.h"
#include "core/pages/line_diagram_scale.h"
#include "core/pages/page_ids.h"

namespace vrx4 {
namespace {

using test::setWord;
using test::wordAt;

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
// corners take it). CONTROL shows setting precision in modes 2 to 4, AUXin
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
      {Channel::Control, 0, 1024, 0, PageUnits::of(unit::kPsi, 0, 4), "0.00 10.00 0.00 145.04"},
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
// corners, in the page's format; a line computed from typed corners.
TEST(ChannelScaling, ComputeLineAndEquivalent) {
  const Images control = withPair(Channel::Control, 0, 1024, 0);
  const PageUnits bar = PageUnits::of(unit::kBar, 0, 1);
  for (auto [u, in, out] : {std::tuple{bar, "5.0", "5.0"}, {PageUnits::of(unit::kPsi, 0, 1), "4", "58"},
                            // 14.504 per volt, not the device's 14.5038.
                            {PageUnits::of(unit::kPsi, 0, 2), "4", "58.016"}}) {
    const ChannelView v = showChannel(Channel::Control, control, 0, u);
    EXPECT_EQ(equivalentText(Channel::Control, v.line, in, u), out) << out;
    EXPECT_STREQ(v.xUnit, "[V]");
  }
  const ChannelView v = showChannel(Channel::Uout, withPair(Channel::Uout, 0, 1024, 0), 0, PageUnits::of(unit::kBar, 1, 1));
  EXPECT_EQ(equivalentText(Channel::Uout, v.line, "6.5", PageUnits::of(unit::kBar, 0, 4)), "6.500");

  TypedLine t = computeLine({"1.0", "9.0", "0.0", "8.0"});
  EXPECT_EQ(std::make_pair(t.line.slope, t.line.offset), std::make_pair(1.0, -1.0));
  EXPECT_DOUBLE_EQ(t.corners.xHigh, 9.0);
  // Unreadable text counts as 0.
  t = computeLine({"abc", "10", "", "5"});
  EXPECT_EQ(std::make_pair(t.line.slope, t.line.offset), std::make_pair(0.5, 0.0));
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

const PageUnits kBar = PageUnits::of(unit::kBar, 0, 2);

ChannelEdits edits(CornerTexts corners, int type = 0, int readAs = 0) {
  return {std::move(corners), type, readAs, std::nullopt};
}

// Save of each channel page: the request, the words of the pair its type
// selects (the other pair as the device holds it) and the byte-0 value:
// CONSIGNE bit 0 the type, FLAG bit 3 the type and bit 2 "read as P2", the
// other bits as the device holds them. Restore: the factory copy.
TEST(ChannelSave, SaveWritesThePairOfItsTypeAndKeepsTheRestRestoreTheFactoryCopy) {
  constexpr int K = INT_MIN;  // a word the device holds
  const struct {
    Channel ch;
    int type, readAs;
    CornerTexts corners;
    PageUnits u;
    std::uint8_t byte0;
    std::tuple<std::uint32_t, int, int> request;
    int byte0After;
    std::vector<int> words;
    std::size_t factory, factoryByte0;  // where Restore takes the words and byte 0 from
  } cases[] = {
      {Channel::Control, 0, 0, {"0.0", "10.0", "0.0", "10.0"}, kBar, 0x11, {op::kWriteSetpointThenBaseRange, 1, 4}, 0x10,
       {1024, 0, K, K}, 17, 16},
      // 4..20 mA over 0..10 bar: 0.625 bar/mA, -2.5 bar at 0 mA.
      {Channel::Control, 1, 0, {"4", "20", "0", "10"}, kBar, 0x11, {op::kWriteSetpointThenBaseRange, 1, 4}, 0x11,
       {K, K, 640, -2500}, 17, 16},
      {Channel::Auxin, 1, 1, {"0", "20", "0", "10"}, kBar, 0xF3, {op::kWriteFlagThenOptionRange, 10, 8}, 0xFF,
       {K, K, 512, 0}, 58, 48},
      {Channel::Auxin, 0, 0, {"0", "10", "0", "10"}, kBar, 0xFF, {op::kWriteFlagThenOptionRange, 10, 8}, 0xF3,
       {1024, 0, K, K}, 58, 48},
      // 14.5038 * 10/145 * 1024 = 1024.27
      {Channel::Uout, 0, 0, {"0", "145", "0.0", "10.0"}, PageUnits::of(unit::kPsi, 0, 1), 0x11, {op::kWriteOptionRange, 1, 4},
       -1, {1024, 0}, 49, 0},
      {Channel::Iout, 0, 0, {"0", "10", "4", "20"}, kBar, 0x11, {op::kWriteOptionRange, 5, 4}, -1, {1638, 4000}, 53, 0},  // 1.6 mA/bar
  };
  // The byte-0 value a request carries (-1: none).
  const auto byte0 = [](Channel ch, const TransferRequest& r) {
    return ch == Channel::Control ? r.baseSetpointValue : ch == Channel::Auxin ? r.optionFlagValue : -1;
  };
  for (const auto& c : cases) {
    Images im = test::patternImages();
    Image& image = im.device(channelArea(c.ch));
    image[0] = c.byte0;
    const SaveOutcome out = saveChannel(c.ch, im, edits(c.corners, c.type, c.readAs), c.u);
    ASSERT_FALSE(out.refused()) << channelName(c.ch);
    EXPECT_EQ(test::opStartCount(out), c.request) << channelName(c.ch);
    EXPECT_EQ(DeviceState().publishRequest(out.request), DeviceState::Publish::Accepted);
    ASSERT_EQ(out.workSize, 2 * c.words.size());
    for (std::size_t i = 0; i < c.words.size(); ++i) {
      const std::size_t at = static_cast<std::size_t>(out.request.start) + 2 * i;
      EXPECT_EQ(wordAt(&out.work()[2 * i]), c.words[i] == K ? wordAt(&image[at]) : c.words[i]) << channelName(c.ch) << " " << i;
    }
    EXPECT_EQ(byte0(c.ch, out.request), c.byte0After);
    const SaveOutcome back = restoreChannel(c.ch, im);
    EXPECT_EQ(test::opStartCount(back), c.request) << channelName(c.ch);
    EXPECT_EQ(test::workBytes(back), std::vector<std::uint8_t>(&image[c.factory], &image[c.factory + out.workSize]));
    EXPECT_EQ(byte0(c.ch, back.request), c.byte0After < 0 ? -1 : image[c.factoryByte0]) << channelName(c.ch);
  }
}

TEST(ChannelSave, TypedBackCornersWriteTheRoundedLineWithHalvesAwayFromZero) {
  Images im = test::patternImages();
  setWord(im.g_baseDevice, 1, 1000);
  setWord(im.g_baseDevice, 3, 0);
  for (const PageUnits& u : {PageUnits::of(unit::kBar, 0, 1), PageUnits::of(unit::kPsi, 0, 1)}) {
    const ChannelView v = showChannel(Channel::Control, im, 0, u);
    const SaveOutcome out = saveChannel(Channel::Control, im, edits(v.texts), u);
    ASSERT_FALSE(out.refused());
    // 9.765625 bar shown as "9.8": 0.98 * 1024 = 1003.52; 141.6 PSI shown
    // as "142": 14.2 * 1024 / 14.5038 = 1002.55.
    EXPECT_EQ(wordAt(&out.work()[0]), u.unit == unit::kBar ? 1004 : 1003);
  }
  // Exactly half a millibar rounds away from zero, on both sides.
  for (auto [y, word] : {std::pair{"-0.0005", -1}, {"0.0025", 3}})
    EXPECT_EQ(wordAt(&saveChannel(Channel::Control, im, edits({"0", "10", y, y}), kBar).work()[2]), word) << y;
}

TEST(ChannelSave, LinesTheDeviceCannotStoreOrCornersThatAreNoNumberAreRefusedNamingTheField) {
  const Images im = test::patternImages();
  const ChannelIds& ids = channelIds(Channel::Control);
  const std::string big = "15" + std::string(307, '0');  // 1.5e308: finite, but not its span
  const std::string e308 = "1" + std::string(308, '0');
  const struct {
    Channel ch;
    CornerTexts corners;
    int controlId;
    const char* phrase;
  } cases[] = {
      {Channel::Control, {"5.0", "5", "0", "10"}, ids.xHigh, "x corners are equal"},
      {Channel::Auxin, {"0.0", "0", "0", "10"}, channelIds(Channel::Auxin).xHigh, "x corners are equal"},
      {Channel::Control, {"0", "1", "0", "40"}, ids.yHigh, "slope word 40960"},  // 40 bar per volt
      {Channel::Control, {"1", "2", "-40", "-39"}, ids.yLow, "offset word -41000"},  // -41 bar at 0 V
      {Channel::Uout, {"0", "1", "0", "40"}, channelIds(Channel::Uout).yHigh, "Uout : "},
      // Finite corners whose span, slope or offset overflow: never a line
      // of slope 0 and offset 0.
      {Channel::Control, {"-" + big, big, "0", "10"}, ids.xHigh, "upper x corner is too large"},
      {Channel::Control, {"0", "10", big, "-" + big}, ids.yHigh, ""},
      {Channel::Control, {"0", "0." + std::string(299, '0') + "1", "0", big}, ids.xHigh, "too close together"},
      // Slope -1 through (1e308, 1e308): the offset is 2e308.
      {Channel::Control, {e308, "5" + std::string(307, '0'), e308, big}, ids.xLow, "lower x corner is too large"},
      {Channel::Control, {"0", "10", "1,5", "10"}, ids.yLow,
       "CONTROL : lower y corner : not a number. Type digits, with a point before any decimals (for example -1.5)."},
      {Channel::Control, {"0", "1e1", "0", "10"}, ids.xHigh, "upper x corner : not a number."},
  };
  for (const auto& c : cases) {
    const SaveOutcome out = saveChannel(c.ch, im, edits(c.corners), kBar);
    ASSERT_TRUE(out.refused()) << c.phrase;
    EXPECT_EQ(out.refusal->controlId, c.controlId) << c.phrase;
    EXPECT_NE(out.refusal->message.find(c.phrase), std::string::npos) << out.refusal->message;
    EXPECT_EQ(out.refusal->kind, std::string(c.phrase).find("not a number") != std::string::npos
                                     ? RefusalKind::NotANumber : RefusalKind::Other) << c.phrase;
    EXPECT_EQ(out.request.op, 0u);  // nothing to publish
    EXPECT_EQ(out.workSize, 0u);
  }
  EXPECT_EQ(saveChannel(Channel::Control, im, edits({"0", "10", "1,5", "10"}), kBar).refusal->field, "lower y corner");

  // The limits themselves: -32.768 .. 32.767 bar fit, a millibar more does not.
  for (auto [y, refused] : {std::pair{"32.767", false}, {"32.768", true}, {"-32.768", false}, {"-32.769", true}})
    EXPECT_EQ(saveChannel(Channel::Control, im, edits({"0", "1", y, y}), kBar).refused(), refused) << y;
}

// The rules behind "only what the user typed is written": the number
// grammar of every typed value, and a Save that keeps the words of the
// fields the user did not change.
TEST(TypedValues, OneNumberGrammar) {
  for (auto [text, value] : {std::pair{"0", 0.0}, {"+2.5", 2.5}, {"-0.25", -0.25}, {" 12 ", 12.0}, {"\t7.", 7.0},
                             {".5", 0.5}, {"-.5", -0.5}, {"007", 7.0}, {"1.000", 1.0}})
    EXPECT_EQ(readNumber(text), value) << text;
  for (const char* text : {"", " ", "-", ".", "+.", "1,5", "1.5,0", "abc", "1O", "0x10", "1e1", "1E-3", "--1", "+-1",
                           "1-", "1.2.3", "1 2", "1.5 s", "inf", "nan", "\xef\xbc\x91"})
    EXPECT_FALSE(readNumber(text)) << text;
  // Too long for a double is still a number; the rules refuse what is not
  // finite, naming the field.
  EXPECT_EQ(readNumber(std::string(400, '9')), HUGE_VAL);
  EXPECT_EQ(readNumber("-" + std::string(400, '9')), -HUGE_VAL);
  EXPECT_EQ(readNumber("0." + std::string(400, '0') + "1"), 0.0);
}

// Channel words that no rounded corner text gives back.
Images awkwardImages() {
  Images im = test::patternImages();
  im.g_baseDevice[0] = 0x80;
  im.g_optionDevice[0] = 0x41;
  using Word = std::pair<std::size_t, std::int16_t>;
  for (auto [at, word] : {Word{1, 1000}, {3, 37}, {5, 641}, {7, -2503}}) setWord(im.g_baseDevice, at, word);
  for (auto [at, word] : {Word{1, 1001}, {3, 13}, {5, 1639}, {7, 4003}, {10, 999}, {12, -7}, {14, 643}, {16, -2511}})
    setWord(im.g_optionDevice, at, word);
  return im;
}

TEST(TypedValues, AChannelSaveConvertsOnlyTheCornersTheUserChanged) {
  const Images im = awkwardImages();
  for (std::uint8_t unit : {unit::kPsi, unit::kKpa, unit::kMpa}) {
    const PageUnits u = PageUnits::of(unit, 0, 2);
    for (Channel ch : {Channel::Control, Channel::Auxin, Channel::Uout, Channel::Iout}) {
      for (int type : {0, 1}) {
        const ChannelView v = showChannel(ch, im, type, u);
        const SaveOutcome out = saveChannel(ch, im, {v.texts, type, 0, v}, u);
        ASSERT_FALSE(out.refused());
        const Image& image = im.device(channelArea(ch));
        const std::size_t first = static_cast<std::size_t>(out.request.start);
        EXPECT_EQ(test::workBytes(out), std::vector<std::uint8_t>(&image[first], &image[first + out.workSize]))
            << channelName(ch) << " type " << type << " unit " << int(unit);
      }
    }
  }
  // One corner typed: the others at the precision behind their texts.
  // Uout in PSI: cut at 10 V at 148.18 PSI (shown "148"), 13 mV at 0 PSI
  // (shown "0.0"); 9 V typed at the upper corner.
  const PageUnits psi = PageUnits::of(unit::kPsi, 0, 2);
  const ChannelView v = showChannel(Channel::Uout, im, 0, psi);
  ASSERT_EQ(v.texts.xHigh, "148");
  CornerTexts typed = v.texts;
  typed.yHigh = "9";
  SaveOutcome out = saveChannel(Channel::Uout, im, {typed, 0, 0, v}, psi);
  ASSERT_FALSE(out.refused());
  EXPECT_EQ(wordAt(&out.work()[0]), 901);  // 14.5038 * (9 - 0.013) V / 148.18 PSI * 1024 = 900.8
  EXPECT_EQ(wordAt(&out.work()[2]), 13);
  // What another page showed counts for nothing: all four are typed.
  out = saveChannel(Channel::Uout, im, {typed, 0, 0, showChannel(Channel::Iout, im, 0, psi)}, psi);
  EXPECT_EQ(wordAt(&out.work()[0]), 903);  // 14.5038 * 9 V / 148 PSI * 1024
  EXPECT_EQ(wordAt(&out.work()[2]), 0);
}

}  // namespace
}  // namespace vrx4
