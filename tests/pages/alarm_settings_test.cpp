// The alarm page: logic byte, limits and times as shown, the 19-byte block
// of Save and Restore, values the device cannot store.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "page_images.h"
#include "core/pages/alarm_settings.h"
#include "core/pages/page_ids.h"

namespace vrx4 {
namespace {

using test::setWord;
using test::wordAt;

constexpr std::size_t kLimP = 18, kLimN = 20, kDelOn = 22, kDelOff = 24, kTMin = 26;

Images alarmImages() {
  Images im = test::patternImages();
  im.g_optionDevice[9] = 0x80;
  setWord(im.g_optionDevice, kLimP, 500);
  setWord(im.g_optionDevice, kLimN, -250);
  setWord(im.g_optionDevice, kDelOn, 50);
  setWord(im.g_optionDevice, kDelOff, 7);
  setWord(im.g_optionDevice, kTMin, 32767);
  return im;
}

TEST(AlarmSettings, LogicByte) {
  EXPECT_STREQ(alarmLogicText(alarmLogic(0x7F)), "+");
  EXPECT_STREQ(alarmLogicText(alarmLogic(0x80)), "-");
  EXPECT_STREQ(alarmLogicText(alarmLogic(0xFF)), "-");
  Images im = alarmImages();
  im.g_optionDevice[9] = 0xFF;
  EXPECT_EQ(showAlarm(im, PageUnits::of(unit::kBar, 0, 1)).values.logic, alarm_logic::kMinus);
  AlarmEdits e;
  e.logic = alarm_logic::kMinus;
  EXPECT_EQ(saveAlarm(im, e, PageUnits::of(unit::kBar, 0, 1)).work()[0], 0x80);
  e.logic = alarm_logic::kPlus;
  EXPECT_EQ(saveAlarm(im, e, PageUnits::of(unit::kBar, 0, 1)).work()[0], 0x00);
  // Not given: the byte stays exactly as the device holds it.
  EXPECT_EQ(saveAlarm(im, AlarmEdits{}, PageUnits::of(unit::kBar, 0, 1)).work()[0], 0xFF);
}

TEST(AlarmSettings, TextsByUnitAndAccessMode) {
  const Images im = alarmImages();
  EXPECT_EQ(showAlarm(im, PageUnits::of(unit::kBar, 0, 1)).texts.errorPlus, "0.5");
  EXPECT_EQ(showAlarm(im, PageUnits::of(unit::kPsi, 0, 2)).texts.errorPlus, "7");
  EXPECT_EQ(showAlarm(im, PageUnits::of(unit::kKpa, 0, 3)).texts.errorPlus, "50");
  EXPECT_EQ(showAlarm(im, PageUnits::of(unit::kMpa, 0, 1)).texts.errorPlus, "0.05");
  const AlarmTexts t = showAlarm(im, PageUnits::of(unit::kBar, 0, 4)).texts;
  EXPECT_EQ((std::array{t.errorPlus, t.errorMinus, t.delayOn, t.delayOff, t.tonMin}),
            (std::array<std::string, 5>{"0.500", "-0.250", "1.000", "0.140", "655.340"}));
  EXPECT_EQ(showAlarm(im, PageUnits::of(unit::kBar, 0, 3)).texts.delayOn, "1.0");
}

TEST(AlarmSettings, SaveWritesNineteenBytesAndCarriesTheAuxinPairs) {
  const Images im = alarmImages();
  const PageUnits bar4 = PageUnits::of(unit::kBar, 0, 4);
  // The texts as shown, typed back: the very bytes the device holds.
  const AlarmView v = showAlarm(im, bar4);
  AlarmEdits e{v.values.logic, v.texts.errorPlus, v.texts.errorMinus, v.texts.delayOn, v.texts.tonMin,
               v.texts.delayOff};
  SaveOutcome out = saveAlarm(im, e, bar4);
  ASSERT_FALSE(out.refused());
  EXPECT_EQ(test::opStartCount(out), std::make_tuple(op::kWriteOptionBytes, 9, 19));
  EXPECT_EQ(test::workBytes(out), std::vector<std::uint8_t>(&im.g_optionDevice[9], &im.g_optionDevice[28]));

  // R(): 0.031 s is 1.55 steps -> 2, 0.026 s is 1.3 -> 1, half a step
  // rounds away from zero; limits in thousandths of a bar.
  e = {};
  e.delayOn = "0.031";
  e.delayOff = "0.026";
  e.tonMin = "-0.01";
  e.errorPlus = "0";
  e.errorMinus = "-0.5";
  out = saveAlarm(im, e, bar4);
  EXPECT_EQ(wordAt(&out.work()[kDelOn - 9]), 2);
  EXPECT_EQ(wordAt(&out.work()[kDelOff - 9]), 1);
  EXPECT_EQ(wordAt(&out.work()[kTMin - 9]), -1);
  EXPECT_EQ(wordAt(&out.work()[kLimP - 9]), 0);
  EXPECT_EQ(wordAt(&out.work()[kLimN - 9]), -500);
  for (std::size_t i = 1; i <= 8; ++i) EXPECT_EQ(out.work()[i], im.g_optionDevice[9 + i]) << i;
  e = {};
  e.errorPlus = "7";
  out = saveAlarm(im, e, PageUnits::of(unit::kPsi, 0, 1));
  EXPECT_EQ(wordAt(&out.work()[kLimP - 9]), 483);  // 7000 / 14.5038 = 482.6
}

TEST(AlarmSettings, ValuesTheDeviceCannotStoreAreRefusedInReadingOrder) {
  const Images im = alarmImages();
  const PageUnits bar = PageUnits::of(unit::kBar, 0, 2);
  AlarmEdits e;
  e.delayOn = "655.36";
  SaveOutcome out = saveAlarm(im, e, bar);
  ASSERT_TRUE(out.refused());
  EXPECT_EQ(out.refusal->controlId, alarm_id::kDelayOn);
  EXPECT_EQ(out.refusal->field, "Delay ON");
  EXPECT_EQ(out.refusal->message, "Delay ON : Min=-655.36 s - Max=655.34 s");
  EXPECT_EQ(out.workSize, 0u);
  e.delayOn = "655.34";
  EXPECT_FALSE(saveAlarm(im, e, bar).refused());

  // Error - is read before Delay ON.
  e.delayOn = "700";
  e.errorMinus = "-40";
  out = saveAlarm(im, e, bar);
  ASSERT_TRUE(out.refused());
  EXPECT_EQ(out.refusal->controlId, alarm_id::kErrorMinus);
  EXPECT_EQ(out.refusal->message, "Error - : Min=-32.768 bar - Max=32.767 bar");
  e.errorMinus = "-4000";
  out = saveAlarm(im, e, PageUnits::of(unit::kKpa, 0, 2));
  EXPECT_EQ(out.refusal->message, "Error - : Min=-3276.8 kPa - Max=3276.7 kPa");
  e.errorMinus = "-" + std::string(400, '9');
  EXPECT_TRUE(saveAlarm(im, e, bar).refused());
}

TEST(AlarmSettings, RestoreTakesTheFactoryCopyButLeavesTheAuxinPairs) {
  const Images im = alarmImages();
  const SaveOutcome out = restoreAlarm(im);
  EXPECT_EQ(test::opStartCount(out), std::make_tuple(op::kWriteOptionBytes, 9, 19));
  ASSERT_EQ(out.workSize, 19u);
  EXPECT_EQ(out.work()[0], im.g_optionDevice[57]);
  for (std::size_t i = 1; i <= 8; ++i) EXPECT_EQ(out.work()[i], im.g_optionDevice[9 + i]) << i;
  for (std::size_t i = 9; i < 19; ++i) EXPECT_EQ(out.work()[i], im.g_optionDevice[57 + i]) << i;
}

}  // namespace
}  // namespace vrx4
