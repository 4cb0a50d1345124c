// vrx4ctl's progress bar: drawn on stderr when it is a terminal, over
// itself, steps and seconds left, erased before the command's own last
// words; nothing at all when stderr is a file or --quiet is given.
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli_harness.h"

namespace vrx4 {
namespace {

// vrx4ctl with its stderr on a pseudo-terminal, its stdout in a file; what
// came on the terminal until it ended.
Outcome runOnTerminal(const std::string& dir, const std::vector<std::string>& args) {
  int master = -1;
  const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    ::dup2(::open((dir + "/stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    ::setenv("TERM", "xterm", 1);
    std::vector<char*> argv{const_cast<char*>(VRX4CTL_PATH)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(VRX4CTL_PATH, argv.data());
    ::_exit(127);
  }
  Outcome r;
  char buffer[512];
  for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)  // EIO once the child has gone
    r.err.append(buffer, static_cast<std::size_t>(n));
  ::close(master);
  int status = 0;
  ::waitpid(pid, &status, 0);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST_F(CliFixture, ProgressOnATerminalOnlyAndNotWithQuiet) {
  serve(device);  // paced: a read takes about 1.4 s
  const std::string file = dir + "/conf.txt";

  // On a terminal: several drawings of one line, each over the one before;
  // the steps of a full read; erased at the end.
  Outcome r = runOnTerminal(dir, {"read", "--port", tty, "--out", file});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_GE(count(r.err, "vrx4ctl: reading ["), 3u) << r.err;
  EXPECT_TRUE(has(r.err, "/45 steps, "));
  EXPECT_TRUE(has(r.err, " s left"));
  EXPECT_FALSE(has(r.err, "\n"));  // the terminal shows it as "\r\n"
  EXPECT_EQ(r.err.substr(r.err.size() - 4), "\r\x1b[K") << r.err;

  // (A write's steps, the identity read and every read-back: the engine's
  // progress test.)

  // On a file, and with --quiet on a terminal: nothing but what the
  // command has to say (here: nothing).
  r = ok("read " + port() + " --out " + file);
  EXPECT_EQ(r.err, "");
  r = runOnTerminal(dir, {"read", "--port", tty, "--out", file, "--quiet"});
  EXPECT_EQ(r.code, 0);
  EXPECT_FALSE(has(r.err, "steps"));
}

}  // namespace
}  // namespace vrx4
