#include "core/sim/pty_server.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>

#include "core/link/frames.h"
#include "core/link/serial_port.h"

namespace vrx4::sim {
namespace {

// Reads up to n bytes, each within a second; stops at silence or a failure.
std::vector<std::uint8_t> readN(SerialPort& port, std::size_t n, ReadResult& last) {
  std::vector<std::uint8_t> got;
  for (std::uint8_t b = 0; got.size() < n && (last = port.readByte(b, 1000)) == ReadResult::Byte;) got.push_back(b);
  return got;
}

TEST(PtyServer, ServesAHostThatComesAndGoesWithPacedReplies) {
  SimDevice device;
  const std::string link = "/tmp/vrx4-sim-test-" + std::to_string(::getpid());
  PtyServer server(device, {true, link});
  ASSERT_TRUE(server.start()) << server.error();
  ReadResult last = ReadResult::Nothing;
  for (int round = 0; round < 2; ++round) {
    SerialPort host;
    ASSERT_TRUE(host.open(server.hostPath()));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(host.writeByte('R'));
    const auto reply = readN(host, 17, last);
    ASSERT_EQ(reply.size(), 17u);
    EXPECT_TRUE(frameIsSound(reply));
    // Paced: the reply takes its wire time.
    EXPECT_GE(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
              17 * PtyServer::kByteSeconds);
  }

  // Unplugged: the host's line fails (the engine test sees the line come
  // back and the read carry on).
  SerialPort host;
  ASSERT_TRUE(host.open(server.hostPath()));
  server.hangUp(200);
  readN(host, 1, last);
  EXPECT_EQ(last, ReadResult::Failed);
  host.close();
  server.stop();
  EXPECT_NE(::access(link.c_str(), F_OK), 0);  // the link is removed
}

}  // namespace
}  // namespace vrx4::sim
