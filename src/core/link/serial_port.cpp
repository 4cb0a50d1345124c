// POSIX serial line for the regulator link: exclusive open, 38400 baud 8N1
// raw, non-blocking reads that wait in poll(), and detection of a line that
// has gone away (adapter pulled, pseudo-terminal master closed).
#include "core/link/serial_port.h"

#include "core/link/port_names.h"
#include "core/link/tcp_transport.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/sysmacros.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <vector>

namespace vrx4 {
namespace {

// Unix 98 pseudo-terminal slaves have majors 136..143.
bool isPseudoTerminal(const struct stat& st) {
  const unsigned m = major(st.st_rdev);
  return S_ISCHR(st.st_mode) && m >= 136 && m <= 143;
}

// Errors meaning the device behind the descriptor is no longer there.
bool isVanished(int err) { return err == EIO || err == ENXIO || err == ENODEV; }

// Runs a system call again while it is interrupted by a signal.
template <typename Call>
auto retryEintr(Call call) {
  for (;;) {
    auto result = call();
    if (result != -1 || errno != EINTR) return result;
  }
}

// Name of a group or user id, empty when it has none.
std::string groupName(gid_t gid) {
  const long hint = ::sysconf(_SC_GETGR_R_SIZE_MAX);
  std::vector<char> buffer(hint > 0 ? static_cast<std::size_t>(hint) : 4096);
  group entry{};
  group* found = nullptr;
  int rc = 0;
  while ((rc = ::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found)) == ERANGE)
    buffer.resize(buffer.size() * 2);
  return rc == 0 && found != nullptr && found->gr_name != nullptr ? found->gr_name : "";
}

std::string userName(uid_t uid) {
  const long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(hint > 0 ? static_cast<std::size_t>(hint) : 4096);
  passwd entry{};
  passwd* found = nullptr;
  int rc = 0;
  while ((rc = ::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found)) == ERANGE)
    buffer.resize(buffer.size() * 2);
  return rc == 0 && found != nullptr && found->pw_name != nullptr ? found->pw_name : "";
}

// What a user refused by the permissions of the node can do: join its
// group, when that group may read and write it; otherwise only the owner
// opens it, until a udev rule gives the port a group.
void describePermission(PortOpenError& e) {
  struct stat st {};
  if (::stat(e.path.c_str(), &st) != 0) {
    e.reason = "permission denied";
    return;
  }
  const bool groupMayUse = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
  const std::string grp = groupName(st.st_gid);
  if (groupMayUse && !grp.empty() && st.st_gid != 0) {
    e.group = grp;
    e.reason = "permission denied: add your user to the group '" + grp + "' and log in again";
    return;
  }
  std::string owner = userName(st.st_uid);
  if (owner.empty()) owner = "user " + std::to_string(st.st_uid);
  e.reason = "permission denied: only its owner (" + owner +
             ") may open this port; a udev rule can give it a group that may read and write it "
             "(such as 'dialout'), for your user to join";
}

PortOpenError describeFailure(const std::string& name, const std::string& path, int err,
                              const char* reason) {
  PortOpenError e;
  e.portName = name;
  e.path = path;
  e.errorNumber = err;
  if (err == EACCES || err == EPERM) {
    e.permissionDenied = true;
    describePermission(e);
  } else if (err == EBUSY || err == EWOULDBLOCK) {
    e.busy = true;
    e.reason = "the port is in use by another program";
  } else if (reason != nullptr) {
    e.reason = reason;
  } else if (err == ENOENT || err == ENXIO || err == ENODEV) {
    e.reason = "no such device";
  } else {
    e.reason = std::strerror(err);
  }
  return e;
}

// Clears exclusivity (the tty flag outlives our descriptor while any other
// descriptor of the tty stays open, which would lock everybody out),
// releases the lock and closes.
void unlockAndClose(int fd, bool exclusiveSet) {
  if (exclusiveSet) (void)::ioctl(fd, TIOCNXCL);
  (void)::flock(fd, LOCK_UN);
  // No retry on EINTR: Linux has released the descriptor either way.
  (void)::close(fd);
}

enum class Attempt { Byte, Empty, Vanished, Error };

