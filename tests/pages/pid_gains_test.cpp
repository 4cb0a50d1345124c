// The PID page: the gains as shown, the checks of Save in their order, the
// four bytes and the request.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "page_images.h"
#include "core/pages/page_ids.h"
#include "core/pages/pid_gains.h"

namespace vrx4 {
namespace {

Images pidImages() {
  Images im = test::patternImages();
  im.g_baseDevice[43] = 0;
  im.g_baseDevice[44] = 255;
  im.g_baseDevice[45] = 7;
  im.g_baseDevice[46] = 10;
  return im;
}

TEST(PidGains, ShownAndSavedInBaseOrder) {
  const Images im = pidImages();
  const PidTexts t = showPid(im);
  EXPECT_EQ((std::array{t.kpHigh, t.kpLow, t.ki, t.kd}), (std::array<std::string, 4>{"0", "255", "7", "10"}));

  SaveOutcome out = savePid(im, {"255", "0", " 12 ", "007"});
  ASSERT_FALSE(out.refused());
  EXPECT_EQ(test::opStartCount(out), std::make_tuple(op::kWriteBaseRange, 43, 2));
  EXPECT_EQ(test::workBytes(out), (std::vector<std::uint8_t>{0xFF, 0x00, 12, 7}));

  // Gains not given keep the device's bytes.
  PidEdits e;
  e.kd = "99";
  EXPECT_EQ(test::workBytes(savePid(im, e)), (std::vector<std::uint8_t>{0, 255, 7, 99}));
}

TEST(PidGains, RefusalsNameTheFirstFieldAtFaultInTheirOrder) {
  const Images im = pidImages();
  struct Case {
    PidEdits edits;
    int id;
    const char* message;
  } cases[] = {
      {{"256", "0", "0", "300"}, pid_id::kKpHigh, "Kp High : Min=0 - Max=255"},
      {{"25", "0", "0", "300"}, pid_id::kKd, "Kd : Min=0 - Max=255"},
      // Ki is checked before Kd; a number too long for any word is out of range.
      {{"1", "1", "99999999999999999999", "300"}, pid_id::kKi, "Ki : Min=0 - Max=255"},
      // Whole numbers are read in the exchange order Kp High, Kp Low, Kd, Ki,
      // before any range check: the empty Kd is named, not the Ki fraction
      // nor the Kp High 300.
      {{"300", "1", "1.5", ""}, pid_id::kKd, "Kd : not a whole number (Min=0 - Max=255)"},
      {{"300", "1", "1.5", "2"}, pid_id::kKi, "Ki : not a whole number (Min=0 - Max=255)"},
  };
  for (const Case& c : cases) {
    const SaveOutcome out = savePid(im, c.edits);
    ASSERT_TRUE(out.refused()) << c.message;
    EXPECT_EQ(out.refusal->controlId, c.id) << c.message;
    EXPECT_EQ(out.refusal->message, c.message);
    EXPECT_EQ(out.workSize, 0u) << c.message;
  }

}

}  // namespace
}  // namespace vrx4
