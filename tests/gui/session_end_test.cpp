// The program ended from outside: the real `vrx4` program on the offscreen
// platform is sent SIGTERM, SIGINT or SIGHUP and must save its settings and
// exit cleanly; the main window destroyed by another X11 client ends the
// program the same way; and unsaved file-mode work outlives the signal in a
// recovery copy that the next start offers.
#include <QAbstractEventDispatcher>

#include <cstring>

#include "../child_process.h"
#include "core/memory/config_file.h"
#include "gui/app/kept_work.h"
#include "gui/memory/tools_page.h"
#include "gui/app/session_end.h"
#include "shell_harness.h"

namespace vrx4::testing {
namespace {

class SessionEndTest : public ShellTest {
 protected:
  // Starts the program on its own settings file, with its state folder in
  // the test folder.
  std::unique_ptr<ChildProcess> launch(const std::string& program = VRX4_PROGRAM, std::vector<std::string> args = {}) {
    args.insert(args.begin(), {"--config", m_settings});
    return std::make_unique<ChildProcess>(program, args, m_dir,
                                          std::vector<std::string>{"QT_QPA_PLATFORM=offscreen", "XDG_STATE_HOME=" + m_dir + "/state"});
  }
  // Sends the signal once `ready` holds and checks a clean exit.
  void endWith(ChildProcess& child, int signal, const std::function<bool()>& ready) {
    ASSERT_TRUE(waitUntil(ready, 20000)) << "the program did not start";
    child.signal(signal);
    EXPECT_EQ(child.exitCode(10), 0) << "-1: still running 10 s after the signal; above 128: ended by a signal";
  }
};

TEST_F(SessionEndTest, SignalsCloseTheWindowSaveTheSettingsAndExitCleanly) {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(::strsignal(signal));
    // No window size yet: only the closing window writes one.
    writeFile(m_settings, "[Communication]\nport=/nonexistent/vrx4-tty\n[Agreement]\nState=1\n");
    // The unit and language are written once the window is built.
    endWith(*launch(), signal, [&] { return settingsText().find("Pressure=") != std::string::npos; });
    for (const char* key : {"[Windows_size]", "CX=", "port=/nonexistent/vrx4-tty"})
      EXPECT_NE(settingsText().find(key), std::string::npos) << key << "\n" << settingsText();
  }
}

TEST_F(SessionEndTest, SignalWhileAStartUpBoxWaitsStillSavesTheRealWindowSize) {
  // A copy of the program with no data files beside it: it stops on the
  // box that says so, before its window exists.
  const std::string program = m_dir + "/bin/vrx4";
  std::filesystem::create_directories(m_dir + "/bin");
  std::filesystem::copy_file(VRX4_PROGRAM, program);
  writeFile(m_settings, "[Communication]\nport=/nonexistent/vrx4-tty\n[Agreement]\nState=1\n");
  const auto child = launch(program);
  endWith(*child, SIGTERM, [&] { return child->err().find("Language.ini was not found") != std::string::npos; });
  ProfileFile ini(m_settings);
  // The size of the shown (maximised) window, not of one never laid out.
  EXPECT_TRUE(ini.getInt("Windows_size", "CX", 0) > 400 && ini.getInt("Windows_size", "CY", 0) > 300) << ini.text();
}

// An X11 DestroyNotify event as the xcb platform hands it to the filters.
struct DestroyNotify {
  std::uint8_t responseType = 17, pad = 0;
  std::uint16_t sequence = 1;
  std::uint32_t event = 0, window = 0;
  std::uint8_t rest[20] = {};
};

TEST_F(SessionEndTest, MainWindowDestroyedByAnotherClientEndsTheProgram) {
  startAccepted();
  int ends = 0;
  SessionEnd sessionEnd([&] { ++ends; });
  sessionEnd.watch(m_app->mainFrame());
  const auto id = static_cast<std::uint32_t>(m_app->mainFrame()->winId());
  auto deliver = [](std::uint8_t type, std::uint32_t window) {
    DestroyNotify e;
    e.responseType = type;
    e.event = e.window = window;
    qintptr result = 0;
    QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", &e, &result);
    QApplication::processEvents();
  };
  deliver(17, id + 1);  // some other window
  deliver(22, id);      // not a destruction
  EXPECT_TRUE(ends == 0 && m_app->mainFrame()->isVisible()) << ends;
  deliver(17, id);
  EXPECT_TRUE(ends == 1 && !m_app->mainFrame()->isVisible()) << ends;
  EXPECT_NE(settingsText().find("CX="), std::string::npos) << settingsText();
  deliver(17, id);  // once only
  EXPECT_EQ(ends, 1);
}

std::string configText(const Images& im) { return config_file::wholeConfiguration(im.g_optionDevice, im.g_baseDevice); }

TEST_F(SessionEndTest, UnsavedFileModeWorkOutlivesSigtermAndComesBackUnsaved) {
  Images saved;
  for (int i = 0; i < 0x70; ++i) saved.g_baseDevice[i] = static_cast<std::uint8_t>(255 - i);
  for (int i = 0; i < 0x73; ++i) saved.g_optionDevice[i] = static_cast<std::uint8_t>(i);
  const std::string file = m_dir + "/press7.txt";
  writeFile(file, configText(saved));
  writeFile(m_settings, "[Communication]\nport=/nonexistent/vrx4-tty\n[Agreement]\nState=1\n");
  // The program's own run, the work made once its window is up.
  const auto child = launch(VRX4_KEPT_WORK_PROGRAM, {"--work", file});
  endWith(*child, SIGTERM, [&] { return child->err().find("unsaved work made") != std::string::npos; });

  // One copy in the state folder: the whole configuration with the work,
  // then the line naming the file; the file itself as it was.
  const std::string folder = m_dir + "/state/vrx4/recovery/";
  ASSERT_TRUE(std::filesystem::is_directory(folder)) << "nothing kept\n" << child->err();
  const std::vector<std::filesystem::directory_entry> copies{std::filesystem::directory_iterator(folder), {}};
  ASSERT_EQ(copies.size(), 1u);
  const std::string copy = copies[0].path().string();
  EXPECT_EQ(copy.rfind(folder + "press7.unsaved-", 0), 0u) << copy;
  Images work = saved;
  work.g_baseDevice[0x2B] = 0x7F;
  EXPECT_EQ(readFile(copy), configText(work) + "Unsaved work on: " + file + "\r\n");
  EXPECT_NE(child->err().find("the unsaved changes to " + file + " were kept in " + copy), std::string::npos);
  EXPECT_EQ(readFile(file), configText(saved));

  // The next start offers it: Later keeps it; Open brings the work back in
  // file mode, unsaved, and Save writes it to the file, not to the copy.
  std::vector<std::string> offers;
  auto startAnswering = [&](KeptWorkAnswer answer) {
    m_app.reset();
    AppOptions o;
    o.port = "/nonexistent/vrx4-tty";
    m_app = std::make_unique<CVRX4App>(VRX4_DATA_BUILD_DIR, m_settings, o);
    m_app->keptWork().setFolder(folder);
    m_app->keptWork().setQuestion(
        [&, answer](QWidget*, const QString& text) { return offers.push_back(text.toStdString()), answer; });
    ASSERT_TRUE(m_app->InitInstance());
    settle();
  };
  startAnswering(KeptWorkAnswer::Later);
  ASSERT_EQ(offers.size(), 1u);
  EXPECT_NE(offers[0].find(file + " were not saved; they were kept in " + copy), std::string::npos) << offers[0];
  EXPECT_EQ(state().g_fileMode.load(), 0);
  close();
  startAnswering(KeptWorkAnswer::Open);
  ASSERT_EQ(offers.size(), 2u);
  EXPECT_TRUE(state().g_fileMode.load() == 1 && state().configFilePath() == file) << state().configFilePath();
  EXPECT_EQ(configText(state().snapshot()), configText(work));
  EXPECT_TRUE(g_pToolsPage->unsavedChanges());
  EXPECT_EQ(readFile(file), configText(saved));
  int questions = 0;
  view().memoryHost().ask = [&](QWidget*, const QString&, const MemoryHost&) { return ++questions, UnsavedAnswer::Save; };
  close();
  ASSERT_EQ(questions, 1) << "quitting asks first";
  EXPECT_EQ(readFile(file), configText(work));
  EXPECT_FALSE(std::filesystem::exists(copy)) << "the copy has done its job";
}

}  // namespace
}  // namespace vrx4::testing
