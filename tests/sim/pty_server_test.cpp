#include "core/sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "core/link/frames.h"

namespace vrx4::sim {
namespace {

int openHost(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd >= 0) {
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
  }
  return fd;
}

// Reads up to n bytes within `ms`; a read error ends it early.
std::vector<std::uint8_t> readN(int fd, std::size_t n, int ms, bool* failed = nullptr) {
  std::vector<std::uint8_t> got;
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (got.size() < n && std::chrono::steady_clock::now() < until) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 10) <= 0) continue;
    std::uint8_t b;
    if (::read(fd, &b, 1) != 1) {
      if (failed) *failed = true;
      break;
    }
    got.push_back(b);
  }
  return got;
}

TEST(PtyServer, ServesAHostThatComesAndGoesWithPacedReplies) {
  SimDevice device;
  const std::string link = "/tmp/vrx4-sim-test-" + std::to_string(::getpid());
  PtyServer server(device, {true, link});
  ASSERT_TRUE(server.start()) << server.error();
  for (int round = 0; round < 2; ++round) {
    const int fd = openHost(server.hostPath());
    ASSERT_GE(fd, 0);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(::write(fd, "R", 1), 1);
    const auto reply = readN(fd, 17, 1000);
    ASSERT_EQ(reply.size(), 17u);
    EXPECT_TRUE(frameIsSound(reply));
    // Paced: the reply takes its wire time.
    EXPECT_GE(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
              17 * PtyServer::kByteSeconds);
    ::close(fd);
  }

  // Unplugged: the host's line fails (the engine test sees the line come
  // back and the read carry on).
  const int fd = openHost(server.hostPath());
  ASSERT_GE(fd, 0);
  server.hangUp(200);
  bool failed = false;
  readN(fd, 1, 1000, &failed);
  EXPECT_TRUE(failed);
  ::close(fd);
  server.stop();
  EXPECT_NE(::access(link.c_str(), F_OK), 0);  // the link is removed
}

}  // namespace
}  // namespace vrx4::sim
