// The tools page: file mode's commands and the question before unsaved
// work goes, saves that fail, the whole configuration to and from the
// simulated regulator, the information window and the port dialog. The
// status bar beside the lamp: the transfer bar follows a write to its end
// and then goes; Import, Reload EEPROM and Save say that they have finished
// in a text that fades, while the write's "Reset VRX" box stays; renders of
// a transfer half way and of a notice. Disabled commands' tooltips.
#include <QDialog>
#include <QHelpEvent>
#include <QToolTip>
#include <set>

#include "core/link/comm_thread.h"
#include "core/memory/config_file.h"
#include "gui/app/gui_notifier.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/indicator_lamp.h"
#include "gui/controls/shown_note.h"
#include "gui/controls/status_notice.h"
#include "gui/controls/transfer_progress_bar.h"
#include "gui/monitoring/live_page.h"
#include "memory_harness.h"

namespace vrx4::testing {
namespace {

using namespace tools_id;
using transfer_progress::Progress;
using transfer_progress::Stage;

Image pattern(std::uint8_t seed) {
  Image im{};
  for (std::size_t i = 0; i < im.size(); ++i) im[i] = static_cast<std::uint8_t>(seed + 7 * i);
  return im;
}

constexpr int kCtrlModify = 1147, kCtrlRestore = 1055, kCtrlUpperY = 1133, kCtrlMeasured = 1140;
constexpr int kLanguages[] = {view_id::kEnglish, view_id::kFrancais, view_id::kDeutsch, view_id::kItaliano};

class ToolsPage : public MemoryTest {
 protected:
  std::string saved(const Images& im) { return config_file::wholeConfiguration(im.g_optionDevice, im.g_baseDevice); }
  CTransferProgressBar& bar() { return *view().progressBar(); }
  CStatusNotice& notice() { return *view().notice(); }
  void post(const Progress& p) {
    QCoreApplication::postEvent(&view(), new LinkEvent(msg::kTransferProgress, transfer_progress::wParamOf(p),
                                                       transfer_progress::lParamOf(p)));
    settle();
  }
  std::string tip(QWidget* page, int id) { return control(page, id)->toolTip().toStdString(); }
  QColor textColour(QWidget* page, int id) { return edit(static_cast<CPage*>(page), id)->palette().color(QPalette::Text); }
  QLabel* note(QWidget* page) { return control<QLabel>(page, common_id::kShownNote); }
  void language(int id) { viewControl<CColourLabel>(id)->clicked(); }
  // The tooltip of `id` in each language: the kept text of `why`, never
  // empty, a different text in each.
  void expectInEveryLanguage(QWidget* page, int id, Kept why) {
    std::set<std::string> texts;
    for (int l : kLanguages) {
      language(l);
      EXPECT_TRUE(!tip(page, id).empty() && tip(page, id) == kept(why)) << id << " in " << l;
      texts.insert(tip(page, id));
    }
    EXPECT_EQ(texts.size(), 4u) << id;
    language(view_id::kEnglish);
  }
};

TEST_F(ToolsPage, FileModeAsksBeforeUnsavedWorkGoesAndAFailedSaveKeepsTheFile) {
  startWithoutDevice(1);
  // VISUALISATION: only the last five rows; the transfer commands wait for
  // the read that no regulator answers.
  EXPECT_TRUE(!shown(g_pToolsPage, kNew) && shown(g_pToolsPage, kAbout));
  EXPECT_FALSE(enabled(g_pToolsPage, kInformation) || enabled(g_pToolsPage, kReload));
  enterMode(2);
  click(&view(), view_id::kTools);
  EXPECT_TRUE(enabled(g_pToolsPage, kNew) && enabled(g_pToolsPage, kOpen));
  EXPECT_FALSE(enabled(g_pToolsPage, kClose) || enabled(g_pToolsPage, kSave) || enabled(g_pToolsPage, kSaveAs));

  // New, then Save: a file of zeros with the line headers; file mode ends
  // and the regulator's images are asked for again.
  tools(kNew, path("new.txt"));
  EXPECT_TRUE(state().g_fileMode.load() == 1 && !std::filesystem::exists(path("new.txt")));  // nothing written yet
  tools(kSave);
  EXPECT_EQ(readFile(path("new.txt")), config_file::wholeConfiguration(Image{}, Image{}));
  EXPECT_TRUE(state().g_fileMode.load() == 0 && !enabled(g_pToolsPage, kClose));
  EXPECT_TRUE(state().requestPending() && state().g_xferOp.load() == op::kReadOption);
  EXPECT_TRUE(m_questions.empty());

  // A file whose backup copy differs from its settings: Restore changes
  // the images at once, starts no transfer, and leaves unsaved work.
  const Images file{.g_baseDevice = pattern(2), .g_optionDevice = pattern(1)};
  writeFile(path("conf.txt"), saved(file));
  tools(kOpen, path("conf.txt"));
  ASSERT_EQ(state().g_fileMode.load(), 1);
  EXPECT_FALSE(state().requestPending());  // the read no regulator answered is dropped
  EXPECT_EQ(saved(state().snapshot()), saved(file));
  tools(kRestore);
  EXPECT_FALSE(state().requestPending());
  const Images restored = state().snapshot();
  EXPECT_TRUE(std::equal(restored.g_optionDevice.begin(), restored.g_optionDevice.begin() + 0x30,
                         file.g_optionDevice.begin() + 0x30));
  EXPECT_TRUE(g_pToolsPage->unsavedChanges());

  // Close: Cancel keeps everything; Discard drops the work, not the file.
  tools(kClose);
  ASSERT_EQ(m_questions.size(), 1u);
  EXPECT_TRUE(m_questions[0].find(path("conf.txt")) != std::string::npos && state().g_fileMode.load() == 1)
      << m_questions[0];
  m_answer = UnsavedAnswer::Discard;
  tools(kClose);
  EXPECT_TRUE(state().g_fileMode.load() == 0 && readFile(path("conf.txt")) == saved(file));

  // Save from the question writes the file, then Close goes on.
  tools(kOpen, path("conf.txt"));
  tools(kRestore);
  m_answer = UnsavedAnswer::Save;
  tools(kClose);
  EXPECT_TRUE(state().g_fileMode.load() == 0 && readFile(path("conf.txt")) == saved(restored));

  // A failed save keeps the file and file mode: a folder chosen as the
  // target, nothing written.
  tools(kOpen, path("conf.txt"));
  state().withImages([](Images& im) { im.g_baseDevice[0x2B] = 0x7E; });
  std::filesystem::create_directory(path("folder"));
  tools(kSaveAs, path("folder"));
  ASSERT_EQ(m_boxes.size(), 1u);
  EXPECT_TRUE(m_boxes[0].starts_with(config_file::kMsgCouldNotOpen) && m_boxes[0].find("was not saved") != std::string::npos)
      << m_boxes[0];
  EXPECT_TRUE(state().g_fileMode.load() == 1 && enabled(g_pToolsPage, kSave));
  // The file's own place taken by a folder: Save fails the same way, and
  // a Close whose question is answered with Save stays open.
  std::filesystem::rename(path("conf.txt"), path("kept.txt"));
  std::filesystem::create_directory(path("conf.txt"));
  tools(kSave);
  tools(kClose);
  EXPECT_TRUE(m_boxes.size() == 3u && state().g_fileMode.load() == 1) << m_boxes.size();
  EXPECT_EQ(readFile(path("kept.txt")), saved(restored));
  // Saved elsewhere, which ends file mode. (A file that cannot be read is
  // refused like the damaged ones of the map pages' test.)
  tools(kSaveAs, path("elsewhere.txt"));

  // Quitting asks too; Cancel keeps the window.
  tools(kOpen, path("new.txt"));
  ASSERT_FALSE(g_pToolsPage->unsavedChanges());
  state().withImages([](Images& im) { im.g_baseDevice[0x2B] = 0x7F; });  // as a page's Save in file mode
  for (UnsavedAnswer answer : {UnsavedAnswer::Cancel, UnsavedAnswer::Discard}) {
    m_answer = answer;
    m_app->mainFrame()->close();
    settle();
    EXPECT_EQ(m_app->mainFrame()->isVisible(), answer == UnsavedAnswer::Cancel);
  }
  EXPECT_EQ(m_questions.size(), 6u);
}

TEST_F(ToolsPage, ExportAndImportOnTheSimulatedRegulatorWithTheStatusBar) {
  startOnSimulator(2);
  click(&view(), view_id::kTools);
  const Images before{.g_baseDevice = deviceImage(Area::Base), .g_optionDevice = deviceImage(Area::Option)};
  Images file = before;
  file.g_optionDevice[0x05] ^= 0xFF;  // an alarm word: taken in mode 2
  file.g_optionDevice[0x40] ^= 0xFF;  // the backup copy: mode 4 only
  file.g_baseDevice[0x2B] = 0x7F;     // KPHG
  file.g_baseDevice[0x25] ^= 0x01;    // SN
  file.g_baseDevice[0x30] ^= 0x01;    // calibration
  writeFile(path("golden.txt"), saved(file));

  // The bar shows the write's steps as they go, never back, and goes when
  // the write ends; the write's own box is still shown.
  std::size_t boxes = m_boxes.size();
  tools(kExport, path("golden.txt"));
  EXPECT_FALSE(enabled(g_pToolsPage, kExport));  // until the write has ended
  std::vector<int> seen;
  bool rendered = false;
  ASSERT_TRUE(waitUntil([&] {
    if (bar().isVisible()) {
      seen.push_back(bar().percent());
      if (!rendered && seen.back() >= 45) {
        rendered = true;
        savePng(m_app->mainFrame(), "transfer_export.png");  // about half way
      }
    }
    return !state().requestPending();
  }, 30000));
  settle();
  EXPECT_FALSE(bar().isVisible());
  ASSERT_GE(seen.size(), 3u);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_TRUE(seen.back() > 50 && seen.back() < 100) << seen.back();
  EXPECT_NE(bar().text().toStdString().find("Writing the VRX: step "), std::string::npos);
  ASSERT_TRUE(waitUntil([&] { return m_boxes.size() > boxes; }, 5000));
  EXPECT_EQ(m_boxes.back(), kept(Kept::TransferDone));
  ASSERT_TRUE(waitEnabled(g_pToolsPage, kExport));
  Image option = deviceImage(Area::Option), base = deviceImage(Area::Base);
  EXPECT_EQ(std::vector<int>({option[0x05], option[0x40], base[0x2B], base[0x25], base[0x30]}),
            std::vector<int>({file.g_optionDevice[0x05], before.g_optionDevice[0x40], 0x7F, before.g_baseDevice[0x25],
                              before.g_baseDevice[0x30]}));

  // The information window shows the regulator's serial number.
  click(g_pToolsPage, kInformation);
  EXPECT_EQ(control<QLabel>(g_pInfoPage, info_id::kSerial)->text().toStdString(),
            whole_config::identity(state().snapshot()).serialNumber);

  // Mode 4 writes the whole file, the backup copy and the identity too.
  enterMode(4);
  click(&view(), view_id::kTools);
  tools(kExport, path("golden.txt"));
  ASSERT_TRUE(waitEnabled(g_pToolsPage, kExport));
  option = deviceImage(Area::Option), base = deviceImage(Area::Base);
  EXPECT_TRUE(std::equal(option.begin(), option.begin() + 0x73, file.g_optionDevice.begin()));
  EXPECT_TRUE(std::equal(base.begin(), base.begin() + 0x70, file.g_baseDevice.begin()));

  // Import from VRX writes what the regulator holds, as vrx4ctl read does;
  // the notice names the file, held, then faded out and gone.
  tools(kImport, path("read.txt"));
  EXPECT_EQ(readFile(path("read.txt")), config_file::wholeConfiguration(option, base));
  EXPECT_TRUE(notice().isVisible() && notice().opacity() == 1.0);
  EXPECT_EQ(notice().text().toStdString(), "Imported into read.txt");
  savePng(m_app->mainFrame(), "status_notice.png");
  double faded = 1;
  ASSERT_TRUE(waitUntil([&] {
    if (notice().isVisible()) faded = std::min(faded, notice().opacity());
    return !notice().isVisible();
  }, CStatusNotice::kHoldMs + CStatusNotice::kFadeMs + 2000));
  EXPECT_LT(faded, 1.0);

  // Reload EEPROM: every page waits for the read, then works again; the
  // notice comes once the read has ended, not when it is asked for.
  click(g_pToolsPage, kReload);
  EXPECT_EQ(state().g_xferOp.load(), op::kReadOption);
  settle();
  EXPECT_FALSE(enabled(g_pToolsPage, kExport) || enabled(g_pCtrlPage, 1147) || notice().isVisible());
  ASSERT_TRUE(waitUntil([&] { return state().g_eepromLoaded.load() == 1 && enabled(g_pToolsPage, kExport); }, 30000));
  EXPECT_TRUE(enabled(g_pCtrlPage, 1147));
  ASSERT_TRUE(waitUntil([&] { return notice().isVisible(); }, 5000));
  EXPECT_EQ(notice().text().toStdString(), "EEPROM reloaded from the regulator");

  // A file that leaves ranges to the regulator says which.
  boxes = m_boxes.size();
  writeFile(path("part.txt"), config_file::optionBlock(option));
  tools(kExport, path("part.txt"));
  ASSERT_GT(m_boxes.size(), boxes);
  EXPECT_NE(m_boxes[boxes].find("does not supply BASE 0x00..0x6F"), std::string::npos) << m_boxes[boxes];
  waitIdle();

  // Save in file mode, in French.
  view().OnLanguage(1);
  m_files.push_back(path("read.txt"));
  g_pToolsPage->OnOpen();  // the button is offered while no regulator answers
  ASSERT_EQ(state().g_fileMode.load(), 1);
  tools(kSaveAs, path("copie.txt"));
  EXPECT_EQ(notice().text().toStdString(), "Enregistré dans copie.txt");
  waitIdle();
}

// The transfer bar's texts as the link's progress reports come in; the
// port dialog.
TEST_F(ToolsPage, ProgressReportsThenThePortDialogListsWhatExistsKeepsUpAndRestartsTheLink) {
  startWithoutDevice(1);
  // No port: the link says so and ends, its last report (the read dropped)
  // in the queue before the test's own.
  ASSERT_TRUE(waitUntil([&] { return view().link()->exited(); }));
  settle();
  EXPECT_FALSE(bar().isVisible());
  post({41, 83, 1800, Stage::Running, true});
  ASSERT_TRUE(bar().isVisible());
  EXPECT_EQ(bar().percent(), 49);
  EXPECT_EQ(bar().text().toStdString(), "Writing the VRX: step 42 of 83, 2 s left");
  savePng(m_app->mainFrame(), "transfer_progress.png");
  post({41, 83, 1800, Stage::Waiting, true});
  EXPECT_EQ(bar().text().toStdString(), "Waiting for the VRX: step 42 of 83");
  view().OnLanguage(2);
  post({20, 45, 700, Stage::Running, false});
  EXPECT_EQ(bar().text().toStdString(), "VRX lesen: Schritt 21 von 45, noch 1 s");
  // Its end, whether finished or dropped, takes the bar away.
  post({45, 45, 0, Stage::Dropped, false});
  EXPECT_FALSE(bar().isVisible());
  view().OnLanguage(0);

  std::vector<SerialPortEntry> ports{{"COM1", "/dev/ttyS0", "Serial port 16550A"},
                                     {"/dev/vrx4-test-usb0", "/dev/vrx4-test-usb0", "FTDI FT232R USB UART"}};
  view().setPortLister([&ports] { return ports; });
  // The high pressure range, chosen first: the port change keeps it.
  onNextModal([](QWidget* w) {
    w->findChild<QComboBox*>(QString::number(range_id::kList))->setCurrentIndex(1);
    w->findChild<QPushButton*>(QStringLiteral("1"))->click();
  });
  click(g_pToolsPage, kRange);
  EXPECT_EQ(m_app->settings().m_nPressureScale, 1);
  onNextModal([&](QWidget* w) {
    auto* list = w->findChild<QComboBox*>(QStringLiteral("1048"));
    // The port of this run is not listed: it shows as typed.
    EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_EQ(list->currentText(), QStringLiteral("/nonexistent/vrx4-tty"));
    // An adapter plugged in while the dialog is open appears.
    ports.push_back({"/dev/vrx4-test-acm0", "/dev/vrx4-test-acm0", "USB device 2341:0043"});
    EXPECT_TRUE(waitUntil([&] { return list->count() == 3; }, 3000));
    EXPECT_EQ(list->currentText(), QStringLiteral("/nonexistent/vrx4-tty"));  // what was shown stays
    EXPECT_EQ(list->itemText(2).toStdString(), "USB device 2341:0043 \u2014 /dev/vrx4-test-acm0");
    list->setCurrentIndex(1);
    w->findChild<QPushButton*>(QStringLiteral("1"))->click();
  });
  click(g_pToolsPage, kPort);
  EXPECT_NE(settingsText().find("port=/dev/vrx4-test-usb0"), std::string::npos) << settingsText();
  // The link restarts on it and says why it cannot open it.
  ASSERT_TRUE(waitUntil([&] {
    return !m_boxes.empty() && m_boxes.back().starts_with("Error Port /dev/vrx4-test-usb0\n");
  }));
  EXPECT_EQ(view().link()->portName(), "/dev/vrx4-test-usb0");
  EXPECT_TRUE(m_app->settings().m_nPressureScale == 1 && !m_app->settings().m_bAutoScale);

  // Cancel after choosing another entry: the port stays, the settings are
  // saved and the link restarts all the same.
  std::filesystem::remove(m_settings);
  onNextModal([&](QWidget* w) {
    auto* list = w->findChild<QComboBox*>(QStringLiteral("1048"));
    EXPECT_EQ(list->currentIndex(), 1);
    list->setCurrentIndex(0);
    w->findChild<QPushButton*>(QStringLiteral("2"))->click();
  });
  const std::size_t boxes = m_boxes.size();
  click(g_pToolsPage, kPort);
  EXPECT_NE(settingsText().find("port=/dev/vrx4-test-usb0"), std::string::npos);
  EXPECT_TRUE(waitUntil([&] { return m_boxes.size() > boxes; }));  // the link tried the port again
}

// On the simulated regulator: a disabled command's tooltip says what would
// enable it, in each of the four languages, and changes with the reason
// (a transfer, the identity check after a reconnection, a silent
// regulator); while the lamp is red the pages show their values as last
// read. Renders of the pages with the lamp red go to the build folder.
TEST_F(ToolsPage, TooltipsSayWhatEnablesACommandAndSilentValuesShowAsLastRead) {
  startOnSimulator(2);
  CEditPage* ctrl = show(view_id::kControl);
  ASSERT_TRUE(button(ctrl, kCtrlModify)->isEnabled());

  // Restore writes: Modify and Restore wait for the transfer.
  click(ctrl, kCtrlRestore);
  EXPECT_FALSE(button(ctrl, kCtrlModify)->isEnabled());
  EXPECT_EQ(tip(ctrl, kCtrlModify), kept(Kept::WhyTransferRunning));
  ASSERT_TRUE(waitForWrite(ctrl, kCtrlModify));
  EXPECT_EQ(tip(ctrl, kCtrlModify), "");

  // With a regulator answering, file mode's New and Open are grey, and
  // say why; Close, Save and Save as... want a file.
  click(&view(), view_id::kTools);
  ASSERT_FALSE(enabled(g_pToolsPage, kNew));
  expectInEveryLanguage(g_pToolsPage, kNew, Kept::WhyRegulatorAnswers);
  EXPECT_EQ(tip(g_pToolsPage, kOpen), kept(Kept::WhyRegulatorAnswers));
  EXPECT_EQ(tip(g_pToolsPage, kSave), kept(Kept::WhyNoFileOpen));
  // The pointer resting on the grey button shows it.
  QWidget* save = control(g_pToolsPage, kSave);
  QHelpEvent rest(QEvent::ToolTip, QPoint(5, 5), save->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(save, &rest);
  EXPECT_TRUE(QToolTip::isVisible() && QToolTip::text().toStdString() == kept(Kept::WhyNoFileOpen));
  QToolTip::hideText();

  // Reconnexion: the pages wait for the regulator's serial number.
  click(g_pToolsPage, kReconnect);
  EXPECT_TRUE(!enabled(ctrl, kCtrlModify) && tip(ctrl, kCtrlModify) == kept(Kept::WhyIdentityCheck));
  EXPECT_EQ(tip(g_pToolsPage, kExport), kept(Kept::WhyIdentityCheck));
  // Until then the images are as last read.
  EXPECT_TRUE(note(ctrl)->isVisibleTo(ctrl) && note(ctrl)->text().toStdString() == kept(Kept::ShownUnconfirmed));
  EXPECT_EQ(textColour(ctrl, kCtrlUpperY), toQColor(kLastReadText));
  ASSERT_TRUE(waitUntil([&] { return enabled(ctrl, kCtrlModify) && enabled(g_pToolsPage, kExport); }, 20000));

  // The regulator falls silent: its values are last read, the commands
  // that need it say so, and New and Open are offered.
  withDevice([](sim::SimDevice& d) { d.faults().silent = true; });
  ASSERT_TRUE(waitUntil([&] { return view().lamp()->GetColour() == colour::kRed; }, 5000));
  EXPECT_TRUE(enabled(g_pToolsPage, kNew) && tip(g_pToolsPage, kNew).empty());
  EXPECT_EQ(tip(g_pToolsPage, kExport), kept(Kept::WhyRegulatorSilent));
  ctrl = show(view_id::kControl);
  EXPECT_FALSE(enabled(ctrl, kCtrlModify));
  expectInEveryLanguage(ctrl, kCtrlModify, Kept::WhyRegulatorSilent);
  ASSERT_TRUE(note(ctrl)->isVisible());
  EXPECT_EQ(note(ctrl)->text().toStdString(), kept(Kept::ShownLastRead));
  for (auto [page, id] : {std::pair<QWidget*, int>{ctrl, kCtrlUpperY}, {ctrl, kCtrlMeasured}, {g_pLivePage, live_id::kP2}})
    EXPECT_EQ(textColour(page, id), toQColor(kLastReadText)) << id;
  // The map pages' texts of the images too.
  for (auto [page, id] : {std::pair<QWidget*, int>{g_pCalibrationPage, calibration_id::kBaseList},
                          {g_pAfterSalesPage, after_sales_id::kBaseDump}}) {
    EXPECT_EQ(control<CMapEdit>(page, id)->textColour(), kLastReadText) << id;
    EXPECT_EQ(control(page, id)->toolTip().toStdString(), kept(Kept::ShownLastRead)) << id;
  }
  savePng(ctrl, "vrx4-lastread-control-m2.png");

  // Back: the identity check confirms the images, which are current again.
  withDevice([](sim::SimDevice& d) { d.faults().silent = false; });
  ctrl = show(view_id::kControl);
  ASSERT_TRUE(waitUntil([&] { return enabled(ctrl, kCtrlModify); }, 20000));
  EXPECT_TRUE(tip(ctrl, kCtrlModify).empty() && !note(ctrl)->isVisible());
  EXPECT_EQ(textColour(ctrl, kCtrlUpperY), QColor(Qt::black));
  auto* list = control<CMapEdit>(g_pCalibrationPage, calibration_id::kBaseList);
  EXPECT_TRUE(list->textColour() == colour::kBlack && list->toolTip().isEmpty());
  close();
}

}  // namespace
}  // namespace vrx4::testing
