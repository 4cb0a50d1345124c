#include "core/sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace vrx4::sim {
namespace {

double now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void sleepUntil(const timespec& t) {
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
  }
}

void addSeconds(timespec& t, double s) {
  const long ns = static_cast<long>(s * 1e9);
  t.tv_nsec += ns;
  while (t.tv_nsec >= 1000000000L) {
    t.tv_nsec -= 1000000000L;
    ++t.tv_sec;
  }
}

}  // namespace

PtyServer::PtyServer(SimDevice& device, Options options) : m_device(device), m_options(std::move(options)) {}

PtyServer::~PtyServer() { stop(); }

bool PtyServer::openTerminal() {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    m_error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
    if (master >= 0) ::close(master);
    return false;
  }
  char name[128] = {};
  if (ptsname_r(master, name, sizeof name) != 0) {
    m_error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
    ::close(master);
    return false;
  }
  const int hold = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (hold < 0) {
    m_error = std::string("cannot open ") + name + ": " + std::strerror(errno);
    ::close(master);
    return false;
  }
  // Raw from the start, so nothing is echoed or translated before the
  // host has configured the line.
  termios t{};
  if (tcgetattr(hold, &t) == 0) {
    cfmakeraw(&t);
    cfsetispeed(&t, B38400);
    cfsetospeed(&t, B38400);
    tcsetattr(hold, TCSANOW, &t);
  }
  if (!m_options.linkPath.empty()) {
    const std::string tmp = m_options.linkPath + ".new";
    ::unlink(tmp.c_str());
    if (::symlink(name, tmp.c_str()) != 0 || ::rename(tmp.c_str(), m_options.linkPath.c_str()) != 0) {
      m_error = "cannot link " + m_options.linkPath + ": " + std::strerror(errno);
      ::close(hold);
      ::close(master);
      return false;
    }
  }
  std::lock_guard lock(m_mutex);
  m_master = master;
  m_slaveHold = hold;
  m_slavePath = name;
  return true;
}

void PtyServer::closeTerminal() {
  std::lock_guard lock(m_mutex);
  if (m_slaveHold >= 0) ::close(m_slaveHold);
  if (m_master >= 0) ::close(m_master);
  m_slaveHold = m_master = -1;
}

bool PtyServer::start() {
  if (m_thread.joinable()) return true;
  if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    m_error = std::string("cannot create a pipe: ") + std::strerror(errno);
    return false;
  }
  if (!openTerminal()) return false;
  m_stop = false;
  m_thread = std::thread([this] { serve(); });
  return true;
}

void PtyServer::stop() {
  if (m_thread.joinable()) {
    m_stop = true;
    const char c = 1;
    (void)!::write(m_wake[1], &c, 1);
    m_thread.join();
  }
  closeTerminal();
  if (!m_options.linkPath.empty()) ::unlink(m_options.linkPath.c_str());
  for (int& fd : m_wake) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

std::string PtyServer::slavePath() const {
  std::lock_guard lock(m_mutex);
  return m_slavePath;
}

std::string PtyServer::hostPath() const {
  return m_options.linkPath.empty() ? slavePath() : m_options.linkPath;
}

void PtyServer::hangUp(int ms) {
  m_hangUpMs = ms < 0 ? 0 : ms;
  const char c = 1;
  (void)!::write(m_wake[1], &c, 1);
}

void PtyServer::withDevice(const std::function<void(SimDevice&)>& f) {
  std::lock_guard lock(m_mutex);
  f(m_device);
}

void PtyServer::reply(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty()) return;
  if (m_options.pace) {
    // The request byte itself took one byte time to arrive; then each
    // reply byte takes one more. The whole reply is handed over once its
    // last byte would have arrived on the wire: the host never has a frame
    // sooner than the line could carry it, and the server wakes once per
    // reply instead of once per byte.
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    addSeconds(t, kByteSeconds * static_cast<double>(bytes.size()));
    sleepUntil(t);
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

void PtyServer::serve() {
  pthread_setname_np(pthread_self(), "vrx4-sim");
  double last = now();
  std::uint8_t buf[256];
  while (!m_stop) {
    const int hang = m_hangUpMs.exchange(-1);
    if (hang >= 0) {
      closeTerminal();
      // A device that is unplugged leaves no node behind; a link left
      // pointing at the freed terminal could reach whatever terminal takes
      // its number next.
      if (!m_options.linkPath.empty()) ::unlink(m_options.linkPath.c_str());
      const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(hang);
      while (!m_stop && std::chrono::steady_clock::now() < until) {
        pollfd w{m_wake[0], POLLIN, 0};
        ::poll(&w, 1, 10);
        while (::read(m_wake[0], buf, sizeof buf) > 0) {
        }
      }
      if (m_stop || !openTerminal()) break;
      last = now();
    }

    pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
    const int r = ::poll(fds, 2, 10);
    const double t = now();
    {
      std::lock_guard lock(m_mutex);
      m_device.tick(t - last);
    }
    last = t;
    if (r < 0 && errno != EINTR) break;
    if (fds[1].revents & POLLIN) {
      while (::read(m_wake[0], buf, sizeof buf) > 0) {
      }
    }
    if (!(fds[0].revents & POLLIN)) continue;
    const ssize_t n = ::read(m_master, buf, sizeof buf);
    if (n <= 0) continue;
    for (ssize_t i = 0; i < n; ++i) {
      std::vector<std::uint8_t> out;
      {
        std::lock_guard lock(m_mutex);
        out = m_device.onByte(buf[i], now());
      }
      reply(out);
    }
  }
}

}  // namespace vrx4::sim
