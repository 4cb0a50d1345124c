// The LIVE page: layout per access mode, display radios that only show,
// the test panel and what it hands to the link engine; and, on the
// built-in simulated regulator, live values, forced values, messages and
// VISUALISATION clearing every test, end to end.
#include <QCheckBox>
#include <QImage>
#include <QPdfWriter>
#include <algorithm>

#include "gui/app/gui_notifier.h"
#include "gui/controls/colour_edit.h"
#include "gui/controls/colour_label.h"
#include "gui/monitoring/live_page.h"
#include "page_harness.h"

namespace vrx4::testing {
namespace {

using namespace live_id;

class LivePage : public PagesTest {
 protected:
  CLivePage& live() { return *g_pLivePage; }
  template <class T = QWidget>
  T* at(int id) { return control<T>(g_pLivePage, id); }
  bool shown(int id) { return at(id)->isVisibleTo(g_pLivePage); }
  QString text(int id) { return live().controlText(id); }
};

// Off the link: what each access mode shows, the captions, the display
// radios, the test switches and their fields, the file-mode notice once
// until the file is saved or closed, and the page printed.
TEST_F(LivePage, AccessModesCaptionsRadiosTestFieldsFileModeNoticeAndPrint) {
  start();
  for (std::uint32_t mode : {0u, 1u, 2u, 3u, 4u}) {
    live().ApplyAccessMode(mode);
    EXPECT_TRUE(shown(kP2Internal) == (mode == 4) && shown(kP2SourceCaption) == (mode == 4)) << mode;
    for (int id : {kTestCtrl, kTestAuxinEdit, kTestAlarmOff, kInputTestTitle, kOutputTestBox, kOtherBox, kError,
                   kErrorCaption})
      EXPECT_EQ(shown(id), mode >= 2) << mode << " " << id;
    EXPECT_TRUE(shown(kCtrl) && shown(kMessages));
  }
  for (int id : {kCtrl, kAuxin, kP2, kSupply, kUout, kIout, kError}) EXPECT_TRUE(at<QLineEdit>(id)->isReadOnly()) << id;
  live().ApplyAccessMode(7);  // unknown: unchanged
  EXPECT_TRUE(shown(kP2Internal) && !shown(kHiddenDefault));

  // Captions and group titles: the page's plain font on the panel colour,
  // the far right of each label background only.
  EXPECT_FALSE(live().font().bold());
  for (int id : {kCtrlCaption, kAuxinCaption, kP2Caption, kSupplyCaption, kUoutCaption, kIoutCaption, kAlarmCaption,
                 kCtrlUnit, kAuxinUnit, kP2SourceCaption, kErrorCaption, kInputsTitle, kMeasuresTitle,
                 kOutputsTitle, kOtherTitle, kMessageCaption}) {
    auto* label = at<CColourLabel>(id);
    EXPECT_TRUE(label->font() == live().font() && label->m_backColour == colour::kPanel) << id;
    const QImage image = label->grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() - 2, image.height() / 2), QColor(236, 233, 216)) << id;
  }
  savePng(g_pLivePage, "vrx4-live-captions.png");

  // The display radios undo clicks; the test switches gate their fields.
  live().ApplyAccessMode(2);
  for (int id : {kCtrlI, kAuxinI, kP2Auxin, kAlarmOn}) {
    at<QRadioButton>(id)->click();
    settle();
    EXPECT_FALSE(at<QRadioButton>(id)->isChecked()) << id;
  }
  EXPECT_TRUE(at<QRadioButton>(kAlarmOff)->isChecked() && at<QRadioButton>(kP2Internal)->isChecked());

  auto* edit = at<CColourEdit>(kTestCtrlEdit);
  auto& test = live().testFields();
  test.m_liveCommandRetry.store(0);
  at<QCheckBox>(kTestCtrl)->click();
  settle();
  EXPECT_TRUE(!edit->isReadOnly() && edit->m_backColour == colour::kWhite);
  EXPECT_TRUE(at(kTestCtrlI)->isEnabled() && !at(kTestAuxinU)->isEnabled());
  EXPECT_EQ(test.m_liveCommandRetry.exchange(0), 1);

