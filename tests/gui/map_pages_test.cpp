// The EEPROM map pages on the simulated regulator and in file mode: an
// edited field list or dump reaches the regulator and comes back
// confirmed; a text out of its layout, or a file with no line of the
// area, writes nothing. Saves that must not overwrite newer or unread
// data: Open of a file not read whole, and map edits older than the
// device image.
#include <QKeyEvent>
#include <chrono>
#include <thread>

#include "core/memory/config_file.h"
#include "core/memory/eeprom_map.h"
#include "memory_harness.h"

namespace vrx4::testing {
namespace {

class MapPages : public MemoryTest {
 protected:
  void replaceText(CMapEdit* e, const QString& from, const QString& to) {
    QString t = e->toPlainText();
    ASSERT_TRUE(t.contains(from)) << from.toStdString();
    e->setPlainText(t.replace(from, to));
  }
  QString fieldLine(Area a, const char* name) {
    return QString::fromStdString(eeprom_map::fieldLine(*findField(a, name), deviceImage(a)));
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

TEST_F(MapPages, CalibrationAndAfterSalesWriteWhatIsEditedAndRefuseWhatIsOutOfLayout) {
  startOnSimulator(4);
  click(&view(), view_id::kCalibration);
  CMapEdit* base = mapEdit(g_pCalibrationPage, calibration_id::kBaseList);
  EXPECT_EQ(base->crLfText(), eeprom_map::fieldList(Area::Base, deviceImage(Area::Base)));

  // A value that is not hexadecimal: nothing written, the caret at the
  // line at fault. (A confirmed edit: the stale-edit test below.)
  clearLine();
  const std::size_t boxes = m_boxes.size();
  replaceText(base, fieldLine(Area::Base, "KPLOW"), fieldLine(Area::Base, "KPLOW").left(22) + QStringLiteral("7G"));
  click(g_pCalibrationPage, calibration_id::kBaseModify);
  EXPECT_EQ(base->textCursor().blockNumber(), 12);
  ASSERT_EQ(m_boxes.size(), boxes + 1);
  EXPECT_EQ(m_boxes[boxes], "TRAME is not valid");
  waitUntil([] { return false; }, 200);
  EXPECT_TRUE(writesOnTheLine().empty());

  // Exporter: an OPTION file given to the BASE Exporter has no BASE line.
  writeFile(path("option.txt"), config_file::optionBlock(deviceImage(Area::Option)));
  m_files.push_back(path("option.txt"));
  click(g_pCalibrationPage, calibration_id::kBaseExporter);
  EXPECT_TRUE(m_boxes.back().starts_with("TRAME is not valid\n")) << m_boxes.back();
  EXPECT_TRUE(writesOnTheLine().empty());
  // Importer then Exporter of an edited BASE file: the file's bytes, the
  // backup copy included in this mode.
  m_files.push_back(path("base.txt"));
  click(g_pCalibrationPage, calibration_id::kBaseImporter);
  EXPECT_EQ(readFile(path("base.txt")), config_file::baseBlock(deviceImage(Area::Base)));
  Image edited = deviceImage(Area::Base);
  edited[0x2C] ^= 0x01;
  edited[0x10] ^= 0x01;
  writeFile(path("base.txt"), config_file::baseBlock(edited));
  m_files.push_back(path("base.txt"));
  click(g_pCalibrationPage, calibration_id::kBaseExporter);
  ASSERT_TRUE(waitEnabled(g_pCalibrationPage, calibration_id::kBaseModify));
  const Image after = deviceImage(Area::Base);
  EXPECT_TRUE(std::equal(after.begin(), after.begin() + 0x70, edited.begin()));

  // The After-sales dump: typed in upper case, checked and restored.
  using namespace after_sales_id;
  click(&view(), view_id::kAfterSales);
  ASSERT_TRUE(waitEnabled(g_pAfterSalesPage, kBaseModify));
  CMapEdit* dump = mapEdit(g_pAfterSalesPage, kBaseDump);
  EXPECT_EQ(dump->crLfText(), eeprom_map::dumpText(Area::Base, deviceImage(Area::Base)));
  EXPECT_TRUE(dump->isReadOnly());
  click(g_pAfterSalesPage, kBaseModify);
  EXPECT_TRUE(!dump->isReadOnly() && dump->textColour() == colour::kRed);
  // Two lower-case digits typed over the first byte come out upper case.
  QTextCursor c(dump->document());
  c.setPosition(2, QTextCursor::KeepAnchor);
  dump->setTextCursor(c);
  for (const char* key : {"a", "b"}) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A + (key[0] - 'a'), Qt::NoModifier, QString::fromLatin1(key));
    QApplication::sendEvent(dump, &press);
  }
  EXPECT_TRUE(dump->toPlainText().startsWith(QStringLiteral("AB ")));
  // A missing space is refused; the dump stays editable.
  QString text = dump->toPlainText();
  dump->setPlainText(QString(text).remove(5, 1));
  clearLine();
  click(g_pAfterSalesPage, kBaseSave);
  EXPECT_EQ(m_boxes.back(), "TRAME is not valid");
  EXPECT_TRUE(g_pAfterSalesPage->editing(Area::Base) && !dump->isReadOnly() && writesOnTheLine().empty());
  dump->setPlainText(text);
  click(g_pAfterSalesPage, kBaseSave);
  ASSERT_TRUE(waitEnabled(g_pAfterSalesPage, kBaseModify));
  EXPECT_TRUE(deviceImage(Area::Base)[0] == 0xAB && dump->textColour() == colour::kBlack);

