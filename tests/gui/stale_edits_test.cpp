// What a Save may overwrite: a configuration file that was not read whole
// never becomes file mode's file, and a file New named is replaced only
// through the save dialog; an EEPROM map page's text that is older than
// the device image writes only what the user changed in it, on the
// simulated regulator.
#include <chrono>
#include <thread>

#include "core/memory/config_file.h"
#include "core/memory/eeprom_map.h"
#include "memory_harness.h"

namespace vrx4::testing {
namespace {

class StaleEdits : public MemoryTest {
 protected:
  // A CONTROL Save of new corners, as the user makes it on that page.
  void saveControl(const char* high) {
    CEditPage* ctrl = show(view_id::kControl);
    click(ctrl, 1147);
    type(ctrl, 1133, high);
    button(ctrl, 1149)->click();
  }
  // The engine ends a transfer while the view has not yet taken its
  // notice: the page still shows what it showed before.
  bool transferEndsUnnoticed() {
    for (int i = 0; i < 3000 && state().requestPending(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !state().requestPending();
  }
  std::vector<std::uint8_t> controlBytes(const Image& im) { return {im.begin() + 1, im.begin() + 9}; }
};

TEST_F(StaleEdits, AFileNotReadWholeNeverBecomesTheSaveTarget) {
  using namespace tools_id;
  startWithoutDevice(2);
  // A damaged line, a binary file, configuration lines after the empty
  // line that ends the data.
  const std::string split = config_file::optionBlock(Image{}) + "\r\n" + config_file::baseBlock(Image{});
  for (const std::string& text : {std::string("0000011\r\n00010ZZ\r\n"), std::string("\x7F" "ELF\x02\0\0", 7), split}) {
    writeFile(path("bad.txt"), text);
    tools(kOpen, path("bad.txt"));
    EXPECT_TRUE(m_boxes.back().starts_with("TRAME is not valid\n")) << m_boxes.back();
    EXPECT_FALSE(state().g_fileMode.load() == 1 || enabled(g_pToolsPage, kSave));
  }
  // In file mode with unsaved work, a failed Open keeps the file and work.
  writeFile(path("good.txt"), config_file::wholeConfiguration(Image{}, Image{}));
  tools(kOpen, path("good.txt"));
  state().withImages([](Images& im) { im.g_baseDevice[0x2B] = 0x7F; });
  m_answer = UnsavedAnswer::Discard;
  m_files.push_back(path("bad.txt"));
  g_pToolsPage->OnOpen();
  EXPECT_TRUE(state().configFilePath() == path("good.txt") && g_pToolsPage->unsavedChanges());
  // New on a file that exists: Save, and Save in the question, go through
  // the save dialog (cancelled here).
  tools(kSave);
  tools(kNew, path("bad.txt"));
  state().withImages([](Images& im) { im.g_baseDevice[0] = 1; });
  m_answer = UnsavedAnswer::Save;
  tools(kSave);
  tools(kClose);
  EXPECT_EQ(std::count(m_dialogs.begin(), m_dialogs.end(), FileDialogKind::Save), 2);
  EXPECT_EQ(state().g_fileMode.load(), 1);
  EXPECT_EQ(readFile(path("bad.txt")), split);
}

TEST_F(StaleEdits, AMapPageWritesOnlyWhatTheUserChangedOverNewerBytes) {
  using namespace after_sales_id;
  startOnSimulator(4);
  // A BASE dump edited (KPHG), then a CONTROL Save of BASE 1..8 before the
  // dump is saved: the dump still shows the old 1..8.
  click(&view(), view_id::kAfterSales);
  ASSERT_TRUE(waitEnabled(g_pAfterSalesPage, kBaseModify));
  CMapEdit* dump = mapEdit(g_pAfterSalesPage, kBaseDump);
  const Image before = deviceImage(Area::Base);
  // Returns the device image as the dump's Save finds it.
  auto edit = [&](std::size_t at, std::uint8_t value, const char* controlHigh) {
    Image typed = deviceImage(Area::Base);
    typed[at] = value;
    click(g_pAfterSalesPage, kBaseModify);
    dump->setCrLfText(eeprom_map::dumpText(Area::Base, typed));
    saveControl(controlHigh);
    EXPECT_TRUE(waitIdle());
    click(&view(), view_id::kAfterSales);
    EXPECT_TRUE(waitEnabled(g_pAfterSalesPage, kBaseSave));
    const Image found = deviceImage(Area::Base);
    clearLine();
    click(g_pAfterSalesPage, kBaseSave);
    return found;
  };
  const Image control = edit(0x2B, 0x7F, "9");
  ASSERT_NE(controlBytes(control), controlBytes(before));
  ASSERT_TRUE(waitEnabled(g_pAfterSalesPage, kBaseModify));
  Image after = deviceImage(Area::Base);
  EXPECT_EQ(after[0x2B], 0x7F);
  EXPECT_EQ(controlBytes(after), controlBytes(control));

  // The user's change meets the other page's change of the same value:
  // nothing is written, and the dump shows the device's value there.
  edit(0x02, static_cast<std::uint8_t>(after[0x02] ^ 0x01), "8");  // V_TO_B_A
  EXPECT_TRUE(m_boxes.back().starts_with("While you were editing, V_TO_B_A changed")) << m_boxes.back();
  EXPECT_TRUE(writesOnTheLine().empty());
  EXPECT_TRUE(g_pAfterSalesPage->editing(Area::Base));
  EXPECT_EQ(dump->crLfText(), eeprom_map::dumpText(Area::Base, deviceImage(Area::Base)));

  // The Calibration list: KPHG typed, then a CONTROL write that the engine
  // ends before the view has refreshed the list, and Modify at that moment.
  CEditPage* ctrl = show(view_id::kControl);
  click(ctrl, 1147);
  type(ctrl, 1133, "6");
  click(&view(), view_id::kCalibration);
  CMapEdit* list = mapEdit(g_pCalibrationPage, calibration_id::kBaseList);
  list->setCrLfText(eeprom_map::fieldList(Area::Base, [&] {
    Image typed = deviceImage(Area::Base);
    typed[0x2B] = 0x5A;
    return typed;
  }()));
  button(ctrl, 1149)->click();
  ASSERT_TRUE(transferEndsUnnoticed());
  const Image six = deviceImage(Area::Base);
  button(g_pCalibrationPage, calibration_id::kBaseModify)->click();
  ASSERT_TRUE(waitEnabled(g_pCalibrationPage, calibration_id::kBaseModify));
  after = deviceImage(Area::Base);
  EXPECT_EQ(after[0x2B], 0x5A);
  EXPECT_EQ(controlBytes(after), controlBytes(six));
}

}  // namespace
}  // namespace vrx4::testing
