// SerialPort over a real pseudo-terminal pair: the test holds the master
// side and plays the regulator; the port opens the slave path.
#include "core/link/serial_port.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "../test_files.h"

namespace vrx4 {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

struct Pty {
  int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  std::string slave = (::grantpt(master), ::unlockpt(master), ::ptsname(master));
  ~Pty() { hangUp(); }
  void hangUp() { master = master >= 0 ? ::close(master), -1 : -1; }
  void send(const std::string& s) const { ASSERT_EQ(::write(master, s.data(), s.size()), ssize_t(s.size())); }
  std::string receive(std::size_t count) const {  // what the port sent, within a second
    std::string got;
    pollfd p{master, POLLIN, 0};
    for (char c = 0; got.size() < count && ::poll(&p, 1, 1000) > 0 && ::read(master, &c, 1) == 1;) got += c;
    return got;
  }
};

template <typename F> double msTaken(F&& f) {
  const auto start = Clock::now();
  return f(), Ms(Clock::now() - start).count();
}
std::size_t openFds() { return std::size_t(std::distance(fs::directory_iterator("/proc/self/fd"), {})); }

TEST(SerialPort, OpenMakesTheLineRaw38400With8N1AndNoFlowControlAndHoldsItExclusively) {
  Pty pty;
  // A descriptor opened first lets the test see the settings; start cooked.
  const int probe = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY);
  termios t{};
  ASSERT_EQ(::tcgetattr(probe, &t), 0);
  t.c_cflag = (t.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB | CRTSCTS, t.c_iflag |= IXON | IXOFF | ICRNL;
  t.c_lflag |= ICANON | ECHO | ISIG, t.c_oflag |= OPOST | ONLCR;
  ::cfsetspeed(&t, B9600);
  ASSERT_EQ(::tcsetattr(probe, TCSANOW, &t), 0);

  SerialPort port;
  ASSERT_TRUE(port.open(pty.slave));
  ASSERT_EQ(::tcgetattr(probe, &t), 0);
  EXPECT_TRUE(::cfgetispeed(&t) == B38400 && ::cfgetospeed(&t) == B38400);
  EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD),
            tcflag_t(CS8 | CLOCAL | CREAD));
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY | ICRNL), 0u);
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_cc[VMIN] + t.c_cc[VTIME], 0);
  ::close(probe);

  // Bytes pass untouched and in order: CR, ^C and XON are data, '\n' gets no CR.
  pty.send("\r\x03\x11\n");
  std::string got;
  for (std::uint8_t b = 0; got.size() < 4 && port.readByte(b, 1000) == ReadResult::Byte;) got += char(b);
  EXPECT_EQ(got, "\r\x03\x11\n");
  EXPECT_TRUE(port.writeByte('\n') && port.writeByte('A') && port.writeByte('B'));
  EXPECT_EQ(pty.receive(3), "\nAB");

  // Held exclusively until closed or its client is killed; the regulator's
  // side stays open all along, as on a real adapter.
  SerialPort second;
  const std::size_t fds = openFds();
  PortOpenError e;
  EXPECT_FALSE(second.open(pty.slave, &e) || second.isOpen());
  EXPECT_EQ(openFds(), fds);
  EXPECT_TRUE(e.busy && !e.permissionDenied && e.path == pty.slave);
  EXPECT_EQ(e.reason, "the port is in use by another program");
  EXPECT_TRUE(port.writeByte('x'));  // the holder is unaffected
  EXPECT_EQ(pty.receive(1), "x");
  port.close();
  port.close();

  // Free again: a client takes it, and is killed with no chance to close.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    SerialPort p;
    const char ok = p.open(pty.slave) ? 'y' : 'n';
    (void)!::write(ready[1], &ok, 1);
    for (;;) ::pause();
  }
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  ::close(ready[0]), ::close(ready[1]);
  ASSERT_EQ(ok, 'y');
  EXPECT_TRUE(!second.open(pty.slave, &e) && e.busy);  // a live client keeps it
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_TRUE(second.open(pty.slave, &e)) << e.reason;
}

