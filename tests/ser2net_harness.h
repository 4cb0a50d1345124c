// ser2net in front of a simulated regulator's pseudo-terminal, as a serial
// device server would stand in front of a real one: started by the test
// with its own configuration file, on a free port of 127.0.0.1, and killed
// when the test ends. Tests that need it skip when it is not installed.
#pragma once

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

extern char** environ;

namespace vrx4::testing {

// The ser2net program, or empty when it is not installed.
inline std::string ser2netProgram() {
  std::string dirs = ::getenv("PATH") != nullptr ? ::getenv("PATH") : "";
  dirs += ":/usr/sbin:/sbin:/usr/local/sbin";
  std::stringstream in(dirs);
  for (std::string dir; std::getline(in, dir, ':');)
    if (!dir.empty() && ::access((dir + "/ser2net").c_str(), X_OK) == 0) return dir + "/ser2net";
  return {};
}

#define VRX4_SKIP_WITHOUT_SER2NET()                                                          \
  if (::vrx4::testing::ser2netProgram().empty())                                             \
  GTEST_SKIP() << "ser2net is not installed (apt-get install ser2net): network ports not tested"

// A TCP port of 127.0.0.1 that nothing listens on at this moment.
inline unsigned freeTcpPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  unsigned port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  ::close(fd);
  return port;
}

// True when something listens on 127.0.0.1:port (read from the kernel's
// table, so that looking does not itself open a connection to ser2net).
inline bool listening(unsigned port) {
  char local[32];
  std::snprintf(local, sizeof local, "0100007F:%04X", port);
  std::ifstream in("/proc/net/tcp");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string slot, address, remote, state;
    fields >> slot >> address >> remote >> state;
    if (address == local && state == "0A") return true;
  }
  return false;
}

class Ser2net {
 public:
  enum class Mode { Raw, Rfc2217, TelnetWithoutRfc2217 };

  // Bridges 127.0.0.1:port (a free one when 0) to the serial device.
  Ser2net(std::string device, Mode mode, std::string dir, unsigned port = 0)
      : m_device(std::move(device)), m_mode(mode), m_dir(std::move(dir)), m_port(port ? port : freeTcpPort()) {}
  ~Ser2net() { kill(); }
  Ser2net(const Ser2net&) = delete;
  Ser2net& operator=(const Ser2net&) = delete;

  unsigned port() const { return m_port; }
  std::string url() const {
    return std::string(m_mode == Mode::Raw ? "tcp" : "rfc2217") + "://127.0.0.1:" + std::to_string(m_port);
  }

  // Starts ser2net in the foreground and waits until it listens.
  ::testing::AssertionResult start() {
    const std::string config = m_dir + "/ser2net-" + std::to_string(m_port) + ".yaml";
    const std::string log = m_dir + "/ser2net-" + std::to_string(m_port) + ".log";
    const char* accepter = m_mode == Mode::Raw ? "tcp" : m_mode == Mode::Rfc2217 ? "telnet(rfc2217),tcp" : "telnet,tcp";
    std::ofstream(config) << "%YAML 1.1\n---\nconnection: &vrx4\n"
                          << "  accepter: " << accepter << ",127.0.0.1," << m_port << "\n"
                          << "  connector: serialdev," << m_device << ",38400n81,local\n"
                          << "  options:\n    kickolduser: true\n";
    const std::string program = ser2netProgram();
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    std::string c = "-c", u = "-u", d = "-d";
    char* argv[] = {const_cast<char*>(program.c_str()), d.data(), u.data(), c.data(),
                    const_cast<char*>(config.c_str()), nullptr};
    const int rc = posix_spawn(&m_pid, program.c_str(), &files, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&files);
    if (rc != 0) {
      m_pid = -1;
      return ::testing::AssertionFailure() << "cannot start " << program << ": " << std::strerror(rc);
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!listening(m_port)) {
      int status = 0;
      if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_pid = -1;
        return ::testing::AssertionFailure() << "ser2net ended at once; its log: " << logText(log);
      }
      if (std::chrono::steady_clock::now() > until)
        return ::testing::AssertionFailure() << "ser2net does not listen on " << m_port << "; its log: " << logText(log);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return ::testing::AssertionSuccess();
  }

  // Kills ser2net at once, as a crash or a power cut would end it.
  void kill() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
  }

 private:
  static std::string logText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::string m_device;
  Mode m_mode;
  std::string m_dir;
  unsigned m_port;
  pid_t m_pid = -1;
};

}  // namespace vrx4::testing
