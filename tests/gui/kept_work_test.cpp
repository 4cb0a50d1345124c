// Unsaved file-mode work when a signal ends the program: the program is
// sent SIGTERM with work it could not ask about, keeps it in a recovery
// copy without touching the file, and the next start offers the copy and
// brings the work back in file mode, unsaved, to be saved to the file.
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "core/memory/config_file.h"
#include "gui/app/kept_work.h"
#include "gui/memory/tools_page.h"
#include "shell_harness.h"

namespace vrx4::testing {
namespace {

class KeptWorkTest : public ShellTest {
 protected:
  // Starts the program with unsaved work on `file`; stdout and stderr into
  // files of the test folder.
  pid_t launchWithWork(const std::string& file) {
    const std::string out = m_dir + "/stdout.txt", err = m_dir + "/stderr.txt", stateDir = m_dir + "/state";
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::setenv("XDG_STATE_HOME", stateDir.c_str(), 1);
      if (std::freopen(out.c_str(), "w", stdout) == nullptr || std::freopen(err.c_str(), "w", stderr) == nullptr)
        ::_exit(126);
      ::execl(VRX4_KEPT_WORK_PROGRAM, "vrx4", "--config", m_settings.c_str(), "--work", file.c_str(),
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    return pid;
  }
  // The child's wait status, or -1 (and the child killed) after ms.
  static int waitForExit(pid_t pid, int ms) {
    int status = -1;
    const bool ended = waitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, ms);
    if (ended) return status;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return -1;
  }
  // A second start on the same settings, the copies offered from `folder`
  // and the question answered with `answer`.
  void startAnswering(const std::string& folder, KeptWorkAnswer answer) {
    m_app.reset();
    AppOptions o;
    o.port = "/nonexistent/vrx4-tty";
    m_app = std::make_unique<CVRX4App>(VRX4_DATA_BUILD_DIR, m_settings, o);
    m_app->keptWork().setFolder(folder);
    m_app->keptWork().setQuestion([this, answer](QWidget*, const QString& text) {
      m_offers.push_back(text.toStdString());
      return answer;
    });
    ASSERT_TRUE(m_app->InitInstance());
    settle();
  }
  static std::string text(const Images& im) { return config_file::wholeConfiguration(im.g_optionDevice, im.g_baseDevice); }

  std::vector<std::string> m_offers;
};

TEST_F(KeptWorkTest, UnsavedWorkOutlivesSigtermAndComesBackUnsaved) {
  Images saved;
  for (int i = 0; i < 256; ++i) {
    saved.g_optionDevice[i] = static_cast<std::uint8_t>(i);
    saved.g_baseDevice[i] = static_cast<std::uint8_t>(255 - i);
  }
  for (int i = 0x73; i < 256; ++i) saved.g_optionDevice[i] = 0;  // what a file holds
  for (int i = 0x70; i < 256; ++i) saved.g_baseDevice[i] = 0;
  const std::string file = m_dir + "/press7.txt";
  writeFile(file, text(saved));
  writeFile(m_settings, "[Communication]\nport=/nonexistent/vrx4-tty\n[Agreement]\nState=1\n");

  const pid_t pid = launchWithWork(file);
  ASSERT_GT(pid, 0);
  const bool made = waitUntil([&] { return readFile(m_dir + "/stdout.txt").find("unsaved work made") != std::string::npos; }, 20000);
  if (!made) waitForExit(pid, 0);
  ASSERT_TRUE(made) << readFile(m_dir + "/stderr.txt");
  ASSERT_EQ(::kill(pid, SIGTERM), 0);
  const int status = waitForExit(pid, 10000);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

  // One copy in the state folder: the whole configuration with the work,
  // then the line naming the file; the file itself as it was.
  const std::string folder = m_dir + "/state/vrx4/recovery/";
  ASSERT_TRUE(std::filesystem::is_directory(folder)) << "nothing was kept\n" << readFile(m_dir + "/stderr.txt");
  std::vector<std::string> copies;
  for (const auto& e : std::filesystem::directory_iterator(folder)) copies.push_back(e.path().string());
  ASSERT_EQ(copies.size(), 1u);
  const std::string copy = copies[0];
  EXPECT_EQ(copy.rfind(folder + "press7.unsaved-", 0), 0u) << copy;
  Images work = saved;
  work.g_baseDevice[0x2B] = 0x7F;
  EXPECT_EQ(readFile(copy), text(work) + "Unsaved work on: " + file + "\r\n");
  EXPECT_NE(readFile(m_dir + "/stderr.txt").find("the unsaved changes to " + file + " were kept in " + copy),
            std::string::npos)
      << readFile(m_dir + "/stderr.txt");
  EXPECT_EQ(readFile(file), text(saved));

  // The next start offers it; Later keeps it for another start.
  startAnswering(folder, KeptWorkAnswer::Later);
  ASSERT_EQ(m_offers.size(), 1u);
  EXPECT_NE(m_offers[0].find("changes to the configuration file " + file + " were not saved; they were kept in " +
                             copy),
            std::string::npos)
      << m_offers[0];
  EXPECT_EQ(state().g_fileMode.load(), 0);
  close();
  EXPECT_TRUE(std::filesystem::exists(copy));

  // Open: file mode with the work, unsaved, to be saved to the file (not
  // to the copy); the file is still untouched.
  startAnswering(folder, KeptWorkAnswer::Open);
  ASSERT_EQ(m_offers.size(), 2u);
  EXPECT_EQ(state().g_fileMode.load(), 1);
  EXPECT_EQ(state().configFilePath(), file);
  EXPECT_EQ(text(state().snapshot()), text(work));
  EXPECT_TRUE(g_pToolsPage->unsavedChanges());
  EXPECT_EQ(readFile(file), text(saved));
  // Quitting asks; Save writes the work to the file, and the copy has done
  // its job.
  std::vector<std::string> questions;
  view().memoryHost().ask = [&](QWidget*, const QString& q, const MemoryHost&) {
    questions.push_back(q.toStdString());
    return UnsavedAnswer::Save;
  };
  close();
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find(file), std::string::npos);
  EXPECT_EQ(readFile(file), text(work));
  EXPECT_FALSE(std::filesystem::exists(copy));
}

}  // namespace
}  // namespace vrx4::testing
