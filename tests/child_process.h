// A program started in the background for tests that signal or kill it:
// its standard output and error go to files of the test's folder, and it
// is killed if the test ends while it still runs.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "test_files.h"

namespace vrx4::testing {

class ChildProcess {
 public:
  // `env` holds NAME=VALUE settings added to the child's environment.
  ChildProcess(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
               const std::vector<std::string>& env = {})
      : m_out(dir + "/out" + std::to_string(++s_runs)), m_err(dir + "/err" + std::to_string(s_runs)) {
    m_pid = ::fork();
    if (m_pid == 0) {
      const int o = ::open(m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int e = ::open(m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(o, 1);
      ::dup2(e, 2);
      for (const auto& v : env) ::putenv(const_cast<char*>(v.c_str()));
      std::vector<char*> argv{const_cast<char*>(program.c_str())};
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
  }
  ~ChildProcess() {
    if (m_pid > 0 && m_code == kRunning) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, nullptr, 0);
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  void signal(int sig) const { ::kill(m_pid, sig); }
  bool running() {
    int status = 0;
    if (m_code == kRunning && ::waitpid(m_pid, &status, WNOHANG) == m_pid)
      m_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return m_code == kRunning;
  }
  // The exit code (128 + the signal when a signal ended it), or -1 when it
  // is still running after `seconds`.
  int exitCode(double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (running() && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return m_code == kRunning ? -1 : m_code;
  }
  std::string out() const { return readFile(m_out); }
  std::string err() const { return readFile(m_err); }

 private:
  static constexpr int kRunning = -1000;
  static inline int s_runs = 0;  // each run writes its own files
  pid_t m_pid = -1;
  int m_code = kRunning;
  std::string m_out, m_err;
};

}  // namespace vrx4::testing
