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
  CMapEdit* mapEdit(CPage* page, int id) { return control<CMapEdit>(page, id); }
  bool waitEnabled(CPage* page, int id) {
    return waitUntil([&] { return !state().requestPending() && enabled(page, id); }, 30000);
  }
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
  const std::string damaged = "0000011\r\n00010ZZ\r\n1000033\r\n", binary("\x7F" "ELF\x02\x01\x01\0\0\0", 10),
                    split = config_file::optionBlock(Image{}) + "\r\n" + config_file::baseBlock(Image{});
  for (const std::string& text : {damaged, binary, split}) {
    writeFile(path("bad.txt"), text);
    tools(kOpen, path("bad.txt"));
    EXPECT_TRUE(m_boxes.back().starts_with("TRAME is not valid\n" + path("bad.txt"))) << m_boxes.back();
    EXPECT_EQ(state().g_fileMode.load(), 0);
    EXPECT_FALSE(enabled(g_pToolsPage, kSave) || enabled(g_pToolsPage, kSaveAs) || enabled(g_pToolsPage, kClose));
    g_pToolsPage->OnSave();
    EXPECT_EQ(readFile(path("bad.txt")), text);
  }

  // In file mode with unsaved work, an Open that fails (after the work was
  // to be discarded) keeps the file and the work.
  Image base{};
  base[0x2B] = 0x11;
  writeFile(path("good.txt"), config_file::wholeConfiguration(Image{}, base));
  tools(kOpen, path("good.txt"));
  state().withImages([](Images& im) { im.g_baseDevice[0x2B] = 0x7F; });
  m_answer = UnsavedAnswer::Discard;
  m_files.push_back(path("bad.txt"));
  g_pToolsPage->OnOpen();
  EXPECT_EQ(state().configFilePath(), path("good.txt"));
  EXPECT_TRUE(state().g_fileMode.load() == 1 && g_pToolsPage->unsavedChanges());
  base[0x2B] = 0x7F;
  tools(kSave);
  EXPECT_EQ(readFile(path("good.txt")), config_file::wholeConfiguration(Image{}, base));
  EXPECT_EQ(readFile(path("bad.txt")), split);

  // New on a file that exists: Save and the question's Save go through the
  // save dialog (cancelled here), so the file is never replaced unasked.
  tools(kNew, path("bad.txt"));
  const std::size_t dialogs = m_dialogs.size();
  tools(kSave);
  m_answer = UnsavedAnswer::Save;
  state().withImages([](Images& im) { im.g_baseDevice[0] = 1; });
  tools(kClose);
  EXPECT_EQ(std::vector<FileDialogKind>(m_dialogs.begin() + static_cast<std::ptrdiff_t>(dialogs), m_dialogs.end()),
            (std::vector<FileDialogKind>{FileDialogKind::Save, FileDialogKind::Save}));
  EXPECT_EQ(state().g_fileMode.load(), 1);
  EXPECT_EQ(readFile(path("bad.txt")), split);
  tools(kSave, path("fresh.txt"));
  EXPECT_EQ(state().g_fileMode.load(), 0);
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
  click(g_pAfterSalesPage, kBaseModify);
  Image typed = before;
  typed[0x2B] = 0x7F;
  dump->setCrLfText(eeprom_map::dumpText(Area::Base, typed));
  saveControl("9");
  ASSERT_TRUE(waitIdle());
  const Image control = deviceImage(Area::Base);
  ASSERT_NE(controlBytes(control), controlBytes(before));
  click(&view(), view_id::kAfterSales);
  ASSERT_TRUE(waitEnabled(g_pAfterSalesPage, kBaseSave));
  ASSERT_TRUE(g_pAfterSalesPage->editing(Area::Base));
  click(g_pAfterSalesPage, kBaseSave);
  ASSERT_TRUE(waitEnabled(g_pAfterSalesPage, kBaseModify));
  Image after = deviceImage(Area::Base);
  EXPECT_EQ(after[0x2B], 0x7F);
  EXPECT_EQ(controlBytes(after), controlBytes(control));

  // The user's change meets the other page's change of the same value:
  // nothing is written, and the dump shows the device's value there.
  click(g_pAfterSalesPage, kBaseModify);
  typed = after;
  typed[0x02] ^= 0x01;  // V_TO_B_A
  typed[0x2C] = 0x33;   // KPLOW
  dump->setCrLfText(eeprom_map::dumpText(Area::Base, typed));
  saveControl("8");
  ASSERT_TRUE(waitIdle());
  click(&view(), view_id::kAfterSales);
  ASSERT_TRUE(waitEnabled(g_pAfterSalesPage, kBaseSave));
  clearLine();
  click(g_pAfterSalesPage, kBaseSave);
  EXPECT_TRUE(m_boxes.back().starts_with("While you were editing, V_TO_B_A changed")) << m_boxes.back();
  EXPECT_TRUE(writesOnTheLine().empty());
  after = deviceImage(Area::Base);
  EXPECT_TRUE(g_pAfterSalesPage->editing(Area::Base));
  typed = after;
  typed[0x2C] = 0x33;
  EXPECT_EQ(dump->crLfText(), eeprom_map::dumpText(Area::Base, typed));

  // The Calibration list: KPHG typed, then a CONTROL write that the engine
  // ends before the view has refreshed the list, and Modify at that moment.
  saveControl("7");
  ASSERT_TRUE(waitIdle());
  click(&view(), view_id::kCalibration);
  CMapEdit* list = mapEdit(g_pCalibrationPage, calibration_id::kBaseList);
  const QString kphg = QString::fromStdString(eeprom_map::fieldLine(*findField(Area::Base, "KPHG"), deviceImage(Area::Base)));
  CEditPage* ctrl = show(view_id::kControl);
  click(ctrl, 1147);
  type(ctrl, 1133, "6");
  click(&view(), view_id::kCalibration);
  list->setPlainText(list->toPlainText().replace(kphg, kphg.left(22) + QStringLiteral("5A")));
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
