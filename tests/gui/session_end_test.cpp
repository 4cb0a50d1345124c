// The program ended from outside: the real `vrx4` program on the offscreen
// platform is sent SIGTERM, SIGINT or SIGHUP and must save its settings and
// exit cleanly; and the main window destroyed by another X11 client ends
// the program the same way.
#include <QAbstractEventDispatcher>
#include <QWidget>

#include <csignal>
#include <cstdint>
#include <cstring>

#include "../child_process.h"
#include "core/base/profile_file.h"
#include "gui/app/session_end.h"
#include "shell_harness.h"

namespace vrx4::testing {
namespace {

class SessionEndTest : public ShellTest {
 protected:
  // Starts the program on its own settings file.
  std::unique_ptr<ChildProcess> launch(const std::string& program = VRX4_PROGRAM) {
    return std::make_unique<ChildProcess>(program, std::vector<std::string>{"--config", m_settings}, m_dir);
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
    const std::string ini = settingsText();
    EXPECT_NE(ini.find("[Windows_size]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("CX="), std::string::npos) << ini;
    EXPECT_NE(ini.find("port=/nonexistent/vrx4-tty"), std::string::npos) << ini;
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
  EXPECT_GT(ini.getInt("Windows_size", "CX", 0), 400) << ini.text();
  EXPECT_GT(ini.getInt("Windows_size", "CY", 0), 300) << ini.text();
}

// An X11 DestroyNotify event as the xcb platform hands it to the filters.
struct DestroyNotify {
  std::uint8_t responseType = 17;
  std::uint8_t pad = 0;
  std::uint16_t sequence = 1;
  std::uint32_t event = 0;
  std::uint32_t window = 0;
  std::uint8_t rest[20] = {};
};

TEST_F(SessionEndTest, MainWindowDestroyedByAnotherClientEndsTheProgram) {
  startAccepted();
  int ends = 0;
  SessionEnd sessionEnd([&] { ++ends; });
  sessionEnd.watch(m_app->mainFrame());
  const auto id = static_cast<std::uint32_t>(m_app->mainFrame()->winId());
  auto deliver = [](DestroyNotify e) {
    qintptr result = 0;
    QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", &e, &result);
    QApplication::processEvents();
  };

  DestroyNotify other;
  other.event = other.window = id + 1;  // some other window
  deliver(other);
  DestroyNotify configure;
  configure.responseType = 22;  // not a destruction
  configure.event = configure.window = id;
  deliver(configure);
  EXPECT_EQ(ends, 0);
  EXPECT_TRUE(m_app->mainFrame()->isVisible());

  DestroyNotify ours;
  ours.event = ours.window = id;
  deliver(ours);
  EXPECT_EQ(ends, 1);
  EXPECT_FALSE(m_app->mainFrame()->isVisible());
  EXPECT_NE(settingsText().find("CX="), std::string::npos) << settingsText();
  deliver(ours);  // once only
  EXPECT_EQ(ends, 1);
}

}  // namespace
}  // namespace vrx4::testing
