// The parameter pages end to end on the simulated regulator: what a Save
// puts on the line and what the page shows after it, file mode, Cancel,
// Saves refused by the rules or while another transfer runs, the PID
// page's edits, and keys that must do nothing.
#include <QComboBox>
#include <QKeyEvent>
#include <QRadioButton>

#include "gui/controls/colour_edit.h"
#include "gui/controls/line_diagram.h"
#include "page_harness.h"
#include "core/sim/factory_images.h"

namespace vrx4::testing {
namespace {

constexpr const char* kTransferDone =
    "Transfer complete. Switch the VRX off and on again so that it uses the new parameters.";
constexpr const char* kBusy =
    "A transfer to the regulator is still running. Nothing was written: wait until it has ended, then try again.";

// CONTROL's ids: corners, U/I radios, buttons.
constexpr int kYHigh = 1133, kYLow = 1134, kXLow = 1135, kXHigh = 1136, kRadioU = 1138, kRadioI = 1139;
constexpr int kModify = 1147, kRestore = 1055, kSave = 1149, kCancel = 1056;

class ParameterPages : public PagesTest {
 protected:
  bool writable(CPage* page, int id) {
    auto* e = control<CColourEdit>(page, id);
    return !e->isReadOnly() && e->m_backColour == colour::kWhite;
  }
  bool readOnly(CPage* page, int id) {
    auto* e = control<CColourEdit>(page, id);
    return e->isReadOnly() && e->m_backColour == colour::kPanel;
  }
  void key(QWidget* target, int k) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    settle();
  }
};

TEST_F(ParameterPages, ControlSaveWritesByteZeroThenTwoVerifiedBlocksAndShowsTheConfirmedValues) {
  startIn(2);
  CEditPage* page = show(view_id::kControl);
  EXPECT_TRUE(shown(page, kModify) && shown(page, kRestore));
  EXPECT_FALSE(shown(page, kSave) || shown(page, kCancel));
  EXPECT_TRUE(readOnly(page, kYHigh));

  click(page, kModify);
  EXPECT_TRUE(shown(page, kSave) && shown(page, kCancel));
  EXPECT_FALSE(shown(page, kModify) || shown(page, kRestore));
  for (int id : {kYHigh, kYLow, kXLow, kXHigh}) EXPECT_TRUE(writable(page, id)) << id;
  type(page, kYLow, "1");
  type(page, kYHigh, "9");
  // The diagram follows the typed corners at once.
  EXPECT_EQ(g_pCtrlPage->diagram()->linePixels(), QLine(30, 220, 230, 60));

  clearLine();
  m_boxes.clear();
  button(page, kSave)->click();  // no event loop yet: the page waits
  EXPECT_EQ(page->m_editing, 0);
  EXPECT_TRUE(shown(page, kModify));
  EXPECT_FALSE(button(page, kModify)->isEnabled());
  EXPECT_FALSE(button(page, kRestore)->isEnabled());
  EXPECT_TRUE(readOnly(page, kYHigh));
  ASSERT_TRUE(waitForWrite(page, kModify));

  // CONSIGNE alone first, then BASE 1..4 and 5..8, each read back.
  const auto writes = blocksAfterByteZero(writesOnTheLine(), 0x00);
  ASSERT_EQ(writes.size(), 2u);
  // slope 0.8 bar/V -> 819 (0x0333), offset 1 bar -> 1000 (0x03E8); the
  // current pair (640, -2500) is written back unchanged.
  EXPECT_EQ(writes[0].address, 1);
  EXPECT_EQ(writes[0].data, (std::vector<std::uint8_t>{0x03, 0x33, 0x03, 0xE8}));
  EXPECT_EQ(writes[1].address, 5);
  EXPECT_EQ(writes[1].data, (std::vector<std::uint8_t>{0x02, 0x80, 0xF6, 0x3C}));
  // The page shows the line as the device confirmed it.
  EXPECT_EQ(text(page, kYLow), QStringLiteral("1.00"));
  EXPECT_EQ(text(page, kYHigh), QStringLiteral("9.00"));
  EXPECT_TRUE(button(page, kRestore)->isEnabled());
  ASSERT_TRUE(waitUntil([&] { return !m_boxes.empty(); }));
  EXPECT_EQ(m_boxes.front(), kTransferDone);

  // Restore writes the factory copy (BASE 16..24) back, byte 0 first.
  clearLine();
  click(page, kRestore);
  ASSERT_TRUE(waitForWrite(page, kModify));
  const auto restored = blocksAfterByteZero(writesOnTheLine(), deviceImage(Area::Base)[16]);
  ASSERT_EQ(restored.size(), 2u);
  EXPECT_EQ(restored[0].data, (std::vector<std::uint8_t>{0x04, 0x00, 0x00, 0x00}));
  EXPECT_EQ(text(page, kYHigh), QStringLiteral("10.00"));
}

TEST_F(ParameterPages, FileModeSavesIntoTheImagesAtOnceWithoutAMessage) {
  start();
  enterCode(mode_id::kSetting, "vesko");
  state().openFileMode(m_dir + "/device.txt");
  sim::FactoryImages images = sim::factoryImages();
  images.base[0] = 0x01;    // CONTROL is a current input
  images.option[0] = 0x08;  // so is AUXin
  state().setDevice(Area::Base, images.base);
  state().setDevice(Area::Option, images.option);
  m_boxes.clear();

  // The PID page: the bytes are in the images as soon as Save returns.
  CEditPage* pid = show(view_id::kPid);
  click(pid, pid_id::kButtons.modify);
  type(pid, pid_id::kKpHigh, "200");
  type(pid, pid_id::kKd, "007");
  click(pid, pid_id::kButtons.save);
  const Image base = state().device(Area::Base);
  EXPECT_EQ(base[43], 200);
  EXPECT_EQ(base[46], 7);
  EXPECT_EQ(text(pid, pid_id::kKd), QStringLiteral("7"));
  EXPECT_TRUE(button(pid, pid_id::kButtons.modify)->isEnabled());

  // The input types come from the images; a Save keeps AUXin a current
  // input (FLAG bit 3) and writes its pair of the current type.
  CEditPage* ctrl = show(view_id::kControl);
  EXPECT_TRUE(control<QRadioButton>(ctrl, kRadioI)->isChecked());
  EXPECT_EQ(text(ctrl, kXLow), QStringLiteral("4.00"));  // 640 / -2500: 0 bar at 4 mA
  CEditPage* auxin = show(view_id::kAuxin);
  EXPECT_TRUE(control<QRadioButton>(auxin, 1182)->isChecked());
  click(auxin, 1183);
  type(auxin, 1175, "5");  // upper y corner: 5 bar at 20 mA
  click(auxin, 1191);
  const Image option = state().device(Area::Option);
  EXPECT_EQ(option[0], 0x08);
  // 0 bar at 4 mA, 5 bar at 20 mA: 0.3125 bar/mA (320), -1.25 bar.
  EXPECT_EQ(option[14] << 8 | option[15], 320);
  EXPECT_EQ(static_cast<std::int16_t>(option[16] << 8 | option[17]), -1250);
  EXPECT_EQ(text(auxin, 1175), QStringLiteral("5.0"));
  EXPECT_TRUE(m_boxes.empty()) << m_boxes.front();
}

TEST_F(ParameterPages, CancelRestoresEveryFieldTheTypeAndTheList) {
  startIn(4);
  CEditPage* page = show(view_id::kAuxin);
  const QString upper = text(page, 1175), lower = text(page, 1176);
  auto* list = control<QComboBox>(page, auxin_id::kReadAsList);
  EXPECT_TRUE(list->isVisibleTo(page));
  EXPECT_FALSE(list->isEnabled());

  click(page, 1183);
  EXPECT_TRUE(list->isEnabled());
  control<QRadioButton>(page, 1182)->click();  // I: the current pair's corners
  settle();
  EXPECT_EQ(text(page, 1177), QStringLiteral("4.00"));
  list->setCurrentIndex(1);
  type(page, 1175, "7.5");
  type(page, 1176, "0.5");
  click(page, 1192);
  EXPECT_TRUE(control<QRadioButton>(page, 1181)->isChecked());
  EXPECT_EQ(list->currentIndex(), 0);
  EXPECT_FALSE(list->isEnabled());
  EXPECT_EQ(text(page, 1175), upper);
  EXPECT_EQ(text(page, 1176), lower);
  EXPECT_EQ(text(page, 1177), QStringLiteral("0.00"));
  EXPECT_TRUE(readOnly(page, 1175));

  // Outside Modify mode the U/I radios show the page's type whatever is
  // clicked; so do the alarm page's logic radios.
  control<QRadioButton>(page, 1182)->click();
  settle();
  EXPECT_TRUE(control<QRadioButton>(page, 1181)->isChecked());
  CEditPage* alarm = show(view_id::kAlarm);
  control<QRadioButton>(alarm, alarm_id::kLogicMinus)->click();
  settle();
  EXPECT_TRUE(control<QRadioButton>(alarm, alarm_id::kLogicPlus)->isChecked());

  // The alarm page in Modify: Cancel drops the typed delay and the logic.
  click(alarm, alarm_id::kButtons.modify);
  control<QRadioButton>(alarm, alarm_id::kLogicMinus)->click();
  type(alarm, alarm_id::kDelayOn, "9");
  click(alarm, alarm_id::kButtons.cancel);
  EXPECT_EQ(text(alarm, alarm_id::kDelayOn), QStringLiteral("1.000"));
  EXPECT_TRUE(control<QRadioButton>(alarm, alarm_id::kLogicPlus)->isChecked());
}

TEST_F(ParameterPages, ASaveWhileATransferRunsKeepsTheTypedValues) {
  startIn(2);
  CEditPage* pid = show(view_id::kPid);
  click(pid, pid_id::kButtons.modify);
  type(pid, pid_id::kKpHigh, "77");
  // The tools page's "Reload EEPROM" starts a full read meanwhile.
  TransferRequest reload;
  reload.op = op::kReadOption;
  ASSERT_EQ(state().publishRequest(reload), DeviceState::Publish::Accepted);
  m_boxes.clear();
  clearLine();
  click(pid, pid_id::kButtons.save);
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_EQ(m_boxes[0], kBusy);
  EXPECT_EQ(pid->m_editing, 1);
  EXPECT_TRUE(shown(pid, pid_id::kButtons.save));
  EXPECT_EQ(text(pid, pid_id::kKpHigh), QStringLiteral("77"));

  // The read ends; the page is still being edited and keeps the value.
  ASSERT_TRUE(waitUntil([&] { return !state().requestPending(); }, 20000));
  settle();
  EXPECT_EQ(text(pid, pid_id::kKpHigh), QStringLiteral("77"));
  EXPECT_TRUE(writesOnTheLine().empty());
  click(pid, pid_id::kButtons.save);
  ASSERT_TRUE(waitForWrite(pid, pid_id::kButtons.modify));
  EXPECT_EQ(deviceImage(Area::Base)[43], 77);
  EXPECT_EQ(text(pid, pid_id::kKpHigh), QStringLiteral("77"));
}

TEST_F(ParameterPages, RefusedValuesWriteNothingAndStayInModify) {
  startIn(2);
  clearLine();
  CEditPage* ctrl = show(view_id::kControl);
  click(ctrl, kModify);
  type(ctrl, kXLow, "5");
  type(ctrl, kXHigh, "5.00");
  m_boxes.clear();
  click(ctrl, kSave);
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_NE(m_boxes[0].find("x corners are equal"), std::string::npos) << m_boxes[0];
  EXPECT_EQ(ctrl->m_editing, 1);
  EXPECT_EQ(text(ctrl, kXLow), QStringLiteral("5"));
  EXPECT_EQ(QApplication::focusWidget(), edit(ctrl, kXHigh));
  EXPECT_FALSE(state().requestPending());
  click(ctrl, kCancel);

  // PID (no Restore): the refusal's order and texts are the rule's
  // (pages/pid_gains_test); here the focus on the field at fault.
  CEditPage* pid = show(view_id::kPid);
  click(pid, pid_id::kButtons.modify);
  EXPECT_FALSE(shown(pid, pid_id::kButtons.restore));
  type(pid, pid_id::kKd, "300");
  m_boxes.clear();
  click(pid, pid_id::kButtons.save);
  EXPECT_EQ(m_boxes, std::vector<std::string>{"Kd : Min=0 - Max=255"});
  EXPECT_EQ(QApplication::focusWidget(), edit(pid, pid_id::kKd));
  EXPECT_EQ(text(pid, pid_id::kKd), QStringLiteral("300"));
  EXPECT_EQ(pid->m_editing, 1);
  EXPECT_TRUE(writesOnTheLine().empty());
}

TEST_F(ParameterPages, EnterAndEscapeNeverSaveNorClose) {
  startIn(2);
  CEditPage* pid = show(view_id::kPid);
  click(pid, pid_id::kButtons.modify);
  QLineEdit* kp = edit(pid, pid_id::kKpHigh);
  kp->setFocus();
  settle();
  EXPECT_EQ(kp->selectedText(), kp->text()) << "the focus selects the whole text";
  type(pid, pid_id::kKpHigh, "99");
  m_boxes.clear();
  for (int k : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) key(kp, k);
  EXPECT_TRUE(pid->isVisible());
  EXPECT_EQ(pid->m_editing, 1);
  EXPECT_FALSE(state().requestPending());
  EXPECT_TRUE(m_boxes.empty());
  CEditPage* ctrl = show(view_id::kControl);
  for (int k : {Qt::Key_Return, Qt::Key_Escape}) key(edit(ctrl, kXLow), k);
  EXPECT_TRUE(ctrl->isVisible());
  EXPECT_EQ(ctrl->m_editing, 0);
  EXPECT_FALSE(state().requestPending());
  EXPECT_EQ(deviceImage(Area::Base)[43], 120);
}

TEST_F(ParameterPages, DiagramCaptionsFollowTheUnitAndTheInputType) {
  startIn(2);
  show(view_id::kControl);
  CLineDiagram* d = g_pCtrlPage->diagram();
  EXPECT_EQ(d->yCaption(), QStringLiteral("CTRL [bar]"));
  EXPECT_EQ(d->xCaption(), QStringLiteral("CTRL [V]"));
  click(g_pCtrlPage, kModify);
  control<QRadioButton>(g_pCtrlPage, kRadioI)->click();
  settle();
  EXPECT_EQ(d->xCaption(), QStringLiteral("CTRL [mA]"));
  EXPECT_EQ(d->xScale(), 2.0f);
  click(g_pCtrlPage, kCancel);
  show(view_id::kUout);
  EXPECT_EQ(g_pUoutPage->diagram()->xCaption(), QStringLiteral("P2 [bar]"));
  EXPECT_EQ(g_pUoutPage->diagram()->yCaption(), QStringLiteral("Uout [V]"));
}

}  // namespace
}  // namespace vrx4::testing
