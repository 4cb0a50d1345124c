#include "core/sim/sim_device.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>

#include "core/link/frames.h"
#include "core/link/param_dictionary.h"
#include "core/link/serial_port.h"
#include "core/sim/pty_server.h"

namespace vrx4::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Sends a frame byte by byte; returns the reply to each byte.
std::vector<Bytes> sendFrame(SimDevice& d, std::span<const std::uint8_t> frame, double& t) {
  std::vector<Bytes> replies;
  for (auto b : frame) replies.push_back(d.onByte(b, t += 0.001));
  return replies;
}

TEST(SimDevice, AnswersEveryByteWithTheRightFrameStoresOnlySoundWritesAndMakesTheFaultsItIsTold) {
  SimDevice d;
  double t = 0;
  for (auto [request, size] : {std::pair{'R', 17u}, {'E', 11u}}) {
    const Bytes r = d.onByte(static_cast<std::uint8_t>(request), t);
    ASSERT_EQ(r.size(), size);
    EXPECT_TRUE(r[0] == (request == 'R' ? 'A' : 'E') && frameIsSound(r)) << request;
  }

  // 44 25 64 CD 7E: four measurement frames, then the memory frame.
  auto replies = sendFrame(d, buildMemoryRead(Area::Base, 0x25, 4).bytes(), t);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(replies[i].size(), 17u) << i;
  const Bytes& mem = replies[4];
  ASSERT_TRUE(mem.size() == 9u && frameIsSound(mem));
  EXPECT_EQ(Bytes(mem.begin(), mem.begin() + 6), (Bytes{'D', 0x25, 0x64, 0x01, 0x23, 0x45}));

  // Only sound writes are stored.
  TxFrame w = buildMemoryWrite(Area::Option, 0x00, Bytes{0x3C});
  for (auto& reply : sendFrame(d, w.bytes(), t)) EXPECT_EQ(reply.size(), 17u);
  EXPECT_EQ(d.image(Area::Option)[0], 0x3C);

  w.data[3] = 0x99;  // the checksum no longer matches
  sendFrame(d, w.bytes(), t);
  EXPECT_EQ(d.image(Area::Option)[0], 0x3C);

  // A frame cut short and followed by line silence is dropped; the next
  // frame from its first byte is understood.
  w = buildMemoryWrite(Area::Base, 0x40, Bytes{1, 2, 3, 4});
  sendFrame(d, w.bytes().first(3), t);
  t += 0.5;
  sendFrame(d, w.bytes(), t);
  EXPECT_TRUE(d.image(Area::Base)[0x40] == 1 && d.image(Area::Base)[0x43] == 4);

  // Injected faults.
  d.faults().corruptNext = 1;
  EXPECT_FALSE(frameIsSound(d.onByte('R', 0)));
  EXPECT_TRUE(frameIsSound(d.onByte('R', 0)));
  d.faults().dropNext = 1;
  EXPECT_TRUE(d.onByte('R', 0).empty());
  d.faults().strayNext = 1;
  const Bytes s = d.onByte('R', 0);
  EXPECT_TRUE(s.size() == 20u && s[0] != 'A' && frameIsSound(std::span(s).subspan(3))) << s.size();

  // A stale read returns the bytes from before the last write, once.
  sendFrame(d, buildMemoryWrite(Area::Option, 0x05, Bytes{0xAB}).bytes(), t);
  d.faults().staleReads = 1;
  const TxFrame rd = buildMemoryRead(Area::Option, 0x05, 1);
  EXPECT_NE(sendFrame(d, rd.bytes(), t).back()[3], 0xAB);
  EXPECT_EQ(sendFrame(d, rd.bytes(), t).back()[3], 0xAB);

  d.faults().silentAfter = d.bytesReceived();
  EXPECT_TRUE(d.onByte('R', 0).empty());
}

TEST(SimDevice, PlantFollowsTheSetpointRaisesTheAlarmAndStatusBitsFollowTheImages) {
  SimDevice d;
  d.plant().controlInput = 6.0;  // 6 bar with the factory scaling
  for (int i = 0; i < 300; ++i) d.tick(0.01);
  const Bytes f = d.onByte('R', 0);
  EXPECT_NEAR(f[7] | (f[8] << 8), 6000, 60);
  EXPECT_NEAR(f[9] | (f[10] << 8), 6000, 60);  // Uout: 1 V per bar
  EXPECT_EQ(f[13] & 1, 0);

  // A setpoint jump far beyond the limits for longer than the delay.
  d.plant().controlInput = 10.0;
  d.tick(0.01);
  EXPECT_EQ(d.onByte('R', 0)[13] & 1, 0);  // not yet: AL_DEL_ON is 1 s
  Image o = d.image(Area::Option);
  writeField(o, *findField(Area::Option, "AL_DEL_ON"), 1);  // 20 ms
  d.setImage(Area::Option, o);
  for (int i = 0; i < 5; ++i) d.tick(0.01);
  EXPECT_EQ(d.onByte('R', 0)[13] & 1, 1);

  // Flags from the images; an information code pending until read.
  Image b = d.image(Area::Base);
  o[0] = 0x0C, b[0] = 0x01;
  d.setImage(Area::Option, o), d.setImage(Area::Base, b);
  EXPECT_EQ(d.onByte('R', 0)[13] & 0x1C, 0x1C);
  d.setInfoCodes({7, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(d.onByte('R', 0)[13] & 0x02, 0x02);
  EXPECT_EQ(d.onByte('E', 0)[1], 7);
  EXPECT_EQ(d.onByte('R', 0)[13] & 0x02, 0);  // read, no longer pending
  EXPECT_EQ(d.onByte('E', 0)[1], 7);            // but still reported when asked
}

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