  // Every keystroke asks for the live command, with the text already
  // published for the engine. A text that is no value (a decimal comma, as
  // typed by habit) is shown in red and the command keeps the last value
  // instead of sending 4 or 0.
  edit->setFocus();
  for (const char* typed : {"4", "4.", "4.5"}) {
    edit->setText(QString::fromLatin1(typed));
    EXPECT_EQ(test.m_liveCommandRetry.exchange(0), 1) << typed;
    EXPECT_EQ(test.snapshot().ctrlText, typed);
  }
  for (const char* typed : {"4,", "4,5", "abc"}) {
    edit->setText(QString::fromLatin1(typed));
    EXPECT_EQ(test.snapshot().ctrlText, "4.5") << typed;
    EXPECT_EQ(edit->m_textColour, colour::kRed) << typed;
  }
  edit->setText(QStringLiteral("4.5"));
  EXPECT_EQ(edit->m_textColour, colour::kBlack);
  at<QRadioButton>(kTestCtrlI)->click();
  settle();
  EXPECT_EQ(test.m_liveCommandRetry.exchange(0), 1);
  EXPECT_TRUE(test.snapshot().m_nTestCtrlUnit == 1 && test.snapshot().m_bTestCtrl == 1);

  at<QCheckBox>(kTestCtrl)->click();
  settle();
  EXPECT_TRUE(edit->isReadOnly() && edit->m_backColour == colour::kPanel);
  EXPECT_TRUE(!at(kTestCtrlU)->isEnabled() && test.snapshot().m_bTestCtrl == 0);

  // File mode: the notice once, nothing shown from a device.
  state().g_fileMode.store(1);
  auto postLive = [this] { QCoreApplication::postEvent(&view(), new LinkEvent(msg::kLiveValues, 0, 0)), settle(); };
  postLive(), postLive();
  EXPECT_EQ(std::count(m_boxes.begin(), m_boxes.end(), "Currently in file mode....."), 1);
  EXPECT_TRUE(text(kP2).isEmpty()) << "nothing is shown from a device in file mode";
  state().g_fileModeNoticeShown.store(0);  // what saving or closing the file does
  postLive();
  EXPECT_EQ(std::count(m_boxes.begin(), m_boxes.end(), "Currently in file mode....."), 2);
  state().g_fileMode.store(0);

  // Printed as shown.
  live().setValueTexts("5.0", "2.0", "6.0", "24.0", "5.0", "12.0", "0.1");
  const QString path = QString::fromStdString(m_dir + "/live.pdf");
  { QPdfWriter pdf(path); view().PrintLivePage(pdf); }
  const std::string bytes = readFile(path.toStdString());
  EXPECT_TRUE(bytes.starts_with("%PDF") && bytes.size() > 2000u);
}

