// Save and Restore of the channel pages: the bytes, the byte-0 values, the
// request, and the lines the device cannot store.
#include <gtest/gtest.h>

#include "page_images.h"
#include "core/pages/channel_save.h"
#include "core/pages/page_ids.h"

namespace vrx4 {
namespace {

using test::setWord;
using test::wordAt;

const PageUnits kBar = PageUnits::of(unit::kBar, 0, 2);

ChannelEdits edits(CornerTexts corners, int type = 0, int readAs = 0) {
  return {std::move(corners), type, readAs, std::nullopt};
}

TEST(ChannelSave, ControlWritesThePairOfItsTypeAndKeepsTheOther) {
  const Images im = test::patternImages();
  SaveOutcome out = saveChannel(Channel::Control, im, edits({"0.0", "10.0", "0.0", "10.0"}, 0), kBar);
  ASSERT_FALSE(out.refused());
  EXPECT_EQ(test::opStartCount(out), std::make_tuple(op::kWriteSetpointThenBaseRange, 1, 4));
  ASSERT_EQ(out.workSize, 8u);
  EXPECT_EQ(wordAt(&out.work()[0]), 1024);
  EXPECT_EQ(wordAt(&out.work()[2]), 0);
  for (std::size_t i = 4; i < 8; ++i) EXPECT_EQ(out.work()[i], im.g_baseDevice[1 + i]) << i;
  // CONSIGNE: bit 0 the type, the other bits as the device holds them (0x11).
  EXPECT_EQ(out.request.baseSetpointValue, 0x10);
  DeviceState state;
  EXPECT_EQ(state.publishRequest(out.request), DeviceState::Publish::Accepted);

  // The current pair: 4..20 mA over 0..10 bar.
  out = saveChannel(Channel::Control, im, edits({"4", "20", "0", "10"}, 1), kBar);
  ASSERT_FALSE(out.refused());
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(out.work()[i], im.g_baseDevice[1 + i]) << i;
  EXPECT_EQ(wordAt(&out.work()[4]), 640);    // 0.625 bar/mA
  EXPECT_EQ(wordAt(&out.work()[6]), -2500);  // -2.5 bar at 0 mA
  EXPECT_EQ(out.request.baseSetpointValue, 0x11);
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
  SaveOutcome out = saveChannel(Channel::Control, im, edits({"0", "10", "-0.0005", "-0.0005"}), kBar);
  EXPECT_EQ(wordAt(&out.work()[2]), -1);
  out = saveChannel(Channel::Control, im, edits({"0", "10", "0.0025", "0.0025"}), kBar);
  EXPECT_EQ(wordAt(&out.work()[2]), 3);
}

TEST(ChannelSave, AuxinSetsItsTwoFlagBitsAndKeepsTheOthers) {
  Images im = test::patternImages();
  im.g_optionDevice[0] = 0xF3;
  SaveOutcome out = saveChannel(Channel::Auxin, im, edits({"0", "20", "0", "10"}, 1, 1), kBar);
  ASSERT_FALSE(out.refused());
  EXPECT_EQ(test::opStartCount(out), std::make_tuple(op::kWriteFlagThenOptionRange, 10, 8));
  EXPECT_EQ(out.request.optionFlagValue, 0xFF);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(out.work()[i], im.g_optionDevice[10 + i]) << i;
  EXPECT_EQ(wordAt(&out.work()[4]), 512);
  im.g_optionDevice[0] = 0xFF;
  out = saveChannel(Channel::Auxin, im, edits({"0", "10", "0", "10"}, 0, 0), kBar);
  EXPECT_EQ(out.request.optionFlagValue, 0xF3);
  for (std::size_t i = 4; i < 8; ++i) EXPECT_EQ(out.work()[i], im.g_optionDevice[10 + i]) << i;
}

TEST(ChannelSave, OutputsWriteTheirFourBytes) {
  const Images im = test::patternImages();
  SaveOutcome out = saveChannel(Channel::Uout, im, edits({"0", "145", "0.0", "10.0"}), PageUnits::of(unit::kPsi, 0, 1));
  ASSERT_FALSE(out.refused());
  EXPECT_EQ(test::opStartCount(out), std::make_tuple(op::kWriteOptionRange, 1, 4));
  ASSERT_EQ(out.workSize, 4u);
  EXPECT_EQ(wordAt(&out.work()[0]), 1024);  // 14.5038 * 10/145 * 1024 = 1024.27
  EXPECT_EQ(wordAt(&out.work()[2]), 0);
  out = saveChannel(Channel::Iout, im, edits({"0", "10", "4", "20"}), kBar);
  EXPECT_EQ(out.request.start, 5);
  EXPECT_EQ(wordAt(&out.work()[0]), 1638);  // 1.6 mA/bar
  EXPECT_EQ(wordAt(&out.work()[2]), 4000);
}

TEST(ChannelSave, LinesTheDeviceCannotStoreAreRefusedNamingTheField) {
  const Images im = test::patternImages();
  const ChannelIds& ids = channelIds(Channel::Control);
  auto expectRefused = [&](Channel ch, CornerTexts corners, int controlId, const char* phrase) {
    const SaveOutcome out = saveChannel(ch, im, edits(std::move(corners)), kBar);
    ASSERT_TRUE(out.refused());
    EXPECT_EQ(out.refusal->controlId, controlId);
    EXPECT_NE(out.refusal->message.find(phrase), std::string::npos) << out.refusal->message;
    EXPECT_EQ(out.request.op, 0u);  // nothing to publish
    EXPECT_EQ(out.workSize, 0u);
  };
  expectRefused(Channel::Control, {"5.0", "5", "0", "10"}, ids.xHigh, "x corners are equal");
  expectRefused(Channel::Auxin, {"0.0", "0", "0", "10"}, channelIds(Channel::Auxin).xHigh, "x corners are equal");
  expectRefused(Channel::Control, {"0", std::string(400, '9'), "0", "10"}, ids.xHigh, "upper x corner is too large");
  // 40 bar per volt: A = 40960.
  expectRefused(Channel::Control, {"0", "1", "0", "40"}, ids.yHigh, "slope word 40960");
  // -41 bar at 0 V: B = -41000.
  expectRefused(Channel::Control, {"1", "2", "-40", "-39"}, ids.yLow, "offset word -41000");
  expectRefused(Channel::Uout, {"0", "1", "0", "40"}, channelIds(Channel::Uout).yHigh, "Uout : ");

  // The limits themselves: -32.768 .. 32.767 bar fit, a millibar more does not.
  EXPECT_FALSE(saveChannel(Channel::Control, im, edits({"0", "1", "32.767", "32.767"}), kBar).refused());
  EXPECT_TRUE(saveChannel(Channel::Control, im, edits({"0", "1", "32.768", "32.768"}), kBar).refused());
  EXPECT_FALSE(saveChannel(Channel::Control, im, edits({"0", "1", "-32.768", "-32.768"}), kBar).refused());
  EXPECT_TRUE(saveChannel(Channel::Control, im, edits({"0", "1", "-32.769", "-32.769"}), kBar).refused());
}

TEST(ChannelSave, RestoreWritesTheFactoryCopy) {
  const Images im = test::patternImages();
  SaveOutcome out = restoreChannel(Channel::Control, im);
  EXPECT_EQ(out.request.op, op::kWriteSetpointThenBaseRange);
  EXPECT_EQ(out.request.baseSetpointValue, im.g_baseDevice[16]);
  ASSERT_EQ(out.workSize, 8u);
  for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(out.work()[i], im.g_baseDevice[17 + i]) << i;

  out = restoreChannel(Channel::Auxin, im);
  EXPECT_EQ(out.request.op, op::kWriteFlagThenOptionRange);
  EXPECT_EQ(out.request.optionFlagValue, im.g_optionDevice[48]);
  for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(out.work()[i], im.g_optionDevice[58 + i]) << i;

  out = restoreChannel(Channel::Uout, im);
  EXPECT_EQ(out.request.start, 1);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(out.work()[i], im.g_optionDevice[49 + i]) << i;
  out = restoreChannel(Channel::Iout, im);
  EXPECT_EQ(out.request.start, 5);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(out.work()[i], im.g_optionDevice[53 + i]) << i;
}

}  // namespace
}  // namespace vrx4
