// The alarm page: logic byte, limits and times as shown, the 19-byte block
// of Save and Restore, values the device cannot store. The PID page: the
// gains as shown, the checks of Save in their order, the four bytes.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

#include "page_images.h"
#include "core/pages/alarm_settings.h"
#include "core/pages/page_ids.h"
#include "core/pages/pid_gains.h"

namespace vrx4 {
namespace {

using test::setWord;
using test::wordAt;

constexpr std::size_t kLimP = 18, kLimN = 20, kDelOn = 22, kDelOff = 24, kTMin = 26;

Images alarmImages() {
  Images im = test::patternImages();
  im.g_optionDevice[9] = 0x80;
  for (auto [at, word] : {std::pair<std::size_t, std::int16_t>{kLimP, 500}, {kLimN, -250}, {kDelOn, 50}, {kDelOff, 7}, {kTMin, 32767}})
    setWord(im.g_optionDevice, at, word);
  return im;
}

AlarmEdits asShown(const AlarmView& v) {
  return {v.values.logic, v.texts.errorPlus, v.texts.errorMinus, v.texts.delayOn, v.texts.tonMin, v.texts.delayOff};
}

// The texts by unit and access mode; the logic byte's sign bit as shown
// and as saved (not given, the byte stays as the device holds it).
TEST(AlarmSettings, TextsByUnitAndAccessModeAndTheLogicByte) {
  Images im = alarmImages();
  for (auto [u, mode, text] : {std::tuple{unit::kBar, 1u, "0.5"}, {unit::kPsi, 2u, "7"}, {unit::kKpa, 3u, "50"}, {unit::kMpa, 1u, "0.05"}})
    EXPECT_EQ(showAlarm(im, PageUnits::of(u, 0, mode)).texts.errorPlus, text);
  const AlarmTexts t = showAlarm(im, PageUnits::of(unit::kBar, 0, 4)).texts;
  EXPECT_EQ((std::array{t.errorPlus, t.errorMinus, t.delayOn, t.delayOff, t.tonMin}),
            (std::array<std::string, 5>{"0.500", "-0.250", "1.000", "0.140", "655.340"}));
  EXPECT_EQ(showAlarm(im, PageUnits::of(unit::kBar, 0, 3)).texts.delayOn, "1.0");

  EXPECT_STREQ(alarmLogicText(alarmLogic(0x7F)), "+");
  EXPECT_STREQ(alarmLogicText(alarmLogic(0x80)), "-");
  im.g_optionDevice[9] = 0xFF;
  for (auto [logic, byte] : {std::pair{std::optional{alarm_logic::kMinus}, 0x80}, {alarm_logic::kPlus, 0x00}, {std::nullopt, 0xFF}})
    EXPECT_EQ(saveAlarm(im, {logic, {}, {}, {}, {}, {}}, PageUnits::of(unit::kBar, 0, 1)).work()[0], byte) << byte;
}

TEST(AlarmSettings, SaveAndRestoreWriteNineteenBytesAndCarryTheAuxinPairs) {
  const Images im = alarmImages();
  const PageUnits bar4 = PageUnits::of(unit::kBar, 0, 4);
  // The texts as shown, typed back: the very bytes the device holds.
  SaveOutcome out = saveAlarm(im, asShown(showAlarm(im, bar4)), bar4);
  ASSERT_FALSE(out.refused());
  EXPECT_EQ(test::opStartCount(out), std::make_tuple(op::kWriteOptionBytes, 9, 19));
  EXPECT_EQ(test::workBytes(out), std::vector<std::uint8_t>(&im.g_optionDevice[9], &im.g_optionDevice[28]));

  // R(): 0.031 s is 1.55 steps -> 2, 0.026 s is 1.3 -> 1, half a step
  // rounds away from zero; limits in thousandths of a bar.
  out = saveAlarm(im, {std::nullopt, "0", "-0.5", "0.031", "-0.01", "0.026"}, bar4);
  for (auto [at, word] : {std::pair{kDelOn, 2}, {kDelOff, 1}, {kTMin, -1}, {kLimP, 0}, {kLimN, -500}})
    EXPECT_EQ(wordAt(&out.work()[at - 9]), word) << at;
  for (std::size_t i = 1; i <= 8; ++i) EXPECT_EQ(out.work()[i], im.g_optionDevice[9 + i]) << i;

  // Restore: the factory copy (OPTION 57..75), but the AUXin pairs as they are.
  out = restoreAlarm(im);
  EXPECT_EQ(test::opStartCount(out), std::make_tuple(op::kWriteOptionBytes, 9, 19));
  std::vector<std::uint8_t> want(&im.g_optionDevice[57], &im.g_optionDevice[76]);
  std::copy_n(&im.g_optionDevice[10], 8, want.begin() + 1);
  EXPECT_EQ(test::workBytes(out), want);
}

// A Save passes on only the fields the user changed: texts typed as shown
// in PSI keep every byte, a changed one is converted alone.
TEST(AlarmSettings, ASavePassesOnOnlyChangedFields) {
  Images im = test::patternImages();
  im.g_optionDevice[9] = 0xFF;
  setWord(im.g_optionDevice, kLimP, 300);
  setWord(im.g_optionDevice, kLimN, 400);
  setWord(im.g_optionDevice, kDelOn, 51);
  const PageUnits psi = PageUnits::of(unit::kPsi, 0, 2);
  const AlarmView v = showAlarm(im, psi);
  EXPECT_EQ(v.texts.errorPlus, "4");
  AlarmEdits typed = asShown(v);
  SaveOutcome out = saveAlarm(im, changedAlarmFields(typed, v), psi);
  EXPECT_EQ(test::workBytes(out), std::vector<std::uint8_t>(&im.g_optionDevice[9], &im.g_optionDevice[28]));
  typed.errorMinus = "7";
  typed.logic = alarm_logic::kPlus;
  out = saveAlarm(im, changedAlarmFields(typed, v), psi);
  EXPECT_EQ(out.work()[0], 0x00);
  EXPECT_EQ(wordAt(&out.work()[kLimP - 9]), 300);
  EXPECT_EQ(wordAt(&out.work()[kLimN - 9]), 483);
  typed.delayOn = "1,5";
  out = saveAlarm(im, changedAlarmFields(typed, v), psi);
  ASSERT_TRUE(out.refused());
  EXPECT_EQ(out.refusal->kind, RefusalKind::NotANumber);
  EXPECT_EQ(out.refusal->controlId, alarm_id::kDelayOn);
  EXPECT_EQ(out.refusal->message.rfind("Delay ON : not a number.", 0), 0u) << out.refusal->message;
}

// Values the device cannot store are refused, the first in reading order
// (Error - before Delay ON) named, with the limits in the page's unit.
TEST(AlarmSettings, ValuesTheDeviceCannotStoreAreRefusedInReadingOrder) {
  const Images im = alarmImages();
  const PageUnits bar = PageUnits::of(unit::kBar, 0, 2);
  const std::string huge = "-" + std::string(400, '9');
  const struct {
    AlarmEdits e;
    PageUnits u;
    int id;
    const char* message;
  } cases[] = {
      {{{}, {}, {}, "655.36", {}, {}}, bar, alarm_id::kDelayOn, "Delay ON : Min=-655.36 s - Max=655.34 s"},
      {{{}, {}, "-40", "700", {}, {}}, bar, alarm_id::kErrorMinus, "Error - : Min=-32.768 bar - Max=32.767 bar"},
      {{{}, {}, "-4000", {}, {}, {}}, PageUnits::of(unit::kKpa, 0, 2), alarm_id::kErrorMinus,
       "Error - : Min=-3276.8 kPa - Max=3276.7 kPa"},
      {{{}, {}, "-4", {}, {}, {}}, PageUnits::of(unit::kMpa, 0, 2), alarm_id::kErrorMinus,
       "Error - : Min=-3.2768 MPa - Max=3.2767 MPa"},
      {{{}, {}, huge, {}, {}, {}}, bar, alarm_id::kErrorMinus, "Error - : Min=-32.768 bar - Max=32.767 bar"},
  };
  for (const auto& c : cases) {
    const SaveOutcome out = saveAlarm(im, c.e, c.u);
    ASSERT_TRUE(out.refused()) << c.message;
    EXPECT_EQ(out.refusal->controlId, c.id) << c.message;
    EXPECT_EQ(out.refusal->message, c.message);
    EXPECT_EQ(out.workSize, 0u);
  }
  EXPECT_FALSE(saveAlarm(im, {{}, {}, {}, "655.34", {}, {}}, bar).refused());
}

// The PID page.
TEST(PidGains, ShownSavedInBaseOrderAndRefusedNamingTheField) {
  Images im = test::patternImages();
  for (std::size_t i = 0; i < 4; ++i) im.g_baseDevice[43 + i] = std::array<std::uint8_t, 4>{0, 255, 7, 10}[i];
  const PidTexts t = showPid(im);
  EXPECT_EQ((std::array{t.kpHigh, t.kpLow, t.ki, t.kd}), (std::array<std::string, 4>{"0", "255", "7", "10"}));

  SaveOutcome out = savePid(im, {"255", "0", " 12 ", "007"});
  ASSERT_FALSE(out.refused());
  EXPECT_EQ(test::opStartCount(out), std::make_tuple(op::kWriteBaseRange, 43, 2));
  EXPECT_EQ(test::workBytes(out), (std::vector<std::uint8_t>{0xFF, 0x00, 12, 7}));

  // Gains not given, or typed as shown, keep the device's bytes.
  EXPECT_EQ(test::workBytes(savePid(im, {{}, {}, {}, "99"})), (std::vector<std::uint8_t>{0, 255, 7, 99}));
  const PidEdits typed{"007", t.kpLow, t.ki, t.kd};
  EXPECT_EQ(changedPidFields(typed, t).kpLow, std::nullopt);
  EXPECT_EQ(test::workBytes(savePid(im, changedPidFields(typed, t))), (std::vector<std::uint8_t>{7, 255, 7, 10}));

  // Refusals name the first field at fault in their order.
  struct Case {
    PidEdits edits;
    int id;
    const char* message;
  } cases[] = {
      {{"256", "0", "0", "300"}, pid_id::kKpHigh, "Kp High : Min=0 - Max=255"},
      {{"25", "0", "0", "300"}, pid_id::kKd, "Kd : Min=0 - Max=255"},
      {{"1", "1", "256", "300"}, pid_id::kKi, "Ki : Min=0 - Max=255"},  // Ki is checked before Kd
      // Whole numbers are read in the exchange order Kp High, Kp Low, Kd, Ki,
      // before any range check: the empty Kd is named, not the Ki fraction
      // nor the Kp High 300.
      {{"300", "1", "1.5", ""}, pid_id::kKd, "Kd : not a whole number (Min=0 - Max=255)"},
      {{"300", "1", "1.5", "2"}, pid_id::kKi, "Ki : not a whole number (Min=0 - Max=255)"},
  };
  for (const Case& c : cases) {
    const SaveOutcome r = savePid(im, c.edits);
    ASSERT_TRUE(r.refused()) << c.message;
    EXPECT_EQ(r.refusal->controlId, c.id) << c.message;
    EXPECT_EQ(r.refusal->message, c.message);
    EXPECT_EQ(r.workSize, 0u) << c.message;
  }
  // One gain alone: the whole-number grammar and the range's both ends.
  auto refused = [&](const char* text) {
    const SaveOutcome o = savePid(im, PidEdits{text, {}, {}, {}});
    return o.refused() ? o.refusal->message : std::string("accepted");
  };
  for (const char* text : {"25.5", "1e1", "", "-0.0001"})
    EXPECT_EQ(refused(text), "Kp High : not a whole number (Min=0 - Max=255)") << text;
  for (const char* text : {"-1", "256", "99999999999999999999"}) EXPECT_EQ(refused(text), "Kp High : Min=0 - Max=255") << text;
  for (const char* text : {"2.0", " 255 ", "+0", "-0"}) EXPECT_EQ(refused(text), "accepted") << text;
  EXPECT_EQ(savePid(im, PidEdits{"2.5", {}, {}, {}}).refusal->kind, RefusalKind::NotAWholeNumber);
}

}  // namespace
}  // namespace vrx4
