// The tools page (modes 1 and 2, with its information window), the port
// dialog and both EEPROM map pages (mode 4, English and Italian) rendered
// to PNG files in the build folder, for a look. Checked here beyond the
// look: every button and caption has room for its text.
#include "gui/app/port_dialog.h"
#include "gui/controls/colour_label.h"
#include "memory_harness.h"

namespace vrx4::testing {
namespace {

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
