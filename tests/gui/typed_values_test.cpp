// What the user typed, and only that, reaches the regulator: a Save
// without an edit leaves every word the device holds, a field that is not
// a number is refused by name, and the LIVE page's test value is sent in
// the unit its caption names. End to end on the simulated regulator.
#include <QCheckBox>
#include <QRadioButton>

#include "core/link/param_dictionary.h"
#include "gui/controls/colour_label.h"
#include "gui/monitoring/live_page.h"
#include "page_harness.h"

namespace vrx4::testing {
namespace {

void put(Image& im, Area area, const char* name, std::int32_t value) { writeField(im, *findField(area, name), value); }

class TypedValues : public PagesTest {
 protected:
  // Words that no rounded text gives back in PSI, kPa or MPa, and byte-0
  // and logic bytes with bits the pages do not show; then a full read.
  void loadAwkwardWords() {
    withDevice([](sim::SimDevice& d) {
      Image b = d.image(Area::Base);
      Image o = d.image(Area::Option);
      b[0] = 0x80;  // a voltage command, with a bit the page does not show
      put(b, Area::Base, "V_TO_B_A", 1000);
      put(b, Area::Base, "V_TO_B_B", 37);
      put(b, Area::Base, "A_TO_B_A", 641);
      put(b, Area::Base, "A_TO_B_B", -2503);
      o[0] = 0x41;
      put(o, Area::Option, "B_TO_V_A", 1001);
      put(o, Area::Option, "B_TO_V_B", 13);
      put(o, Area::Option, "B_TO_A_A", 1639);
      put(o, Area::Option, "B_TO_A_B", 4003);
      put(o, Area::Option, "AL_LOGIC", 0x81);
      put(o, Area::Option, "V_TO_B_A", 999);
      put(o, Area::Option, "V_TO_B_B", -7);
      put(o, Area::Option, "A_TO_B_A", 643);
      put(o, Area::Option, "A_TO_B_B", -2511);
      put(o, Area::Option, "AL_LIM_P", 300);
      put(o, Area::Option, "AL_LIM_N", 400);
      put(o, Area::Option, "AL_DEL_ON", 51);
      put(o, Area::Option, "AL_DEL_OFF", 26);
      put(o, Area::Option, "AL_T_MIN", 11);
      d.setImage(Area::Base, b);
      d.setImage(Area::Option, o);
    });
    TransferRequest reload;
    reload.op = op::kReadOption;
    ASSERT_EQ(state().publishRequest(reload), DeviceState::Publish::Accepted);
    ASSERT_TRUE(waitUntil([&] { return !state().requestPending() && state().device(Area::Option)[0] == 0x41; }, 20000));
  }
  void unit(int selector) {
    viewControl<CColourLabel>(selector)->clicked();
    settle();
  }
  // Modify, then Save at once; waits for the write and the refresh.
  void modifyAndSave(int navButton, const EditButtonIds& b) {
    CEditPage* page = show(navButton);
    ASSERT_TRUE(waitUntil([&] { return button(page, b.modify)->isEnabled(); }, 20000)) << navButton;
    click(page, b.modify);
    click(page, b.save);
    ASSERT_EQ(page->m_editing, 0) << navButton << ": " << (m_boxes.empty() ? "" : m_boxes.back());
    ASSERT_TRUE(waitForWrite(page, b.modify)) << navButton;
  }
};

TEST_F(TypedValues, SaveWithoutAnEditKeepsEveryWordTheDeviceHolds) {
  startIn(2);
  loadAwkwardWords();
  const Image base = deviceImage(Area::Base), option = deviceImage(Area::Option);
  // In PSI the alarm limits 0.300 and 0.400 bar show as 4 and 6.
  unit(view_id::kPsi);
  EXPECT_EQ(text(show(view_id::kAlarm), alarm_id::kErrorPlus), QStringLiteral("4"));

  clearLine();
  for (int selector : {view_id::kPsi, view_id::kKpa, view_id::kMpa}) {
    unit(selector);
    modifyAndSave(view_id::kControl, channelIds(Channel::Control).buttons);
    modifyAndSave(view_id::kAuxin, channelIds(Channel::Auxin).buttons);
    modifyAndSave(view_id::kUout, channelIds(Channel::Uout).buttons);
    modifyAndSave(view_id::kIout, channelIds(Channel::Iout).buttons);
    modifyAndSave(view_id::kAlarm, alarm_id::kButtons);
    modifyAndSave(view_id::kPid, pid_id::kButtons);
    EXPECT_EQ(deviceImage(Area::Base), base) << selector;
    EXPECT_EQ(deviceImage(Area::Option), option) << selector;
  }
  // Each Save did reach the regulator: the block writes are on the line.
  EXPECT_GE(writesOnTheLine().size(), 3u * 6u);

  // The U/I choice alone changes CONSIGNE's type bit, not the words.
  CEditPage* ctrl = show(view_id::kControl);
  click(ctrl, channelIds(Channel::Control).buttons.modify);
  control<QRadioButton>(ctrl, channelIds(Channel::Control).radioI)->click();
  settle();
  click(ctrl, channelIds(Channel::Control).buttons.save);
  ASSERT_TRUE(waitForWrite(ctrl, channelIds(Channel::Control).buttons.modify));
  Image expected = base;
  expected[0] = 0x81;
  EXPECT_EQ(deviceImage(Area::Base), expected);

  // One corner typed: the line goes through it and the other corners as
  // the device holds them, not as rounded on the page. Uout in MPa: 10 V
  // at 0.999 MPa (9.99 bar), the device's offset of 13 mV kept.
  CEditPage* uout = show(view_id::kUout);
  click(uout, channelIds(Channel::Uout).buttons.modify);
  type(uout, channelIds(Channel::Uout).yHigh, "10");
  type(uout, channelIds(Channel::Uout).xHigh, "0.999");
  click(uout, channelIds(Channel::Uout).buttons.save);
  ASSERT_TRUE(waitForWrite(uout, channelIds(Channel::Uout).buttons.modify));
  const Image o = deviceImage(Area::Option);
  EXPECT_EQ(static_cast<std::int16_t>(o[3] << 8 | o[4]), 13);
  EXPECT_EQ(o[1] << 8 | o[2], 1024);  // (10 - 0.013) V / 9.99 bar * 1024 = 1023.7
}

TEST_F(TypedValues, AFieldThatIsNotWhollyANumberIsRefusedByName) {
  startIn(2);
  const Image option = deviceImage(Area::Option), base = deviceImage(Area::Base);
  CEditPage* alarm = show(view_id::kAlarm);
  click(alarm, alarm_id::kButtons.modify);
  for (const char* typed : {"1,5", "1.5 s"}) {
    type(alarm, alarm_id::kErrorPlus, typed);
    m_boxes.clear();
    click(alarm, alarm_id::kButtons.save);
    ASSERT_EQ(m_boxes.size(), 1u) << typed;
    EXPECT_EQ(m_boxes[0].rfind("Error + : ", 0), 0u) << typed << ": " << m_boxes[0];
    EXPECT_NE(m_boxes[0].find("not a number"), std::string::npos) << m_boxes[0];
    EXPECT_EQ(alarm->m_editing, 1) << typed;
    EXPECT_EQ(QApplication::focusWidget(), edit(alarm, alarm_id::kErrorPlus)) << typed;
  }
  // Blanks round a number are no error.
  type(alarm, alarm_id::kErrorPlus, " 0.5 ");
  type(alarm, alarm_id::kDelayOn, "-.5");
  m_boxes.clear();
  click(alarm, alarm_id::kButtons.save);
  ASSERT_TRUE(waitForWrite(alarm, alarm_id::kButtons.modify));
  EXPECT_EQ(static_cast<std::int16_t>(deviceImage(Area::Option)[22] << 8 | deviceImage(Area::Option)[23]), -25);

  // PID: a fraction stays in the field as typed and is refused.
  CEditPage* pid = show(view_id::kPid);
  click(pid, pid_id::kButtons.modify);
  type(pid, pid_id::kKpHigh, "25.5");
  m_boxes.clear();
  click(pid, pid_id::kButtons.save);
  EXPECT_EQ(m_boxes, std::vector<std::string>{"Kp High : not a whole number (Min=0 - Max=255)"});
  click(pid, pid_id::kButtons.cancel);

  // In German the message and the field's name are German; a corner of a
  // channel page is named too.
  viewControl<CColourLabel>(view_id::kDeutsch)->clicked();
  settle();
  alarm = show(view_id::kAlarm);
  click(alarm, alarm_id::kButtons.modify);
  type(alarm, alarm_id::kDelayOff, "2,5");
  m_boxes.clear();
  click(alarm, alarm_id::kButtons.save);
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_EQ(m_boxes[0].rfind("Verzögerung AUS : ", 0), 0u) << m_boxes[0];
  EXPECT_NE(m_boxes[0].find("keine Zahl"), std::string::npos) << m_boxes[0];
  click(alarm, alarm_id::kButtons.cancel);
  CEditPage* ctrl = show(view_id::kControl);
  click(ctrl, channelIds(Channel::Control).buttons.modify);
  type(ctrl, channelIds(Channel::Control).xLow, "0,5");
  m_boxes.clear();
  click(ctrl, channelIds(Channel::Control).buttons.save);
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_NE(m_boxes[0].find("untere x-Ecke"), std::string::npos) << m_boxes[0];
  EXPECT_EQ(ctrl->m_editing, 1);

  EXPECT_EQ(deviceImage(Area::Base), base);
  Image expected = option;
  expected[18] = 0x01;  // Error + 0.5 bar
  expected[19] = 0xF4;
  expected[22] = 0xFF;  // Delay ON -0.5 s
  expected[23] = 0xE7;
  EXPECT_EQ(deviceImage(Area::Option), expected);
}

TEST_F(TypedValues, TheLiveTestValueIsSentInTheUnitItsCaptionNames) {
  startIn(2);
  click(&view(), view_id::kLive);
  CLivePage& live = *g_pLivePage;
  auto caption = [&](int id) { return live.controlText(id); };
  // Without a device report yet: the test captions name the unit of their
  // radios.
  EXPECT_EQ(caption(live_id::kTestUoutUnit), QStringLiteral("[V]"));
  EXPECT_EQ(caption(live_id::kTestIoutUnit), QStringLiteral("[mA]"));

  // The regulator is set to a current command (4..20 mA over 0..10 bar).
  withDevice([](sim::SimDevice& d) {
    Image b = d.image(Area::Base);
    b[0] |= 0x01;
    d.setImage(Area::Base, b);
  });
  ASSERT_TRUE(waitUntil([&] { return caption(live_id::kCtrlUnit) == QStringLiteral("[mA]"); }, 5000));
  EXPECT_TRUE(control<QRadioButton>(&live, live_id::kTestCtrlI)->isChecked());
  EXPECT_EQ(caption(live_id::kTestCtrlUnit), QStringLiteral("[mA]"));
  EXPECT_EQ(caption(live_id::kTestAuxinUnit), QStringLiteral("[V]"));

  click(&live, live_id::kTestCtrl);
  control<QLineEdit>(&live, live_id::kTestCtrlEdit)->setText(QStringLiteral("12"));
  settle();
  // 12 mA is 12 * 0.625 - 2.5 = 5 bar, not the 10 bar of 12 V.
  std::uint16_t raw = 0;
  ASSERT_TRUE(waitUntil(
      [&] {
        withDevice([&](sim::SimDevice& d) { raw = d.forced().ctrl ? d.forced().ctrlRaw : 0; });
        return raw != 0;
      },
      10000));
  EXPECT_EQ(raw, 5000);

  // Switched to U by hand while testing: the caption says so at once.
  control<QRadioButton>(&live, live_id::kTestCtrlU)->click();
  settle();
  EXPECT_EQ(caption(live_id::kTestCtrlUnit), QStringLiteral("[V]"));
  EXPECT_EQ(live.testFields().snapshot().m_nTestCtrlUnit, 0);
  savePng(&live, "vrx4-live-test-units.png");
}

}  // namespace
}  // namespace vrx4::testing
