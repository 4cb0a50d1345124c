#include "core/link/frame_acceptor.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace vrx4 {
namespace {

// Feeds bytes; returns every frame accepted along the way.
std::vector<std::vector<std::uint8_t>> feed(FrameAcceptor& acc, std::span<const std::uint8_t> bytes) {
  std::vector<std::vector<std::uint8_t>> out;
  for (std::uint8_t b : bytes) {
    if (acc.push(b)) out.emplace_back(acc.frame().begin(), acc.frame().end());
  }
  return out;
}

std::vector<std::uint8_t> vec(std::span<const std::uint8_t> s) { return {s.begin(), s.end()}; }
std::vector<std::uint8_t> measurement(std::uint16_t p2) { return vec(buildMeasurementFrame({1, 2, 3, p2, 5, 6}, 0, 0)); }

TEST(FrameAcceptor, StrayBytesAndResync) {
  // Stray bytes, a frame with a wrong checksum, and a candidate whose bytes
  // hold an 'A' (the acceptor resynchronises inside it), each followed by
  // a good frame: that one is accepted, and only it.
  const auto good = measurement(6000);
  auto bad = measurement(100);
  bad[15] ^= 0x01;
  FrameAcceptor acc;
  for (std::vector<std::uint8_t> in : {std::vector<std::uint8_t>{0x13, 0x37}, bad, std::vector<std::uint8_t>{'A', 'A', 'A'}}) {
    acc.expect(ReplyKind::Measurement);
    in.insert(in.end(), good.begin(), good.end());
    const auto frames = feed(acc, in);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], good);
  }
}

TEST(FrameAcceptor, InformationAndMemoryLengths) {
  FrameAcceptor acc;
  const std::array<std::uint8_t, 8> info{9, 0, 0, 0, 0, 0, 0, 1};
  acc.expect(ReplyKind::Information);
  // A measurement frame is not an information frame: no 'E' header, no accept.
  EXPECT_TRUE(feed(acc, measurement(1)).empty());
  auto frames = feed(acc, buildInformationFrame(info));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].size(), 11u);

  const TxFrame mem = buildMemoryFrame(0x14, 0x2A, std::vector<std::uint8_t>(10, 0x5A));
  acc.expect(ReplyKind::Memory, 10);
  EXPECT_EQ(acc.expectedLength(), 15u);
  frames = feed(acc, mem.bytes());
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].size(), 15u);

  // The same reply awaited with the wrong count never completes.
  acc.expect(ReplyKind::Memory, 4);
  EXPECT_TRUE(feed(acc, mem.bytes()).empty());
}

TEST(FrameAcceptor, RandomStreamsWithEmbeddedFrames) {
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 1000; ++round) {
    const int kind = round % 3;
    const int count = 1 + round % 31;
    std::vector<std::uint8_t> data(kind == 1 ? 8 : static_cast<std::size_t>(count)), frame;
    for (auto& b : data) b = static_cast<std::uint8_t>(byte(rng));
    FrameAcceptor acc;
    if (kind == 0) frame = measurement(static_cast<std::uint16_t>(round));
    else if (kind == 1) frame = vec(buildInformationFrame(std::span<const std::uint8_t, 8>(data.data(), 8)));
    else frame = vec(buildMemoryFrame(static_cast<std::uint8_t>(byte(rng)), 0x20, data).bytes());
    acc.expect(static_cast<ReplyKind>(kind), count);
    // Random noise, which may hold the header byte, then the frame. The
    // noise may by chance complete a sound frame of its own; what matters
    // is that the embedded one is found and nothing is read out of bounds.
    std::vector<std::uint8_t> stream(static_cast<std::size_t>(byte(rng) % 60));
    for (auto& b : stream) b = static_cast<std::uint8_t>(byte(rng));
    const std::size_t noise = stream.size();
    stream.insert(stream.end(), frame.begin(), frame.end());
    bool found = false;
    for (std::size_t i = 0; i < stream.size(); ++i) {
      if (acc.push(stream[i]) && i == stream.size() - 1) found = std::ranges::equal(acc.frame(), frame);
      ASSERT_LE(acc.buffered(), acc.expectedLength());
    }
    // The buffer slides one byte at a time, so every start position is
    // tried and the embedded frame is always reached.
    EXPECT_TRUE(found) << "round " << round << " noise " << noise;
  }
}

}  // namespace
}  // namespace vrx4