// Reads what is waiting, up to the buffer's size: a reply that arrived in
// one piece then costs one system call instead of one per byte.
Attempt readSome(int fd, std::uint8_t* buf, std::size_t cap, std::size_t& got, bool& endOfFile) {
  const ssize_t n = retryEintr([&] { return ::read(fd, buf, cap); });
  endOfFile = n == 0;
  got = n > 0 ? static_cast<std::size_t>(n) : 0;
  if (n > 0) return Attempt::Byte;
  if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK) return Attempt::Empty;
  return isVanished(errno) ? Attempt::Vanished : Attempt::Error;
}

}  // namespace

SerialPort::SerialPort() = default;

bool SerialPort::network() const { return m_net != nullptr && m_net->isOpen(); }
SerialPort::~SerialPort() { close(); }

bool SerialPort::open(const std::string& name, PortOpenError* error) {
  close();
  if (isNetworkPortName(name)) {
    PortOpenError e;
    e.portName = e.path = name;
    const auto address = parseNetworkPortName(name, &e.reason);
    if (!m_net) m_net = std::make_unique<TcpTransport>();  // kept across reopens
    if (address && m_net->open(name, *address, m_stop, &e)) {
      m_path = name;
      return true;
    }
    if (error != nullptr) *error = e;
    return false;
  }
  const std::string path = portDevicePath(name);
  bool exclusiveSet = false;
  auto fail = [&](int fd, int err, const char* reason = nullptr) {
    if (fd >= 0) unlockAndClose(fd, exclusiveSet);
    if (error != nullptr) *error = describeFailure(name, path, err, reason);
    return false;
  };

  const int fd =
      retryEintr([&] { return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
  if (fd < 0) return fail(-1, errno);

  // The advisory lock refuses a second opener even when it runs as root,
  // and the kernel drops it with its holder, however that one ends.
  if (retryEintr([&] { return ::flock(fd, LOCK_EX | LOCK_NB); }) != 0) return fail(fd, errno);

  struct stat st {};
  if (::fstat(fd, &st) != 0) return fail(fd, errno);
  const bool pseudoTerminal = isPseudoTerminal(st);

  // TIOCEXCL makes the kernel refuse further opens of the tty (EBUSY) by
  // programs that do not use flock. On a real serial port the flag goes
  // with the last close; a pseudo-terminal lives as long as its other end,
  // so there a flag left by a client that was killed would lock every later
  // client out: the lock alone guards a pseudo-terminal, and a flag found on
  // one while we hold the lock is such a leftover. On a real port a flag
  // while we hold the lock means a program that does not lock holds it:
  // refuse, as an unprivileged user would be refused, and leave it alone.
  int alreadyExclusive = 0;
  if (::ioctl(fd, TIOCGEXCL, &alreadyExclusive) == 0 && alreadyExclusive != 0) {
    if (!pseudoTerminal) return fail(fd, EBUSY);
    (void)::ioctl(fd, TIOCNXCL);
  }
  if (!pseudoTerminal) exclusiveSet = ::ioctl(fd, TIOCEXCL) == 0;  // an odd device may not support it

  termios tio{};
  if (retryEintr([&] { return ::tcgetattr(fd, &tio); }) != 0) {
    const int err = errno;
    return fail(fd, err, err == ENOTTY ? "not a serial port" : nullptr);
  }
  ::cfmakeraw(&tio);  // no echo, no canonical mode, no signals, no CR/LF translation
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  ::cfsetispeed(&tio, B38400);
  ::cfsetospeed(&tio, B38400);
  if (retryEintr([&] { return ::tcsetattr(fd, TCSANOW, &tio); }) != 0) return fail(fd, errno);
  // tcsetattr succeeds when any part of the change took; check the parts
  // the regulator depends on.
  termios now{};
  if (retryEintr([&] { return ::tcgetattr(fd, &now); }) != 0) return fail(fd, errno);
  if (::cfgetispeed(&now) != B38400 || ::cfgetospeed(&now) != B38400 ||
      (now.c_cflag & (CSIZE | PARENB | CSTOPB)) != CS8)
    return fail(fd, EINVAL, "the port does not accept 38400 baud, 8 data bits, no parity");

  // DTR and RTS inactive. A pseudo-terminal has no modem lines and rejects
  // this (ENOTTY, EINVAL, or the kernel's internal ENOIOCTLCMD); only a
  // device that vanished meanwhile is an error.
  int lines = TIOCM_DTR | TIOCM_RTS;
  if (retryEintr([&] { return ::ioctl(fd, TIOCMBIC, &lines); }) != 0 && isVanished(errno))
    return fail(fd, errno);

  m_fd = fd;
  m_path = path;
  m_hungUp = false;
  m_device = static_cast<std::uint64_t>(st.st_rdev);
  m_exclusive = exclusiveSet;
  m_pseudoTerminal = pseudoTerminal;
  return true;
}

void SerialPort::close() {
  m_rxPos = m_rxLen = 0;
  if (network()) {
    m_net->close();
    m_path.clear();
  }
  if (m_fd < 0) return;
  int rts = TIOCM_RTS;
  (void)::ioctl(m_fd, TIOCMBIC, &rts);  // rejected by a pty; nothing to do about it
  unlockAndClose(m_fd, m_exclusive);
  m_fd = -1;
  m_path.clear();
  m_hungUp = false;
  m_exclusive = false;
  m_pseudoTerminal = false;
  m_device = 0;
}

std::size_t SerialPort::buffered() const { return network() ? m_net->buffered() : m_rxLen - m_rxPos; }

ReadResult SerialPort::readByte(std::uint8_t& out, int waitMs) {
  if (network()) return m_net->readByte(out, waitMs);
  if (m_fd < 0 || m_hungUp) return ReadResult::Failed;
  if (m_rxPos < m_rxLen) {
    out = m_rxBuf[m_rxPos++];
    return ReadResult::Byte;
  }
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(waitMs, 0));

  // With VMIN = VTIME = 0 a silent line reads as 0 bytes, exactly like a
  // hung-up one; only poll() tells the two apart, so it is asked first.
  pollfd p{m_fd, POLLIN, 0};
  int ready = 0;
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    const int timeout = static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX));
    ready = ::poll(&p, 1, timeout);
    if (ready >= 0 || errno != EINTR) break;
  }
  if (ready < 0) return ReadResult::Failed;
  if (ready == 0) return ReadResult::Nothing;

  if ((p.revents & POLLIN) != 0) {
    // Data that arrived before a hang-up is still delivered first.
    bool endOfFile = false;
    std::size_t got = 0;
    switch (readSome(m_fd, m_rxBuf.data(), m_rxBuf.size(), got, endOfFile)) {
      case Attempt::Byte:
        m_rxLen = got;
        m_rxPos = 1;
        out = m_rxBuf[0];
        return ReadResult::Byte;
      case Attempt::Vanished: m_hungUp = true; return ReadResult::Failed;
      case Attempt::Error: return ReadResult::Failed;
      case Attempt::Empty: break;
    }
    // Readable yet no data: end of file, the line has hung up.
    if (endOfFile) {
      m_hungUp = true;
      return ReadResult::Failed;
    }
  }
  if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
    m_hungUp = true;
    return ReadResult::Failed;
  }
  return ReadResult::Nothing;  // a readiness report that had nothing behind it
}

