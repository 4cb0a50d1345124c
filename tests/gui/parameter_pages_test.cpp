// The parameter pages end to end on the simulated regulator: what a Save
// puts on the line and what the page shows after it, file mode, Cancel,
// Saves refused by the rules or while another transfer runs, the PID
// page's edits, keys that must do nothing, the diagram's caption; and
// only what the user typed reaches the regulator. The line diagram as
// drawn. (The LIVE page's test value in its caption's unit: live_page_test.)
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>

#include "core/link/param_dictionary.h"
#include "core/pages/line_diagram_scale.h"
#include "core/sim/factory_images.h"
#include "gui/controls/colour_edit.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/line_diagram.h"
#include "page_harness.h"

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
  // A field open to typing (white) or read-only (on the panel colour).
  bool writable(CPage* page, int id, bool open = true) {
    auto* e = control<CColourEdit>(page, id);
    return e->isReadOnly() != open && e->m_backColour == (open ? colour::kWhite : colour::kPanel);
  }
  bool readOnly(CPage* page, int id) { return writable(page, id, false); }
  void key(QWidget* target, int k) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    settle();
  }

  // What the user typed, and only that, reaches the regulator: a Save
  // without an edit leaves every word the device holds, and a field that
  // is not a number is refused by name.
  using Words = std::initializer_list<std::pair<const char*, std::int32_t>>;
  static void put(Image& im, Area area, Words words) {
    for (const auto& [name, value] : words) writeField(im, *findField(area, name), value);
  }
  // Words that no rounded text gives back in PSI, kPa or MPa, and byte-0
  // and logic bytes with bits the pages do not show; then a full read.
  void loadAwkwardWords() {
    withDevice([](sim::SimDevice& d) {
      Image b = d.image(Area::Base), o = d.image(Area::Option);
      b[0] = 0x80;  // a voltage command, with a bit the page does not show
      put(b, Area::Base, {{"V_TO_B_A", 1000}, {"V_TO_B_B", 37}, {"A_TO_B_A", 641}, {"A_TO_B_B", -2503}});
      o[0] = 0x41;
      put(o, Area::Option, {{"B_TO_V_A", 1001}, {"B_TO_V_B", 13}, {"B_TO_A_A", 1639}, {"B_TO_A_B", 4003}});
      put(o, Area::Option, {{"AL_LOGIC", 0x81}, {"V_TO_B_A", 999}, {"V_TO_B_B", -7}, {"A_TO_B_A", 643}});
      put(o, Area::Option, {{"A_TO_B_B", -2511}, {"AL_LIM_P", 300}, {"AL_LIM_N", 400}, {"AL_DEL_ON", 51}});
      put(o, Area::Option, {{"AL_DEL_OFF", 26}, {"AL_T_MIN", 11}});
      d.setImage(Area::Base, b);
      d.setImage(Area::Option, o);
    });
    ASSERT_EQ(state().publishRequest(TransferRequest{.op = op::kReadOption}), DeviceState::Publish::Accepted);
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

TEST_F(ParameterPages, ControlSaveWritesByteZeroThenTwoVerifiedBlocksAndShowsTheConfirmedValues) {
  startIn(2);
  CEditPage* page = show(view_id::kControl);
  EXPECT_TRUE(readOnly(page, kYHigh));
  click(page, kModify);
  EXPECT_TRUE(shown(page, kSave) && !shown(page, kRestore));
  for (int id : {kYHigh, kYLow, kXLow, kXHigh}) EXPECT_TRUE(writable(page, id)) << id;
  type(page, kYLow, "1"), type(page, kYHigh, "9");
  // The diagram follows the typed corners at once.
  EXPECT_EQ(g_pCtrlPage->diagram()->linePixels(), QLine(30, 220, 230, 60));

  clearLine();
  m_boxes.clear();
  button(page, kSave)->click();  // no event loop yet: the page waits
  EXPECT_TRUE(!button(page, kModify)->isEnabled() && !button(page, kRestore)->isEnabled() && readOnly(page, kYHigh));
  ASSERT_TRUE(waitForWrite(page, kModify));

  // CONSIGNE alone first, then BASE 1..4 and 5..8, each read back.
  const auto writes = blocksAfterByteZero(writesOnTheLine(), 0x00);
  ASSERT_EQ(writes.size(), 2u);
  // slope 0.8 bar/V -> 819 (0x0333), offset 1 bar -> 1000 (0x03E8); the
  // current pair (640, -2500) is written back unchanged.
  EXPECT_TRUE(writes[0].address == 1 && writes[1].address == 5);
  EXPECT_EQ(writes[0].data, (std::vector<std::uint8_t>{0x03, 0x33, 0x03, 0xE8}));
  EXPECT_EQ(writes[1].data, (std::vector<std::uint8_t>{0x02, 0x80, 0xF6, 0x3C}));
  // The page shows the line as the device confirmed it.
  EXPECT_EQ(text(page, kYLow) + " " + text(page, kYHigh), QStringLiteral("1.00 9.00"));
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
  EXPECT_EQ(std::vector<int>({base[43], base[46]}), (std::vector<int>{200, 7}));
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
  // 0 bar at 4 mA, 5 bar at 20 mA: 0.3125 bar/mA (320), -1.25 bar (-1250).
  EXPECT_EQ(std::vector<int>(option.begin() + 14, option.begin() + 18), (std::vector<int>{0x01, 0x40, 0xFB, 0x1E}));
  EXPECT_EQ(text(auxin, 1175), QStringLiteral("5.0"));
  EXPECT_TRUE(m_boxes.empty()) << m_boxes.front();
}

TEST_F(ParameterPages, CancelRestoresEveryFieldTheTypeAndTheList) {
  startIn(4);
  CEditPage* page = show(view_id::kAuxin);
  const QString upper = text(page, 1175), lower = text(page, 1176);
  auto* list = control<QComboBox>(page, auxin_id::kReadAsList);
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
  EXPECT_TRUE(control<QRadioButton>(page, 1181)->isChecked() && list->currentIndex() == 0 && !list->isEnabled());
  EXPECT_TRUE(text(page, 1175) == upper && text(page, 1176) == lower);
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

TEST_F(ParameterPages, RefusedValuesEnterOrEscapeASaveDuringATransferAndFieldsNotWhollyANumber) {
  startIn(2);
  clearLine();
  CEditPage* ctrl = show(view_id::kControl);
  CLineDiagram* d = g_pCtrlPage->diagram();
  m_boxes.clear();
  for (int k : {Qt::Key_Return, Qt::Key_Escape}) key(edit(ctrl, kXLow), k);
  EXPECT_TRUE(ctrl->isVisible() && ctrl->m_editing == 0);
  click(ctrl, kModify);
  type(ctrl, kXLow, "5");
  type(ctrl, kXHigh, "5.00");
  click(ctrl, kSave);
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_NE(m_boxes[0].find("x corners are equal"), std::string::npos) << m_boxes[0];
  EXPECT_EQ(text(ctrl, kXLow), QStringLiteral("5"));
  EXPECT_EQ(QApplication::focusWidget(), edit(ctrl, kXHigh));
  EXPECT_FALSE(state().requestPending());
  // The diagram's caption and scale follow the input type.
  control<QRadioButton>(ctrl, kRadioI)->click();
  settle();
  EXPECT_TRUE(d->xCaption() == QStringLiteral("CTRL [mA]") && d->xScale() == 2.0f) << d->xCaption().toStdString();
  click(ctrl, kCancel);

  // PID (no Restore): the refusal's order and texts are the rule's
  // (pages/pid_gains_test); here the focus on the field at fault.
  CEditPage* pid = show(view_id::kPid);
  click(pid, pid_id::kButtons.modify);
  QLineEdit* kp = edit(pid, pid_id::kKpHigh);
  kp->setFocus();
  settle();
  EXPECT_EQ(kp->selectedText(), kp->text()) << "the focus selects the whole text";
  type(pid, pid_id::kKd, "300");
  m_boxes.clear();
  click(pid, pid_id::kButtons.save);
  EXPECT_EQ(m_boxes, std::vector<std::string>{"Kd : Min=0 - Max=255"});
  EXPECT_EQ(QApplication::focusWidget(), edit(pid, pid_id::kKd));
  EXPECT_EQ(text(pid, pid_id::kKd), QStringLiteral("300"));
  // Valid values: Enter and Escape neither save nor close.
  type(pid, pid_id::kKd, "7");
  type(pid, pid_id::kKpHigh, "99");
  m_boxes.clear();
  for (int k : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) key(kp, k);
  EXPECT_TRUE(pid->isVisible() && pid->m_editing == 1);
  EXPECT_TRUE(m_boxes.empty() && writesOnTheLine().empty());
  EXPECT_EQ(deviceImage(Area::Base)[43], 120);

  // A Save while the tools page's "Reload EEPROM" reads keeps the typed
  // values; the page is still being edited when the read ends.
  type(pid, pid_id::kKpHigh, "77");
  ASSERT_EQ(state().publishRequest(TransferRequest{.op = op::kReadOption}), DeviceState::Publish::Accepted);
  click(pid, pid_id::kButtons.save);
  EXPECT_EQ(m_boxes, std::vector<std::string>{kBusy});
  EXPECT_EQ(pid->m_editing, 1);
  ASSERT_TRUE(waitUntil([&] { return !state().requestPending(); }, 20000));
  settle();
  EXPECT_EQ(text(pid, pid_id::kKpHigh), QStringLiteral("77"));
  EXPECT_TRUE(writesOnTheLine().empty());
  click(pid, pid_id::kButtons.save);
  ASSERT_TRUE(waitForWrite(pid, pid_id::kButtons.modify));
  EXPECT_EQ(deviceImage(Area::Base)[43], 77);

  // A field that is not wholly a number is refused by name.
  const Image option = deviceImage(Area::Option), base = deviceImage(Area::Base);
  CEditPage* alarm = show(view_id::kAlarm);
  click(alarm, alarm_id::kButtons.modify);
  type(alarm, alarm_id::kErrorPlus, "1.5 s");
  m_boxes.clear();
  click(alarm, alarm_id::kButtons.save);
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_EQ(m_boxes[0].rfind("Error + : not a number", 0), 0u) << m_boxes[0];
  EXPECT_EQ(QApplication::focusWidget(), edit(alarm, alarm_id::kErrorPlus));
  // Blanks round a number are no error.
  type(alarm, alarm_id::kErrorPlus, " 0.5 ");
  type(alarm, alarm_id::kDelayOn, "-.5");
  m_boxes.clear();
  click(alarm, alarm_id::kButtons.save);
  ASSERT_TRUE(waitForWrite(alarm, alarm_id::kButtons.modify));

  // In German the message and the corner's name are German.
  viewControl<CColourLabel>(view_id::kDeutsch)->clicked();
  settle();
  ctrl = show(view_id::kControl);
  click(ctrl, kModify);
  type(ctrl, kXLow, "0,5");
  m_boxes.clear();
  click(ctrl, kSave);
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_NE(m_boxes[0].find("untere x-Ecke : keine Zahl"), std::string::npos) << m_boxes[0];
  EXPECT_EQ(ctrl->m_editing, 1);

  EXPECT_EQ(deviceImage(Area::Base), base);
  Image expected = option;
  expected[18] = 0x01, expected[19] = 0xF4;  // Error + 0.5 bar
  expected[22] = 0xFF, expected[23] = 0xE7;  // Delay ON -0.5 s
  EXPECT_EQ(deviceImage(Area::Option), expected);
}



TEST_F(ParameterPages, SaveWithoutAnEditKeepsEveryWordTheDeviceHolds) {
  startIn(2);
  loadAwkwardWords();
  const Image base = deviceImage(Area::Base), option = deviceImage(Area::Option);
  // In PSI the alarm limits 0.300 and 0.400 bar show as 4 and 6.
  unit(view_id::kPsi);
  EXPECT_EQ(text(show(view_id::kAlarm), alarm_id::kErrorPlus), QStringLiteral("4"));

  clearLine();
  for (int selector : {view_id::kPsi, view_id::kKpa, view_id::kMpa}) {
    unit(selector);
    for (auto [nav, ids] : {std::pair{view_id::kControl, channelIds(Channel::Control).buttons},
                            {view_id::kAuxin, channelIds(Channel::Auxin).buttons}, {view_id::kPid, pid_id::kButtons},
                            {view_id::kUout, channelIds(Channel::Uout).buttons}, {view_id::kAlarm, alarm_id::kButtons},
                            {view_id::kIout, channelIds(Channel::Iout).buttons}})
      modifyAndSave(nav, ids);
    EXPECT_EQ(deviceImage(Area::Base), base) << selector;
    EXPECT_EQ(deviceImage(Area::Option), option) << selector;
  }
  // Each Save did reach the regulator: the block writes are on the line.
  EXPECT_GE(writesOnTheLine().size(), 3u * 6u);

  // The U/I choice alone changes CONSIGNE's type bit, not the words.
  CEditPage* ctrl = show(view_id::kControl);
  click(ctrl, kModify);
  control<QRadioButton>(ctrl, kRadioI)->click();
  settle();
  click(ctrl, kSave);
  ASSERT_TRUE(waitForWrite(ctrl, kModify));
  Image expected = base;
  expected[0] = 0x81;
  EXPECT_EQ(deviceImage(Area::Base), expected);
}

// The line diagram as drawn: where the line lands in the client area
// (inside the border), a line beyond the plot, the axis numbers, and the
// captions drawn over the axes on their own background.
class LineDiagram : public ::testing::Test {
 protected:
  void SetUp() override {
    const DiagramSetup iout = diagramSetup(Channel::Iout);
    m_diagram.Create(iout.yScale, iout.xScale, QString(), QString(), QString::fromLatin1(iout.title), iout.colour,
                     QRect(100, 100, 270, 270), &m_parent, iout.id);
  }
  // A client pixel (the window has a one-pixel border).
  QColor at(int x, int y) {
    if (m_image.isNull()) m_image = m_diagram.grab().toImage();
    return m_image.pixelColor(x + 1, y + 1);
  }
  // Pixels of text in a rectangle: neither panel nor white (the numbers
  // are smoothed, so few have their exact colour).
  int inked(QRect r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += at(x, y) != m_panel && at(x, y) != m_white;
    return n;
  }

  QWidget m_parent;
  CLineDiagram m_diagram;
  QImage m_image;
  const QColor m_olive{128, 128, 0}, m_white{Qt::white}, m_panel{236, 233, 216};
};

TEST_F(LineDiagram, TheLineTheGridTheNumbersALineBeyondThePlotAndCaptionsOverTheAxes) {
  EXPECT_EQ(m_diagram.clientRect().size(), QSize(268, 268));
  // 0 bar / 4 mA to 10 bar / 20 mA on the Iout diagram (2 mA per half
  // division): from the x axis' fourth of the way up to the plot's corner.
  m_diagram.SetLine(0.0, 10.0, 4.0, 20.0, QStringLiteral("P2 [bar]"), QStringLiteral("Iout [mA]"));
  EXPECT_EQ(m_diagram.linePixels(), QLine(30, 200, 230, 40));
  EXPECT_TRUE(at(130, 120) == m_olive && at(230, 40) == m_olive);  // the middle and the end of the line
  EXPECT_TRUE(at(70, 160) == m_white && at(100, 100) == m_panel);  // a grid crossing, inside a grid cell
  // Numbers 4..20 on y beside their grid lines, none below the first one.
  EXPECT_GT(inked(QRect(5, 34, 20, 12)), 5);   // "20" at the top
  EXPECT_GT(inked(QRect(5, 194, 20, 12)), 2);  // "4"
  EXPECT_EQ(inked(QRect(0, 234, 29, 12)), 0);

  // 20 x 20 in units of 1 and 2: the end lies far above and right of the
  // plot; it is drawn up to the window's edge.
  m_image = QImage();
  m_diagram.SetScales(1.0f, 1.0f);
  m_diagram.SetLine(0.0, 20.0, 0.0, 20.0, QStringLiteral("P2 [bar]"), QStringLiteral("CTRL [PSI]"));
  EXPECT_EQ(m_diagram.linePixels(), QLine(30, 240, 430, -160));
  EXPECT_EQ(at(250, 20), m_olive);
  // The y axis runs up through the y caption's row; the caption's cells
  // keep it from crossing the letters.
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(9);
  const int h = QFontMetrics(font).height();
  const int captionRow = diagram::kTop - h - 10 + h / 2;
  EXPECT_NE(at(diagram::kLeft, captionRow), m_white);
  EXPECT_EQ(at(diagram::kLeft, diagram::kTop - 5), m_white);  // the axis below the caption
}

}  // namespace
}  // namespace vrx4::testing