  // OPTION Restore: 0x00..0x2F from the backup copy, red until written
  // (a setting the regulator holds differently goes back too).
  withDevice([](sim::SimDevice& d) { Image im = d.image(Area::Option); im[0x05] ^= 0xFF; d.setImage(Area::Option, im); });
  const std::size_t done = m_boxes.size();
  click(g_pAfterSalesPage, kOptionRestore);
  EXPECT_TRUE(mapEdit(g_pAfterSalesPage, kOptionDump)->textColour() == colour::kRed &&
              state().g_xferOp.load() == op::kWriteOption);
  ASSERT_TRUE(waitEnabled(g_pAfterSalesPage, kOptionRestore));
  const Image restored = deviceImage(Area::Option);
  EXPECT_TRUE(std::equal(restored.begin(), restored.begin() + 0x30, restored.begin() + 0x30));
  EXPECT_EQ(mapEdit(g_pAfterSalesPage, kOptionDump)->textColour(), colour::kBlack);
  ASSERT_EQ(m_boxes.size(), done + 1);
  EXPECT_TRUE(m_boxes.back().starts_with("Transfer complete")) << m_boxes.back();
}

TEST_F(MapPages, InFileModeAnEditIsAppliedAtOnce) {
  startWithoutDevice(4);
  tools(tools_id::kNew, path("new.txt"));
  click(&view(), view_id::kCalibration);
  CMapEdit* option = mapEdit(g_pCalibrationPage, calibration_id::kOptionList);
  replaceText(option, QStringLiteral("ALIM_A              0000"), QStringLiteral("ALIM_A              ABCD"));
  replaceText(option, QStringLiteral("ALIM_B                00"), QStringLiteral("ALIM_B                EF"));
  click(g_pCalibrationPage, calibration_id::kOptionModify);
  const Image device = state().device(Area::Option);
  EXPECT_EQ(std::vector<int>(device.begin() + 0x70, device.begin() + 0x73), (std::vector<int>{0xAB, 0xCD, 0xEF}));
  EXPECT_FALSE(state().requestPending());
  EXPECT_TRUE(g_pToolsPage->unsavedChanges());
}

// What a Save may overwrite: a configuration file that was not read whole
// never becomes file mode's file, and a file New named is replaced only
// through the save dialog; an EEPROM map page's text that is older than
// the device image writes only what the user changed in it.

TEST_F(MapPages, AFileNotReadWholeNeverBecomesTheSaveTarget) {
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

TEST_F(MapPages, AMapPageWritesOnlyWhatTheUserChangedOverNewerBytes) {
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
  EXPECT_TRUE(after[0x2B] == 0x7F && controlBytes(after) == controlBytes(control));

  // The user's change meets the other page's change of the same value:
  // nothing is written, and the dump shows the device's value there.
  edit(0x02, static_cast<std::uint8_t>(after[0x02] ^ 0x01), "8");  // V_TO_B_A
  EXPECT_TRUE(m_boxes.back().starts_with("While you were editing, V_TO_B_A changed")) << m_boxes.back();
  EXPECT_TRUE(writesOnTheLine().empty() && g_pAfterSalesPage->editing(Area::Base));
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
  EXPECT_FALSE(enabled(g_pCalibrationPage, calibration_id::kBaseExporter));  // until the write has ended
  ASSERT_TRUE(waitEnabled(g_pCalibrationPage, calibration_id::kBaseModify));
  after = deviceImage(Area::Base);
  EXPECT_EQ(after[0x2B], 0x5A);
  after[0x2B] = six[0x2B];
  EXPECT_EQ(after, six);
  // The list shows the value as confirmed once the view has the notice.
  EXPECT_TRUE(waitUntil([&] { return list->crLfText() == eeprom_map::fieldList(Area::Base, deviceImage(Area::Base)); }))
      << list->crLfText();
}

}  // namespace
}  // namespace vrx4::testing
