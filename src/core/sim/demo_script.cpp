#include "core/sim/demo_script.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "core/link/frames.h"

namespace vrx4::sim {
namespace {

std::string hex(const std::vector<std::uint8_t>& bytes) {
  std::string s;
  char b[4];
  for (auto v : bytes) {
    std::snprintf(b, sizeof b, "%02X ", v);
    s += b;
  }
  if (!s.empty()) s.pop_back();
  return s;
}

// Reads exactly n bytes or gives up after 500 ms.
std::vector<std::uint8_t> readReply(int fd, std::size_t n) {
  std::vector<std::uint8_t> got;
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  while (got.size() < n && std::chrono::steady_clock::now() < until) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    std::uint8_t b;
    if (::read(fd, &b, 1) == 1) got.push_back(b);
  }
  return got;
}

std::string describeMeasurement(const std::vector<std::uint8_t>& f) {
  auto w = [&](std::size_t at) { return f[at] | (f[at + 1] << 8); };
  char s[200];
  std::snprintf(s, sizeof s,
                "measurement: AUXin %.3f V, CONTROL %.3f V, 24V %.2f V, P2 %.2f bar, Uout %.2f V, "
                "Iout %.2f mA, status %02X",
                w(1) / 1000.0, static_cast<std::int16_t>(w(3)) / 1000.0, w(5) / 1000.0, w(7) / 1000.0,
                w(9) / 1000.0, w(11) / 1000.0, f[13]);
  return s;
}

}  // namespace

int runDemoScript(const std::string& hostPath, std::ostream& out) {
  const int fd = ::open(hostPath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    out << "cannot open " << hostPath << "\n";
    return 1;
  }
  termios t{};
  tcgetattr(fd, &t);
  cfmakeraw(&t);
  cfsetispeed(&t, B38400);
  cfsetospeed(&t, B38400);
  tcsetattr(fd, TCSANOW, &t);

  int failures = 0;
  auto send = [&](std::uint8_t byte, std::size_t replyLength, const char* what) {
    (void)!::write(fd, &byte, 1);
    const auto reply = readReply(fd, replyLength);
    char sent[8];
    std::snprintf(sent, sizeof sent, "%02X", byte);
    out << "host -> " << sent << "  (" << what << ")\n";
    out << "  <- " << hex(reply) << "\n";
    if (reply.size() != replyLength || !frameIsSound(reply)) {
      out << "     (no sound reply)\n";
      ++failures;
      return reply;
    }
    if (reply[0] == 'A') out << "     " << describeMeasurement(reply) << "\n";
    return reply;
  };

  out << "Simulated VRX4 regulator on " << hostPath << "\n\n";
  send('R', kMeasurementFrameLength, "measurement request");
  const TxFrame read = buildMemoryRead(Area::Base, 0x25, 4);
  std::vector<std::uint8_t> last;
  for (std::size_t i = 0; i < read.length; ++i) {
    const bool final = i + 1 == read.length;
    last = send(read.data[i], final ? 9 : kMeasurementFrameLength,
                final ? "end of: read 4 BASE bytes at 0x25" : "memory read, one byte at a time");
  }
  if (last.size() == 9) {
    char sn[40];
    std::snprintf(sn, sizeof sn, "%02X %02X %02X", last[3], last[4], last[5]);
    out << "     memory: BASE 0x25..0x28, serial number " << sn << "\n";
  }
  const auto info = send('E', kInformationFrameLength, "information request");
  if (info.size() == kInformationFrameLength) {
    out << "     information codes:";
    for (std::size_t i = 1; i <= 8; ++i) out << ' ' << static_cast<int>(info[i]);
    out << "\n";
  }
  ::close(fd);
  out << "\n" << (failures == 0 ? "every request answered" : "some requests were not answered") << "\n";
  return failures == 0 ? 0 : 1;
}

}  // namespace vrx4::sim
