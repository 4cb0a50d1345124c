// The rules behind "only what the user typed is written": the number
// grammar of every typed value, a Save that keeps the words of the fields
// the user did not change, and lines or values that cannot be computed.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/base/decimal_text.h"
#include "core/pages/alarm_settings.h"
#include "core/pages/channel_save.h"
#include "core/pages/page_ids.h"
#include "core/pages/pid_gains.h"
#include "page_images.h"

namespace vrx4 {
namespace {

using test::setWord;
using test::wordAt;

TEST(TypedValues, OneNumberGrammar) {
  for (auto [text, value] : {std::pair{"0", 0.0}, {"+2.5", 2.5}, {"-0.25", -0.25}, {" 12 ", 12.0}, {"\t7.", 7.0},
                             {".5", 0.5}, {"-.5", -0.5}, {"007", 7.0}, {"1.000", 1.0}}) {
    EXPECT_EQ(readNumber(text), value) << text;
  }
  for (const char* text : {"", " ", "-", ".", "+.", "1,5", "1.5,0", "abc", "1O", "0x10", "1e1", "1E-3", "--1", "+-1",
                           "1-", "1.2.3", "1 2", "1.5 s", "inf", "nan", "\xef\xbc\x91"}) {
    EXPECT_FALSE(readNumber(text)) << text;
  }
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
  setWord(im.g_baseDevice, 1, 1000);
  setWord(im.g_baseDevice, 3, 37);
  setWord(im.g_baseDevice, 5, 641);
  setWord(im.g_baseDevice, 7, -2503);
  setWord(im.g_optionDevice, 1, 1001);
  setWord(im.g_optionDevice, 3, 13);
  setWord(im.g_optionDevice, 5, 1639);
  setWord(im.g_optionDevice, 7, 4003);
  setWord(im.g_optionDevice, 10, 999);
  setWord(im.g_optionDevice, 12, -7);
  setWord(im.g_optionDevice, 14, 643);
  setWord(im.g_optionDevice, 16, -2511);
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
        // Without what was shown (vrx4ctl), the same texts are typed values.
        if (ch == Channel::Uout) {
          const SaveOutcome typed = saveChannel(ch, im, {v.texts, type, 0, std::nullopt}, u);
          EXPECT_NE(test::workBytes(typed), test::workBytes(out));
        }
      }
    }
  }
  // The type alone: CONSIGNE's bit 0 and FLAG's bits 2 and 3 change, no
  // word and no other bit does.
  const PageUnits psi = PageUnits::of(unit::kPsi, 0, 2);
  ChannelView v = showChannel(Channel::Control, im, 1, psi);
  SaveOutcome out = saveChannel(Channel::Control, im, {v.texts, 1, 0, v}, psi);
  EXPECT_EQ(out.request.baseSetpointValue, 0x81);
  EXPECT_EQ(wordAt(&out.work()[4]), 641);
  v = showChannel(Channel::Auxin, im, 1, psi);
  out = saveChannel(Channel::Auxin, im, {v.texts, 1, 1, v}, psi);
  EXPECT_EQ(out.request.optionFlagValue, 0x4D);
  EXPECT_EQ(wordAt(&out.work()[6]), -2511);

  // One corner typed: the others at the precision behind their texts.
  // Uout in PSI: cut at 10 V at 148.18 PSI (shown "148"), 13 mV at 0 PSI
  // (shown "0.0"); 9 V typed at the upper corner.
  v = showChannel(Channel::Uout, im, 0, psi);
  ASSERT_EQ(v.texts.xHigh, "148");
  CornerTexts typed = v.texts;
  typed.yHigh = "9";
  out = saveChannel(Channel::Uout, im, {typed, 0, 0, v}, psi);
  ASSERT_FALSE(out.refused());
  EXPECT_EQ(wordAt(&out.work()[0]), 901);  // 14.5038 * (9 - 0.013) V / 148.18 PSI * 1024 = 900.8
  EXPECT_EQ(wordAt(&out.work()[2]), 13);
  // What another page showed counts for nothing: all four are typed.
  out = saveChannel(Channel::Uout, im, {typed, 0, 0, showChannel(Channel::Iout, im, 0, psi)}, psi);
  EXPECT_EQ(wordAt(&out.work()[0]), 903);  // 14.5038 * 9 V / 148 PSI * 1024
  EXPECT_EQ(wordAt(&out.work()[2]), 0);
}

