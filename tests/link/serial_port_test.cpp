// SerialPort over a real pseudo-terminal pair: the test holds the master
// side and plays the regulator; the port opens the slave path.
#include "core/link/serial_port.h"
#include "core/link/port_names.h"

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
#include <fstream>
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
  port.close(), port.close();  // twice: the second is harmless

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
  ::kill(child, SIGKILL), ::waitpid(child, nullptr, 0);
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
  for (int ms : {0, 1}) EXPECT_TRUE(msTaken([&] { r = port.readByte(b, ms); }) < 40 && r == ReadResult::Nothing) << ms;
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
  EXPECT_TRUE(port.readByte(b, 1000) == ReadResult::Byte && b == 'N');

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

TEST(PortNames, ComNamesMapToPlatformPortsAndOtherNamesStay) {
  EXPECT_EQ(portDevicePath("COM1"), "/dev/ttyS0");
  EXPECT_EQ(portDevicePath("COM12"), "/dev/ttyS11");
  for (const char* other :
       {"COM0", "COM", "com3", "COM1a", "/dev/pts/7", "COM99999999999999999999999"})
    EXPECT_EQ(portDevicePath(other), other);
  EXPECT_TRUE(naturalLess("ttyS2", "ttyS10") && !naturalLess("ttyS10", "ttyS2"));
  EXPECT_TRUE(naturalLess("ttyS", "ttyS0") && naturalLess("x1y2", "x1y10"));
  EXPECT_NE(naturalLess("a01", "a1"), naturalLess("a1", "a01"));  // strict even when equal by value
}

TEST(PortNames, DriverBackedPortsInNaturalOrderEachSayingWhatItIsThenTheStableLinks) {
  const testing::TempDir dir;
  const fs::path root(dir.path);
  const fs::path sys = root / "sys/class/tty";
  auto write = [](const fs::path& f, const char* text) {
    fs::create_directories(f.parent_path());
    std::ofstream(f) << text << "\n";
  };
  // An FTDI adapter (ttyUSB0 two levels below its USB device), one whose
  // product already names its maker (ttyUSB1), a modem that only has ids
  // (ttyACM0 one level below), platform ports.
  const fs::path usbRoot = root / "sys/devices/usb1";
  for (const auto& [dev, files] : std::vector<std::pair<const char*, std::vector<std::pair<const char*, const char*>>>>{
           {"1-1", {{"idVendor", "0403"}, {"manufacturer", "FTDI"}, {"product", "FT232R USB UART"}}},
           {"1-3", {{"idVendor", "067b"}, {"manufacturer", "Prolific"}, {"product", "Prolific USB-Serial Controller"}}},
           {"1-2", {{"idVendor", "2341"}, {"idProduct", "0043"}}}})
    for (const auto& [name, text] : files) write(usbRoot / dev / name, text);
  for (const char* d : {"1-1/1-1:1.0/ttyUSB0", "1-3/1-3:1.0/ttyUSB1", "1-2/1-2:1.0"})
    fs::create_directories(usbRoot / d);
  // ttyS1 and ttyS3: registered slots with no UART behind them; tty5: no driver behind it.
  using Tty = std::tuple<const char*, std::string, const char*>;  // name, device below devices/, UART type
  for (auto [name, device, type] :
       {Tty{"ttyUSB0", "usb1/1-1/1-1:1.0/ttyUSB0", nullptr}, {"ttyUSB1", "usb1/1-3/1-3:1.0/ttyUSB1", nullptr},
        {"ttyACM0", "usb1/1-2/1-2:1.0", nullptr}, {"ttyS0", "serial8250", "4"}, {"ttyS10", "serial8250", "4"},
        {"ttyS2", "serial8250", "99"}, {"ttyS1", "serial8250", "0"}, {"ttyS3", "serial8250", nullptr},
        {"tty5", "", nullptr}}) {
    fs::create_directories(sys / name);
    if (!device.empty()) fs::create_directory_symlink("../../../devices/" + device, sys / name / "device");
    if (type) write(sys / name / "type", type);
  }
  const fs::path byId = root / "dev/serial/by-id";
  fs::create_directories(byId);
  fs::create_symlink("../../ttyUSB0", byId / "usb-FTDI_FT232R_USB_UART_A9X1-if00-port0");

  const std::string dev = (root / "dev").string();
  const auto entries = describeSerialPorts(sys.string(), dev, byId.string());
  std::vector<std::string> texts;
  for (const auto& e : entries) texts.push_back(entryText(e));
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "USB device 2341:0043 \u2014 " + dev + "/ttyACM0",
                       "Serial port 16550A \u2014 COM1 (" + dev + "/ttyS0)",
                       "Serial port \u2014 COM3 (" + dev + "/ttyS2)",
                       "Serial port 16550A \u2014 COM11 (" + dev + "/ttyS10)",
                       "FTDI FT232R USB UART \u2014 " + dev + "/ttyUSB0",
                       "Prolific USB-Serial Controller \u2014 " + dev + "/ttyUSB1",
                       "FTDI FT232R USB UART \u2014 " + byId.string() + "/usb-FTDI_FT232R_USB_UART_A9X1-if00-port0",
                   }));
  EXPECT_EQ(entries[6].path, dev + "/ttyUSB0");
  EXPECT_TRUE(describeSerialPorts(sys.string() + "/missing", dev, byId.string() + "/missing").empty());

  // Selection by prefix of the stored name, then of the device.
  for (auto [name, index] : {std::pair<std::string, int>{"COM1", 1}, {"COM3", 2}, {byId.string() + "/usb-FTDI", 6},
                             {dev + "/ttyUSB0", 4}, {"COM2", -1}})
    EXPECT_EQ(entryFor(entries, name), index) << name;
  std::vector<SerialPortEntry> com{{"COM10", "/dev/ttyS9", ""}, {"COM1", "/dev/ttyS0", ""}};
  EXPECT_EQ(entryFor(com, "COM1"), 0);  // the first entry that begins with the text
  EXPECT_EQ(entryFor(com, "/dev/ttyS0"), 1);
}

}  // namespace
}  // namespace vrx4