// Opened through a link, as the stable /dev/serial/by-id names are.
TEST(SerialPort, SilentLineWaitsWithoutSpinningWakesForABytePurgesAndNoticesItsNodeGoneOrHungUp) {
  const testing::TempDir temp;
  const fs::path link = fs::path(temp.path) / "ttyUSB0";
  Pty pty, other;
  fs::create_symlink(pty.slave, link);
  SerialPort port;
  ASSERT_TRUE(port.open(link.string()));
  std::uint8_t b = 0;
  ReadResult r = ReadResult::Byte;
  for (int ms : {0, 1}) {
    EXPECT_LT(msTaken([&] { r = port.readByte(b, ms); }), 40);
    EXPECT_EQ(r, ReadResult::Nothing);
  }
  const std::clock_t cpu = std::clock();
  EXPECT_GE(msTaken([&] { r = port.readByte(b, 100); }), 99);
  EXPECT_LT(double(std::clock() - cpu) * 1000 / CLOCKS_PER_SEC, 30);
  EXPECT_EQ(r, ReadResult::Nothing);

  Clock::time_point returned;
  std::thread reader([&] { r = port.readByte(b, 1000), returned = Clock::now(); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // let the reader block
  const auto sent = Clock::now();
  pty.send("\x5a");
  reader.join();
  EXPECT_TRUE(r == ReadResult::Byte && b == 0x5a);
  EXPECT_LT(Ms(returned - sent).count(), 100);

  // Purge drops what is queued; what comes after it is read.
  pty.send("stale");
  ASSERT_EQ(port.readByte(b, 1000), ReadResult::Byte);  // the rest arrived with it
  port.purge();
  EXPECT_EQ(port.readByte(b, 0), ReadResult::Nothing);
  pty.send("N");
  EXPECT_EQ(port.readByte(b, 1000), ReadResult::Byte);
  EXPECT_EQ(b, 'N');

  // The node removed or replaced by another device is gone; put back, not.
  EXPECT_FALSE(port.gone());
  fs::remove(link);
  EXPECT_TRUE(port.gone());
  fs::create_symlink(other.slave, link);
  EXPECT_TRUE(port.gone());
  fs::remove(link);
  fs::create_symlink(pty.slave, link);
  EXPECT_FALSE(port.gone());

  // Hung up while a read waits: it fails at once, and every time after.
  double waited = 0;
  std::thread hung([&] { waited = msTaken([&] { r = port.readByte(b, 2000); }); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // let the reader block
  pty.hangUp();
  hung.join();
  EXPECT_TRUE(r == ReadResult::Failed && waited < 1000) << waited;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(port.readByte(b, i), ReadResult::Failed);
  EXPECT_TRUE(port.gone());
  EXPECT_FALSE(port.writeByte('x'));
}

TEST(SerialPort, RefusedOpensSayWhyAndHoldNothing) {
  const testing::TempDir temp;
  const fs::path dir = temp.path;
  SerialPort port;
  PortOpenError e;
  EXPECT_FALSE(port.open((dir / "ttyUSB9").string(), &e));
  EXPECT_TRUE(e.errorNumber == ENOENT && e.reason == "no such device") << e.reason;
  const std::string file = (dir / "plain").string(), shared = (dir / "ttyShared").string();
  for (const std::string& f : {file, shared}) ::close(::open(f.c_str(), O_CREAT | O_WRONLY, 0));
  const std::size_t fds = openFds();
  EXPECT_TRUE(!port.open(file, &e) && e.reason == "not a serial port") << e.reason;
  EXPECT_EQ(openFds(), fds);

  // An unprivileged user (a child dropped to "nobody" when we are root) is
  // told the group to join only when that group may read and write the
  // node; a node only its owner may use says so. An exclusively held port
  // is busy.
  ::chmod(dir.c_str(), 0755);
  const group* dialout = ::getgrnam("dialout");
  const gid_t gid = dialout != nullptr ? dialout->gr_gid : 20;
  const bool sharedReady = ::chown(shared.c_str(), 0, gid) == 0 && ::chmod(shared.c_str(), 0660) == 0;
  const std::string grp = ::getgrgid(gid) != nullptr ? ::getgrgid(gid)->gr_name : "";
  Pty pty;
  ::chmod(pty.slave.c_str(), 0666);
  ASSERT_TRUE(port.open(pty.slave));
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(77);
    SerialPort p;
    PortOpenError pe, ge, be;
    const bool ownerOnly = !p.open(file, &pe) && pe.permissionDenied && pe.group.empty() &&
                           pe.reason.find("only its owner (") != std::string::npos &&
                           pe.reason.find("udev rule") != std::string::npos;
    const bool joinGroup = !sharedReady || grp.empty() ||
                           (!p.open(shared, &ge) && ge.permissionDenied && ge.group == grp &&
                            ge.reason == "permission denied: add your user to the group '" + grp +
                                             "' and log in again");
    const bool busy = !p.open(pty.slave, &be) && be.busy;
    ::_exit((ownerOnly ? 0 : 1) | (joinGroup ? 0 : 2) | (busy ? 0 : 4));
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot drop privileges";
  EXPECT_EQ(status, 0) << "exit bit 1: owner-only node, 2: group node, 4: held port not busy";
}

}  // namespace
}  // namespace vrx4