TEST(TypedValues, ChannelCornersThatAreNoNumberOrGiveNoLineAreRefusedByName) {
  const Images im = test::patternImages();
  const PageUnits bar = PageUnits::of(unit::kBar, 0, 2);
  const ChannelIds& ids = channelIds(Channel::Control);
  auto refusal = [&](CornerTexts corners) {
    const SaveOutcome out = saveChannel(Channel::Control, im, {std::move(corners), 0, 0, std::nullopt}, bar);
    EXPECT_TRUE(out.refused());
    EXPECT_EQ(out.workSize, 0u);
    return out.refusal.value_or(Refusal{});
  };
  Refusal r = refusal({"0", "10", "1,5", "10"});
  EXPECT_EQ(r.kind, RefusalKind::NotANumber);
  EXPECT_EQ(r.controlId, ids.yLow);
  EXPECT_EQ(r.field, "lower y corner");
  EXPECT_EQ(r.message, "CONTROL : lower y corner : not a number. Type digits, with a point before any decimals "
                       "(for example -1.5).");

  // Finite corners whose span, slope or offset overflow: never a line of
  // slope 0 and offset 0.
  const std::string big = "15" + std::string(307, '0');  // 1.5e308
  r = refusal({"-" + big, big, "0", "10"});
  EXPECT_EQ(r.kind, RefusalKind::Other);
  EXPECT_EQ(r.controlId, ids.xHigh);
  EXPECT_NE(r.message.find("upper x corner is too large"), std::string::npos) << r.message;
  r = refusal({"0", "10", big, "-" + big});
  EXPECT_EQ(r.controlId, ids.yHigh);
  r = refusal({"0", "0." + std::string(299, '0') + "1", "0", big});
  EXPECT_EQ(r.controlId, ids.xHigh);
  EXPECT_NE(r.message.find("too close together"), std::string::npos) << r.message;
  r = refusal({"0", "1e1", "0", "10"});
  EXPECT_EQ(r.kind, RefusalKind::NotANumber);
  // Slope -1 through (1e308, 1e308): the offset is 2e308.
  r = refusal({"1" + std::string(308, '0'), "5" + std::string(307, '0'), "1" + std::string(308, '0'), big});
  EXPECT_EQ(r.controlId, ids.xLow);
  EXPECT_NE(r.message.find("lower x corner is too large"), std::string::npos) << r.message;
}

TEST(TypedValues, AlarmAndPidSavesPassOnOnlyChangedFields) {
  Images im = test::patternImages();
  im.g_optionDevice[9] = 0xFF;
  setWord(im.g_optionDevice, 18, 300);
  setWord(im.g_optionDevice, 20, 400);
  setWord(im.g_optionDevice, 22, 51);
  const PageUnits psi = PageUnits::of(unit::kPsi, 0, 2);
  const AlarmView v = showAlarm(im, psi);
  EXPECT_EQ(v.texts.errorPlus, "4");
  AlarmEdits typed{v.values.logic, v.texts.errorPlus, v.texts.errorMinus, v.texts.delayOn, v.texts.tonMin,
                   v.texts.delayOff};
  SaveOutcome out = saveAlarm(im, changedAlarmFields(typed, v), psi);
  EXPECT_EQ(test::workBytes(out), std::vector<std::uint8_t>(&im.g_optionDevice[9], &im.g_optionDevice[28]));
  typed.errorMinus = "7";
  typed.logic = alarm_logic::kPlus;
  out = saveAlarm(im, changedAlarmFields(typed, v), psi);
  EXPECT_EQ(out.work()[0], 0x00);
  EXPECT_EQ(wordAt(&out.work()[9]), 300);
  EXPECT_EQ(wordAt(&out.work()[11]), 483);
  typed.delayOn = "1,5";
  out = saveAlarm(im, changedAlarmFields(typed, v), psi);
  ASSERT_TRUE(out.refused());
  EXPECT_EQ(out.refusal->kind, RefusalKind::NotANumber);
  EXPECT_EQ(out.refusal->controlId, alarm_id::kDelayOn);
  EXPECT_EQ(out.refusal->message.rfind("Delay ON : not a number.", 0), 0u) << out.refusal->message;

  im.g_baseDevice[43] = 9;
  const PidTexts shown = showPid(im);
  PidEdits pid{"007", shown.kpLow, shown.ki, shown.kd};
  EXPECT_EQ(changedPidFields(pid, shown).kpLow, std::nullopt);
  EXPECT_EQ(test::workBytes(savePid(im, changedPidFields(pid, shown)))[0], 7);
  auto refused = [&](const char* text) {
    const SaveOutcome o = savePid(im, PidEdits{text, {}, {}, {}});
    return o.refused() ? o.refusal->message : std::string("accepted");
  };
  for (const char* text : {"25.5", "1e1", "0x10", "1,0", "", "abc", "-0.0001"})
    EXPECT_EQ(refused(text), "Kp High : not a whole number (Min=0 - Max=255)") << text;
  for (const char* text : {"-1", "256", "99999999999999999999"})
    EXPECT_EQ(refused(text), "Kp High : Min=0 - Max=255") << text;
  for (const char* text : {"2.0", " 255 ", "+0", "-0"}) EXPECT_EQ(refused(text), "accepted") << text;
  EXPECT_EQ(savePid(im, PidEdits{"2.5", {}, {}, {}}).refusal->kind, RefusalKind::NotAWholeNumber);
}

}  // namespace
}  // namespace vrx4