// Live values, messages and a forced CONTROL value through the simulated
// regulator; the test value is sent in the unit its caption names.
TEST_F(LivePage, ValuesMessagesAndTheTestValueThroughTheSimulatedRegulator) {
  startIn(2);
  click(&view(), view_id::kLive);
  ASSERT_EQ(state().g_currentPage.load(), 2u);
  ASSERT_TRUE(waitUntil([&] { return !text(kP2).isEmpty() && !text(kSupply).isEmpty(); }, 5000));
  EXPECT_TRUE(text(kSupply).startsWith(QStringLiteral("2")) && text(kCtrlUnit) == QStringLiteral("[V]"))
      << text(kSupply).toStdString();
  withDevice([](sim::SimDevice& d) { d.setInfoCodes({3, 7, 0, 0, 0, 0, 0, 0}); });
  ASSERT_TRUE(waitUntil([&] { return text(kMessages).contains(QStringLiteral("Valve temperature high")); }, 5000));
  EXPECT_TRUE(text(kMessages).startsWith(QStringLiteral("Outlet pressure sensor fault\n")));

  // CONTROL becomes a current input (4..20 mA over 0..10 bar): mirrored
  // into the CONTROL page only while that page is not being edited.
  g_pCtrlPage->m_editing = 1;
  withDevice([](sim::SimDevice& d) { Image base = d.image(Area::Base); base[0] |= 0x01; d.setImage(Area::Base, base); });
  ASSERT_TRUE(waitUntil([&] { return text(kCtrlUnit) == QStringLiteral("[mA]"); }, 5000));
  EXPECT_EQ(g_pCtrlPage->m_inputType, 0);
  g_pCtrlPage->m_editing = 0;
  ASSERT_TRUE(waitUntil([&] { return g_pCtrlPage->m_inputType == 1; }, 5000));
  EXPECT_TRUE(g_pAuxinPage->m_inputType == 0 && at<QRadioButton>(kTestCtrlI)->isChecked());
  EXPECT_TRUE(text(kTestCtrlUnit) == QStringLiteral("[mA]") && text(kTestAuxinUnit) == QStringLiteral("[V]"));

  // 12 mA is 12 * 0.625 - 2.5 = 5 bar, not the 10 bar of 12 V; the
  // regulator's report of the forced value comes back to the page.
  at<QCheckBox>(kTestCtrl)->click();
  at<QLineEdit>(kTestCtrlEdit)->setText(QStringLiteral("12"));
  settle();
  std::uint16_t raw = 0;
  const auto forced = [&] {
    withDevice([&](sim::SimDevice& d) { raw = d.forced().ctrl ? d.forced().ctrlRaw : 0; });
    return raw != 0 && text(kCtrl) == QStringLiteral("12.0");
  };
  ASSERT_TRUE(waitUntil(forced, 10000)) << "CONTROL shows " << text(kCtrl).toStdString();
  EXPECT_EQ(raw, 5000);
  // Switched to U by hand while testing: the caption says so at once.
  at<QRadioButton>(kTestCtrlU)->click();
  settle();
  EXPECT_TRUE(text(kTestCtrlUnit) == QStringLiteral("[V]") && live().testFields().snapshot().m_nTestCtrlUnit == 0);
  savePng(g_pLivePage, "vrx4-live-test-units.png");

  // Unit and language follow at once.
  viewControl<CColourLabel>(view_id::kPsi)->clicked();
  viewControl<CColourLabel>(view_id::kDeutsch)->clicked();
  settle();
  EXPECT_TRUE(text(kP2Caption).endsWith(QStringLiteral(" [PSI]"))) << text(kP2Caption).toStdString();
  EXPECT_TRUE(text(kMessages).startsWith(QStringLiteral("Störung des Ausgangsdrucksensors\n")))
      << text(kMessages).toStdString();
  ASSERT_TRUE(waitUntil([&] { return !text(kP2).contains(QLatin1Char('.')); }, 3000)) << text(kP2).toStdString();
  // Every other test on too, then VISUALISATION: every test off.
  for (int id : {kTestAuxin, kTestUout, kTestIout, kTestAlarm}) at<QCheckBox>(id)->click();
  at<QRadioButton>(kTestAuxinI)->click();
  at<QRadioButton>(kTestAlarmOn)->click();
  for (int id : {kTestAuxinEdit, kTestUoutEdit, kTestIoutEdit}) at<QLineEdit>(id)->setText(QStringLiteral("1.5"));
  settle();
  EXPECT_EQ(live().testFields().snapshot().m_bTestAlarm, 1);
  enterMode(1);
  for (int id : {kTestCtrl, kTestAuxin, kTestUout, kTestIout, kTestAlarm})
    EXPECT_FALSE(at<QCheckBox>(id)->isChecked()) << id;
  for (int id : {kTestCtrlEdit, kTestAuxinEdit, kTestUoutEdit, kTestIoutEdit})
    EXPECT_TRUE(at<QLineEdit>(id)->text().isEmpty() && at<QLineEdit>(id)->isReadOnly()) << id;
  const LiveTestSnapshot t = live().testFields().snapshot();
  EXPECT_EQ(t.m_bTestCtrl + t.m_bTestAuxin + t.m_bTestUout + t.m_bTestIout + t.m_bTestAlarm + t.m_nTestAuxinUnit, 0);
  EXPECT_TRUE(t.ctrlText.empty() && t.ioutText.empty());
  // Showing the page again (in VISUALISATION) asks for the messages again;
  // they stay.
  click(&view(), view_id::kLive);
  settle();
  ASSERT_TRUE(waitUntil([&] { return live().testFields().m_infoRequest.load() == 0; }, 5000));
  settle();
  EXPECT_TRUE(text(kMessages).contains(QStringLiteral("Ventiltemperatur hoch"))) << text(kMessages).toStdString();
  // VISUALISATION switched the test off on the page, and on the regulator.
  bool stillForced = true;
  ASSERT_TRUE(waitUntil([&] {
    withDevice([&](sim::SimDevice& d) { stillForced = d.forced().ctrl; });
    return !stillForced;
  }, 5000));
  savePng(g_pLivePage, "vrx4-live-visualisation-de.png");
}

}  // namespace
}  // namespace vrx4::testing
