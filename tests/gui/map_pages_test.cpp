// The EEPROM map pages on the simulated regulator and in file mode: an
// edited field list or dump reaches the regulator and comes back
// confirmed; a text out of its layout, or a file with no line of the
// area, writes nothing.
#include <QKeyEvent>

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
  std::size_t transferBoxes() {
    return static_cast<std::size_t>(std::count_if(m_boxes.begin(), m_boxes.end(), [](const std::string& b) {
      return b.starts_with("Transfer complete");
    }));
  }
};

TEST_F(MapPages, CalibrationWritesAnEditedFieldAndRefusesWhatIsOutOfLayout) {
  using namespace calibration_id;
  startOnSimulator(4);
  click(&view(), view_id::kCalibration);
  CMapEdit* base = mapEdit(g_pCalibrationPage, kBaseList);
  const Image before = deviceImage(Area::Base);
  EXPECT_EQ(base->crLfText(), eeprom_map::fieldList(Area::Base, before));

  const QString kphg = fieldLine(Area::Base, "KPHG");
  replaceText(base, kphg, kphg.left(22) + QStringLiteral("7F"));
  click(g_pCalibrationPage, kBaseModify);
  EXPECT_FALSE(enabled(g_pCalibrationPage, kBaseExporter));  // until the write has ended
  ASSERT_TRUE(waitEnabled(g_pCalibrationPage, kBaseModify));
  Image after = deviceImage(Area::Base);
  EXPECT_EQ(after[0x2B], 0x7F);
  after[0x2B] = before[0x2B];
  EXPECT_EQ(after, before);
  EXPECT_TRUE(base->toPlainText().contains(kphg.left(22) + QStringLiteral("7F")));  // confirmed

  // A deleted line, or a value that is not hexadecimal: nothing written,
  // the caret at the line at fault.
  clearLine();
  const std::size_t boxes = m_boxes.size();
  replaceText(base, fieldLine(Area::Base, "SN") + QStringLiteral("\n"), QString());
  click(g_pCalibrationPage, kBaseModify);
  g_pCalibrationPage->UpdateData(true);
  replaceText(base, fieldLine(Area::Base, "KPLOW"), fieldLine(Area::Base, "KPLOW").left(22) + QStringLiteral("7G"));
  click(g_pCalibrationPage, kBaseModify);
  EXPECT_EQ(base->textCursor().blockNumber(), 12);
  ASSERT_EQ(m_boxes.size(), boxes + 2);
  EXPECT_EQ(m_boxes[boxes], "TRAME is not valid");
  waitUntil([] { return false; }, 200);
  EXPECT_TRUE(writesOnTheLine().empty());

  // Exporter: an OPTION file given to the BASE Exporter has no BASE line.
  const Image option = deviceImage(Area::Option);
  writeFile(path("option.txt"), config_file::optionBlock(option));
  m_files.push_back(path("option.txt"));
  click(g_pCalibrationPage, kBaseExporter);
  EXPECT_TRUE(m_boxes.back().starts_with("TRAME is not valid\n")) << m_boxes.back();
  EXPECT_TRUE(writesOnTheLine().empty());
  // Importer then Exporter of an edited BASE file: the file's bytes, the
  // backup copy included in this mode.
  m_files.push_back(path("base.txt"));
  click(g_pCalibrationPage, kBaseImporter);
  EXPECT_EQ(readFile(path("base.txt")), config_file::baseBlock(deviceImage(Area::Base)));
  Image edited = deviceImage(Area::Base);
  edited[0x2C] ^= 0x01;
  edited[0x10] ^= 0x01;
  writeFile(path("base.txt"), config_file::baseBlock(edited));
  m_files.push_back(path("base.txt"));
  click(g_pCalibrationPage, kBaseExporter);
  ASSERT_TRUE(waitEnabled(g_pCalibrationPage, kBaseModify));
  after = deviceImage(Area::Base);
  EXPECT_TRUE(std::equal(after.begin(), after.begin() + 0x70, edited.begin()));
}

TEST_F(MapPages, AfterSalesDumpIsTypedInUpperCaseCheckedAndRestored) {
  using namespace after_sales_id;
  startOnSimulator(4);
  click(&view(), view_id::kAfterSales);
  ASSERT_TRUE(waitEnabled(g_pAfterSalesPage, kBaseModify));
  CMapEdit* dump = mapEdit(g_pAfterSalesPage, kBaseDump);
  EXPECT_EQ(dump->crLfText(), eeprom_map::dumpText(Area::Base, deviceImage(Area::Base)));
  EXPECT_TRUE(dump->isReadOnly());
  EXPECT_FALSE(shown(g_pAfterSalesPage, kBaseSave));

  click(g_pAfterSalesPage, kBaseModify);
  EXPECT_FALSE(dump->isReadOnly());
  EXPECT_EQ(dump->textColour(), colour::kRed);
  EXPECT_TRUE(shown(g_pAfterSalesPage, kBaseSave) && !shown(g_pAfterSalesPage, kBaseModify));
  // Two lower-case digits typed over the first byte come out upper case.
  QTextCursor c = dump->textCursor();
  c.setPosition(0);
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
  EXPECT_TRUE(g_pAfterSalesPage->editing(Area::Base) && !dump->isReadOnly());
  dump->setPlainText(text);
  click(g_pAfterSalesPage, kBaseSave);
  EXPECT_TRUE(dump->isReadOnly() && shown(g_pAfterSalesPage, kBaseModify));
  ASSERT_TRUE(waitEnabled(g_pAfterSalesPage, kBaseModify));
  EXPECT_EQ(deviceImage(Area::Base)[0], 0xAB);
  EXPECT_EQ(dump->textColour(), colour::kBlack);

  // OPTION Restore: 0x00..0x2F from the backup copy, red until written
  // (a setting the regulator holds differently goes back too).
  withDevice([](sim::SimDevice& d) {
    Image im = d.image(Area::Option);
    im[0x05] ^= 0xFF;
    d.setImage(Area::Option, im);
  });
  const std::size_t done = transferBoxes();
  click(g_pAfterSalesPage, kOptionRestore);
  EXPECT_EQ(mapEdit(g_pAfterSalesPage, kOptionDump)->textColour(), colour::kRed);
  EXPECT_EQ(state().g_xferOp.load(), op::kWriteOption);
  ASSERT_TRUE(waitEnabled(g_pAfterSalesPage, kOptionRestore));
  const Image option = deviceImage(Area::Option);
  EXPECT_TRUE(std::equal(option.begin(), option.begin() + 0x30, option.begin() + 0x30));
  EXPECT_EQ(mapEdit(g_pAfterSalesPage, kOptionDump)->textColour(), colour::kBlack);
  EXPECT_EQ(transferBoxes(), done + 1);
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
  EXPECT_EQ(device[0x70], 0xAB);
  EXPECT_EQ(device[0x71], 0xCD);
  EXPECT_EQ(device[0x72], 0xEF);
  EXPECT_FALSE(state().requestPending());
  EXPECT_TRUE(enabled(g_pCalibrationPage, calibration_id::kOptionModify));
  EXPECT_TRUE(g_pToolsPage->unsavedChanges());
}

}  // namespace
}  // namespace vrx4::testing
