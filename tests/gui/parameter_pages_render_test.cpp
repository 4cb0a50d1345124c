// The six parameter pages rendered to PNG files in the build folder, for a
// look: in SETTING (mode 2) and SETTING PRO with the service pages (mode 4),
// in bar and PSI, in German, and in Modify mode; then the tools page, the
// port dialog and the EEPROM map pages. What the renders must show beyond
// the look is checked here: every caption translated, no caption wider
// than its room.
#include "gui/app/port_dialog.h"
#include "gui/controls/colour_label.h"
#include "memory_harness.h"

namespace vrx4::testing {
namespace {

struct PageShot {
  int nav;
  const char* name;
};
constexpr PageShot kPages[] = {{view_id::kControl, "control"}, {view_id::kAuxin, "auxin"},
                               {view_id::kUout, "uout"},       {view_id::kIout, "iout"},
                               {view_id::kAlarm, "alarm"},     {view_id::kPid, "pid"}};

class PageRenders : public PagesTest {
 protected:
  void renderAll(const std::string& suffix) {
    for (const PageShot& p : kPages) {
      CEditPage* page = show(p.nav);
      ASSERT_NE(page, nullptr) << p.name;
      // A live update or two in the present mode and unit.
      waitUntil([] { return false; }, 300);
      savePng(page, std::string("vrx4-page-") + p.name + "-" + suffix + ".png");
      expectTextsFit(page, p.name);
    }
  }
};

TEST_F(PageRenders, SettingAndServiceModesInBarAndPsiAndGerman) {
  startIn(2);
  ASSERT_TRUE(waitUntil([&] { return text(g_pCtrlPage, 1140) != QStringLiteral("0") && !text(g_pCtrlPage, 1140).isEmpty(); }));
  renderAll("m2-bar");
  viewControl<CColourLabel>(view_id::kPsi)->clicked();
  renderAll("m2-psi");

  enterMode(4);
  viewControl<CColourLabel>(view_id::kBar)->clicked();
  renderAll("m4-bar");
  viewControl<CColourLabel>(view_id::kPsi)->clicked();
  renderAll("m4-psi");

  viewControl<CColourLabel>(view_id::kBar)->clicked();
  viewControl<CColourLabel>(view_id::kDeutsch)->clicked();
  renderAll("m4-bar-de");
  // Every caption of the pages is the German text, none the template's.
  CEditPage* auxin = show(view_id::kAuxin);
  EXPECT_EQ(control<QLabel>(auxin, 1190)->text().toStdString(), "AKTUELLE EINGÄNGE");
  EXPECT_EQ(button(auxin, 1183)->text().toStdString(), "Ändern");
  CEditPage* alarm = show(view_id::kAlarm);
  EXPECT_EQ(control<QLabel>(alarm, 1145)->text().toStdString(), "ZEITGRENZEN");
  EXPECT_EQ(control<QLabel>(alarm, 1217)->text().toStdString(), "Verzögerung EIN");

  // (The alarm page in kPa and MPa: layout_render_test.)

  // Modify mode: white fields, Save and Cancel.
  click(auxin = show(view_id::kAuxin), 1183);
  savePng(auxin, "vrx4-page-auxin-m4-bar-de-modify.png");
  click(alarm = show(view_id::kAlarm), 1222);
  savePng(alarm, "vrx4-page-alarm-m4-bar-de-modify.png");
  // The whole window at the largest size the frame allows, as on a desktop.
  m_app->mainFrame()->showNormal();
  m_app->mainFrame()->resize(m_app->mainFrame()->maximumSize());
  savePng(m_app->mainFrame(), "vrx4-main-window-de.png");
  close();
}

// The tools page (modes 1 and 2, with its information window), the port
// dialog and both EEPROM map pages (mode 4, English and Italian); every
// button and caption has room for its text.
class MemoryRenders : public MemoryTest {
 protected:
  void save(QWidget* w, const std::string& name) {
    savePng(w, name);
    expectTextsFit(w, name, false);
  }
};

TEST_F(MemoryRenders, ToolsInfoPortAndMapPages) {
  startOnSimulator(1);
  click(&view(), view_id::kTools);
  save(g_pToolsPage, "vrx4-tools-m1.png");
  enterMode(2);
  click(&view(), view_id::kTools);
  save(g_pToolsPage, "vrx4-tools-m2.png");
  click(g_pToolsPage, tools_id::kInformation);
  save(g_pToolsPage, "vrx4-tools-info.png");

  CPortDialog dialog(g_pToolsPage, [] {
    return std::vector<SerialPortEntry>{
        {"COM1", "/dev/ttyS0", "Serial port 16550A"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0", "FTDI FT232R USB UART"},
        {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A9X1-if00-port0", "/dev/ttyUSB0", "FTDI FT232R USB UART"}};
  });
  dialog.setTexts(QStringLiteral("Port COMx selection"), QStringLiteral("OK"), QStringLiteral("Cancel"));
  dialog.m_port = "/dev/ttyUSB0";
  dialog.show();
  settle();
  save(&dialog, "vrx4-port-dialog.png");
  dialog.hide();

  enterMode(4);
  for (const char* language : {"en", "it"}) {
    if (std::string(language) == "it") viewControl<CColourLabel>(view_id::kItaliano)->clicked();
    click(&view(), view_id::kCalibration);
    waitIdle();
    save(g_pCalibrationPage, std::string("vrx4-calibration-m4-") + language + ".png");
    click(&view(), view_id::kAfterSales);
    waitIdle();
    settle();
    click(g_pAfterSalesPage, after_sales_id::kOptionModify);
    save(g_pAfterSalesPage, std::string("vrx4-after-sales-m4-") + language + ".png");
    g_pAfterSalesPage->RefreshAsLoaded();
  }
}

}  // namespace
}  // namespace vrx4::testing
