#include "core/link/device_state.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace vrx4 {
namespace {

Image pattern(std::uint8_t seed) {
  Image im{};
  for (std::size_t i = 0; i < im.size(); ++i) im[i] = static_cast<std::uint8_t>(seed + i);
  return im;
}

TransferRequest request(std::uint32_t o, int start = 0, int count = 0) {
  return {.op = o, .start = static_cast<std::int8_t>(start), .count = static_cast<std::int8_t>(count)};
}

TEST(DeviceState, FileModeWritesTouchExactlyTheirBytes) {
  DeviceState s;
  s.setDevice(Area::Option, pattern(1)), s.setDevice(Area::Base, pattern(2));
  s.setEdit(Area::Option, pattern(100)), s.setEdit(Area::Base, pattern(200));

  // Partial OPTION write of 8 bytes at 10: bytes 10..17 only.
  TransferRequest r = request(op::kWriteOptionRange, 10, 8);
  for (std::size_t i = 0; i < 8; ++i) r.scratch[i] = static_cast<std::uint8_t>(0xE0 + i);
  Image want = s.device(Area::Option);
  std::copy(r.scratch.begin(), r.scratch.begin() + 8, want.begin() + 10);
  ASSERT_TRUE(s.applyInFileMode(r));
  EXPECT_EQ(s.device(Area::Option), want);

  // Whole-image writes copy 115 OPTION / 112 BASE bytes, no more.
  ASSERT_TRUE(s.applyInFileMode(request(op::kWriteOptionThenBase)));
  const Images im = s.snapshot();
  for (std::size_t i = 0; i < kImageSize; ++i) {
    EXPECT_EQ(im.g_optionDevice[i], i < 115 ? im.g_optionEdit[i] : pattern(1)[i]) << i;
    EXPECT_EQ(im.g_baseDevice[i], i < 112 ? im.g_baseEdit[i] : pattern(2)[i]) << i;
  }

  // FLAG and CONSIGNE writes set byte 0 and then the range.
  r = request(op::kWriteSetpointThenBaseRange, 1, 2);
  r.baseSetpointValue = 0x5A;
  for (std::uint8_t i = 0; i < 4; ++i) r.scratch[i] = static_cast<std::uint8_t>(0x11 * (i + 1));
  const std::uint8_t fifth = s.device(Area::Base)[5];
  ASSERT_TRUE(s.applyInFileMode(r));
  // Two blocks of two bytes, as the device gets them: BASE 1..4.
  const Image b = s.device(Area::Base);
  EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.begin() + 6),
            (std::vector<std::uint8_t>{0x5A, 0x11, 0x22, 0x33, 0x44, fifth}));
  r.op = op::kWriteFlagThenOptionRange;
  r.optionFlagValue = 0x0C;
  ASSERT_TRUE(s.applyInFileMode(r));
  EXPECT_EQ(s.device(Area::Option)[0], 0x0C);

  // A read is not applied; a range past the end is cut at the image end.
  EXPECT_FALSE(s.applyInFileMode(request(op::kReadOption)));
  r = request(op::kWriteBaseRange, 0xFC, 64);  // address 252
  r.scratch.fill(0x77);
  ASSERT_TRUE(s.applyInFileMode(r));
  const Image cut = s.device(Area::Base);
  EXPECT_EQ(std::vector<std::uint8_t>(cut.begin() + 251, cut.end()),
            (std::vector<std::uint8_t>{pattern(2)[251], 0x77, 0x77, 0x77, 0x77}));
  EXPECT_EQ(partialRange(r.start, -5).count, 0u);

  // Opening and closing a file zero the device images; edit images are not files.
  s.openFileMode("/tmp/x.txt");
  s.setDevice(Area::Base, pattern(6));
  s.closeFileMode();
  EXPECT_EQ(s.g_fileMode.load(), 0);
  EXPECT_TRUE(s.device(Area::Option) == Image{} && s.device(Area::Base) == Image{});
  EXPECT_EQ(s.edit(Area::Base), pattern(200));
}

TEST(DeviceState, OneRequestAtATimeEvenWhenPublishersRace) {
  DeviceState s;
  TransferRequest r = request(op::kWriteOptionRange, 9, 3);
  r.scratch[2] = 0x42;
  s.g_xferVerify = 1, s.g_xferBlock = 7;
  ASSERT_EQ(s.publishRequest(r), DeviceState::Publish::Accepted);
  EXPECT_TRUE(s.requestPending() && s.g_xferOp == op::kWriteOptionRange && s.g_xferVerify == 0 && s.g_xferBlock == 0);
  EXPECT_EQ(s.scratch()[2], 0x42);

  // A second request is refused and leaves the running one untouched.
  TransferRequest other = request(op::kReadOption);
  other.scratch[2] = 0x99;
  EXPECT_EQ(s.publishRequest(other), DeviceState::Publish::Busy);
  EXPECT_EQ(s.g_xferOp.load(), op::kWriteOptionRange);
  EXPECT_EQ(s.scratch()[2], 0x42);
  s.finishRequest();
  EXPECT_EQ(s.publishRequest(other), DeviceState::Publish::Accepted);
  s.finishRequest();

  // Requests no frame can carry are refused before they reach the engine;
  // a block of 1 or 31 bytes and 64 single bytes are the largest and
  // smallest that go through.
  for (auto [o, count] : {std::pair{op::kWriteBaseRange, 1}, {op::kWriteBaseRange, 31}, {op::kWriteOptionBytes, 64}}) {
    EXPECT_EQ(s.publishRequest(request(o, 0, count)), DeviceState::Publish::Accepted) << count;
    s.finishRequest();
  }
  // op 7, a read-back, is the engine's own.
  for (auto [o, count] : {std::pair{op::kWriteOptionBytes, 65}, {op::kWriteBaseRange, 0}, {op::kWriteBaseRange, 32}, {7u, 4}})
    EXPECT_EQ(s.publishRequest(request(o, 0, count)), DeviceState::Publish::Invalid) << o << " " << count;
  EXPECT_FALSE(s.requestPending());

  // Two threads race to publish; exactly one wins each round and the block
  // then holds that winner's fields whole (run under ThreadSanitizer too).
  for (int round = 0; round < 200; ++round) {
    int wins[2] = {0, 0};
    auto publisher = [&](int who) {
      TransferRequest mine = request(who == 0 ? op::kWriteOptionRange : op::kWriteBaseRange, 0, who == 0 ? 5 : 9);
      mine.scratch.fill(static_cast<std::uint8_t>(who + 1));
      if (s.publishRequest(mine) == DeviceState::Publish::Accepted) wins[who] = 1;
    };
    std::thread a(publisher, 0), b(publisher, 1);
    a.join(), b.join();
    ASSERT_EQ(wins[0] + wins[1], 1);
    const int who = wins[0] ? 0 : 1;
    EXPECT_TRUE(s.g_xferCount == (who == 0 ? 5 : 9) && s.scratch()[63] == who + 1) << round;
    s.finishRequest();
  }
}

}  // namespace
}  // namespace vrx4