bool SerialPort::writeByte(std::uint8_t byte) {
  if (network()) return m_net->writeByte(byte);
  if (m_fd < 0 || m_hungUp) return false;
  const ssize_t n = retryEintr([&] { return ::write(m_fd, &byte, 1); });
  if (n != 1) {
    if (n < 0 && isVanished(errno)) m_hungUp = true;
    return false;  // EAGAIN included: the output queue is full, try later
  }
  if (m_pseudoTerminal) return true;  // one system call less per exchange with the simulated regulator
  if (retryEintr([&] { return ::tcdrain(m_fd); }) != 0 && isVanished(errno)) {
    m_hungUp = true;
    return false;
  }
  return true;
}

void SerialPort::purge() {
  m_rxPos = m_rxLen = 0;
  if (network()) return m_net->purge();
  if (m_fd < 0) return;
  if (retryEintr([&] { return ::tcflush(m_fd, TCIOFLUSH); }) != 0 && isVanished(errno))
    m_hungUp = true;
}

bool SerialPort::gone() const {
  if (network()) return m_net->gone();
  if (m_hungUp) return true;
  if (m_fd < 0) return false;
  struct stat st {};
  if (::stat(m_path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR;
  return !S_ISCHR(st.st_mode) || static_cast<std::uint64_t>(st.st_rdev) != m_device;
}

}  // namespace vrx4
