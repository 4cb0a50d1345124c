// Start-up and the settings file as a user meets them: the window size
// across sessions, bad values in the file, missing data files, the port
// message, and the information messages file read once per language.
#include <QScrollArea>

#include "gui/app/gui_notifier.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/indicator_lamp.h"
#include "gui/monitoring/live_page.h"
#include "shell_harness.h"

namespace vrx4::testing {
namespace {

constexpr const char* kPortMessage = "Error .ini, Port COM1 is only used";

class Startup : public ShellTest {
 protected:
  // Starts on a data folder of the test's own.
  void startWithData(const std::string& dataDir) { start("/nonexistent/vrx4-tty", dataDir); }
  // A data folder holding copies of the named files of the build tree.
  std::string dataCopy(std::initializer_list<const char*> files) {
    const std::string dir = m_dir + "/data";
    std::filesystem::create_directories(dir);
    for (const char* f : files) std::filesystem::copy_file(std::string(VRX4_DATA_BUILD_DIR) + "/" + f, dir + "/" + f);
    return dir;
  }
  // The boxes about data files (the link may add its own about the port).
  std::vector<std::string> dataFileBoxes() {
    std::vector<std::string> boxes = m_boxes;
    std::erase_if(boxes, [](const std::string& b) { return b.find("The data file") == std::string::npos; });
    return boxes;
  }
};

TEST_F(Startup, SavedWindowSizeComesBackToTheViewSessionAfterSession) {
  for (QSize saved : {QSize(800, 600), QSize(1024, 600), QSize(900, 700)}) {
    const std::string size = "CX=" + std::to_string(saved.width()) + "\nCY=" + std::to_string(saved.height()) + "\n";
    writeFile(m_settings, "[Agreement]\nState=1\n[Windows_size]\n" + size);
    for (int session = 0; session < 3; ++session) {
      start();
      EXPECT_EQ(m_app->mainFrame()->pos(), QPoint(0, 0));
      EXPECT_EQ(QSize(view().recordedWidth(), view().recordedHeight()), saved) << "session " << session;
      EXPECT_EQ(m_app->mainFrame()->scrollArea()->viewport()->size(), saved);
      if (session == 0 && saved.width() == 800) savePng(m_app->mainFrame(), "vrx4-restored-800x600.png");
      close();
      m_app.reset();
      EXPECT_NE(settingsText().find(size), std::string::npos) << settingsText();
    }
  }
}

TEST_F(Startup, OutOfRangeSettingsStartAsTheDefaults) {
  startAccepted("[Units]\nLanguage=-1\nPressure=9\nEchelleP=7\n[Windows_size]\nCX=-5\nCY=600\n"
                "[Graph]\nNb_aff_max=-2\n");
  EXPECT_EQ(viewControl<QPushButton>(view_id::kHome)->text(), QStringLiteral("HOME"));  // ENGLISH, not blank
  EXPECT_TRUE(m_app->mainFrame()->isMaximized());  // no saved size, not a tiny window
  EXPECT_FALSE(m_app->mainFrame()->windowIcon().availableSizes().isEmpty());  // the program's own icon
  // The keys the program writes anyway carry the defaults; the others stay.
  for (const char* key : {"Language=0\n", "EchelleP=7\n", "Nb_aff_max=-2\n"})
    EXPECT_NE(settingsText().find(key), std::string::npos) << key << settingsText();
  close();
  for (const char* key : {"255", "CX=-5"}) EXPECT_EQ(settingsText().find(key), std::string::npos) << settingsText();
}

TEST_F(Startup, MissingDataFilesAreNamedAtStartAndTheProgramGoesOn) {
  const std::string empty = m_dir + "/nodata";
  std::filesystem::create_directories(empty);
  writeFile(m_settings, "[Agreement]\nState=1\n");
  ::testing::internal::CaptureStderr();
  startWithData(empty);
  const std::string err = ::testing::internal::GetCapturedStderr();
  std::vector<std::string> boxes = dataFileBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  for (const char* file : {"/nodata/Language.ini", "/nodata/Error.ini"}) {
    EXPECT_NE(boxes[0].find(file), std::string::npos) << boxes[0];
    EXPECT_NE(err.find(file), std::string::npos) << err;
  }
  EXPECT_TRUE(g_pModePage->isVisible());  // carries on, with empty labels
  close();

  // Only what is missing is named.
  m_app.reset();
  m_boxes.clear();
  startWithData(dataCopy({"Language.ini"}));
  boxes = dataFileBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].find("Language.ini"), std::string::npos) << boxes[0];
  EXPECT_NE(boxes[0].find("/data/Error.ini"), std::string::npos) << boxes[0];
}

TEST_F(Startup, PortMessageOnlyWhenTheStoredPortIsUsed) {
  // First start with --port on the simulated regulator's line: no box,
  // and the link comes up on that line.
  CSimulatedRegulator regulator;
  ASSERT_TRUE(regulator.start()) << regulator.error();
  start(regulator.portPath());
  EXPECT_TRUE(m_boxes.empty()) << m_boxes.front();
  EXPECT_TRUE(waitUntil([&] { return view().lamp()->GetColour() == colour::kGreen; }, 20000));
  close();
  EXPECT_NE(settingsText().find("port=COM1"), std::string::npos);  // --port is not stored
  m_app.reset();

  // Neither --port nor --simulate: the stored (missing) port is the one
  // used, and the message says so.
  std::filesystem::remove(m_settings);
  m_boxes.clear();
  CVRX4App plain(VRX4_DATA_BUILD_DIR, m_settings, AppOptions{});
  plain.LoadSettings();
  EXPECT_EQ(m_boxes, std::vector<std::string>{kPortMessage});
  EXPECT_EQ(plain.linkPort(), "COM1");
}

TEST_F(Startup, InformationMessagesFileReadOncePerLanguageAndOnChange) {
  const std::string data = dataCopy({"Language.ini", "Error.ini"});
  writeFile(m_settings, "[Agreement]\nState=1\n");
  startWithData(data);
  const int atStart = m_app->errorMessages().reads();
  for (int i = 0; i < 50; ++i) QCoreApplication::postEvent(&view(), new LinkEvent(msg::kInformation, 0, 0));
  settle();
  EXPECT_EQ(m_app->errorMessages().reads(), atStart);

  viewControl<CColourLabel>(view_id::kDeutsch)->clicked();
  settle();
  EXPECT_EQ(m_app->errorMessages().reads(), atStart + 1);

  // Changed on disk: read again at the next information frame.
  writeFile(data + "/Error.ini", "[DEUTSCH]\n0=Neu geschrieben\n");
  QCoreApplication::postEvent(&view(), new LinkEvent(msg::kInformation, 0, 0));
  settle();
  const QString messages = g_pLivePage->controlText(live_id::kMessages);
  EXPECT_TRUE(messages.startsWith(QStringLiteral("Neu geschrieben\n"))) << messages.toStdString();
  EXPECT_EQ(m_app->errorMessages().reads(), atStart + 2);
}

}  // namespace
}  // namespace vrx4::testing
