// Every write reads the serial number before its first byte and goes on
// only with the regulator its images came from; file mode takes the
// device images over from a running full read without one of its replies
// landing in them.
#include <gtest/gtest.h>

#include "engine_harness.h"
#include "memory_frames.h"

namespace vrx4::testing {
namespace {

constexpr DeviceState::Serial kSwapped{0x07, 0x77, 0x70};

class WriteIdentityTest : public EngineTest {
 protected:
  std::vector<std::vector<std::uint8_t>> framesOnTheLine() { return memoryFrames(received()); }
  bool waitForReadBlock(int block) {
    return recorder.waitUntil(
        [&](auto&) { return state.g_xferOp.load() == op::kReadOption && state.g_xferBlock.load() >= block; }, 20);
  }
};

TEST_F(WriteIdentityTest, WriteReadsTheSerialFirstAndSendsNothingToAnotherRegulator) {
  state.setMessageTexts("Reload eeprom", "Reset VRX", "%s answered, %s half-written", "%s answered, not %s");
  engine->start();
  ASSERT_TRUE(readAll());

  // The same regulator: the identity read goes first, then the write.
  clearReceived();
  recorder.clearPosted();
  ASSERT_TRUE(transfer(request(op::kWriteSetpointThenBaseRange, 1, 4, {0x10, 0x11, 0x12, 0x13}), 1));
  auto frames = framesOnTheLine();
  ASSERT_GE(frames.size(), 2u);
  const TxFrame identity = buildMemoryRead(Area::Base, 0x25, 4);
  EXPECT_TRUE(std::ranges::equal(identity.bytes(), frames[0]));
  EXPECT_EQ(recorder.count(msg::kReloadStarted, 0), 0);

  // Another regulator behind the line since the images were read: not one
  // write frame, the user told that nothing was written, its images read.
  server->withDevice([](sim::SimDevice& d) {
    Image b = d.image(Area::Base);
    std::copy(kSwapped.begin(), kSwapped.end(), b.begin() + 0x25);
    d.setImage(Area::Base, b);
  });
  const long storedBefore = [&] {
    long n = 0;
    server->withDevice([&](sim::SimDevice& d) { n = d.writesStored(); });
    return n;
  }();
  clearReceived();
  recorder.clearPosted();
  ASSERT_EQ(state.publishRequest(request(op::kWriteSetpointThenBaseRange, 1, 4, {0x20, 0x21, 0x22, 0x23})),
            DeviceState::Publish::Accepted);
  ASSERT_TRUE(recorder.waitUntil([](auto& v) { return has(v, msg::kTransferDone, 1); }, 20));
  EXPECT_TRUE(has(recorder.snapshot(), msg::kReloadStarted, 0));
  for (const auto& f : framesOnTheLine()) EXPECT_TRUE(isReadFrame(f));
  server->withDevice([&](sim::SimDevice& d) { EXPECT_EQ(d.writesStored(), storedBefore); });
  EXPECT_EQ(simImage(Area::Base)[1], 0x10);
  const auto id = state.lastIdentity();
  EXPECT_EQ(id.answered, kSwapped);
  EXPECT_FALSE(id.written);
  EXPECT_EQ(recorder.boxSnapshot().back(), "07 77 70 answered, not 01 23 45");
  EXPECT_TRUE(imagesMatchTheRegulator());
}

TEST_F(WriteIdentityTest, FileModeTakesTheImagesOverFromARunningRead) {
  engine->start();
  Image file{};
  file.fill(0xEE);

  // Opened while a full read runs: the engine drops the read between two
  // frames, and the file's images stay exactly as loaded.
  ASSERT_EQ(state.publishRequest(request(op::kReadOption)), DeviceState::Publish::Accepted);
  ASSERT_TRUE(waitForReadBlock(3));
  state.openFileMode("/tmp/opened.txt");
  state.setDevice(Area::Option, file);
  state.setDevice(Area::Base, file);
  EXPECT_FALSE(state.fullReadRunning());
  ASSERT_TRUE(recorder.waitUntil([&](auto&) { return !state.requestPending(); }, 5));
  EXPECT_EQ(state.device(Area::Option), file);
  EXPECT_EQ(state.device(Area::Base), file);
  EXPECT_EQ(recorder.count(msg::kTransferDone, 1), 0);
  EXPECT_EQ(state.g_eepromLoaded.load(), 0);

  // Reload EEPROM in file mode, the file closed half-way: the read starts
  // again and fills the zeroed images whole.
  ASSERT_EQ(state.publishRequest(request(op::kReadOption)), DeviceState::Publish::Accepted);
  ASSERT_TRUE(waitForReadBlock(5));
  state.closeFileMode();
  EXPECT_TRUE(state.fullReadRunning());
  ASSERT_TRUE(recorder.waitUntil([](auto& v) { return has(v, msg::kTransferDone, 1); }, 20));
  EXPECT_TRUE(imagesMatchTheRegulator());

  // File mode waits for a write: it may not start while one runs.
  ASSERT_EQ(state.publishRequest(request(op::kWriteOptionRange, 9, 2, {0x01, 0x02})),
            DeviceState::Publish::Accepted);
  EXPECT_FALSE(state.fileModeMayStart());
  ASSERT_TRUE(recorder.waitUntil([&](auto&) { return !state.requestPending(); }, 20));
  EXPECT_TRUE(state.fileModeMayStart());
}

}  // namespace
}  // namespace vrx4::testing
