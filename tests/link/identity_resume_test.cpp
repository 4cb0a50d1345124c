// Every write reads the serial number before its first byte and goes on
// only with the regulator its images came from; a transfer that loses its
// line goes on only with the same regulator: after the port comes back, or
// after a second of silence, the engine reads the serial number before it
// sends one more byte. File mode takes the device images over from a
// running full read without one of its replies landing in them.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "core/sim/factory_images.h"
#include "engine_harness.h"
#include "memory_frames.h"

namespace vrx4::testing {
namespace {

constexpr DeviceState::Serial kFirst{0x01, 0x23, 0x45};
constexpr DeviceState::Serial kSecond{0x07, 0x77, 0x70};

class IdentityResumeTest : public EngineTest {
 protected:
  // Reads the device so that the engine knows whose images it holds.
  void loadFirst() {
    state.setMessageTexts("Reload eeprom", "Reset VRX", "%s answered, %s half-written", "%s answered, not %s");
    engine->start();
    ASSERT_TRUE(readAll());
    recorder.clearPosted();
    clearReceived();
  }
  // The served regulator pulled; another one (kSecond) served on the same
  // path becomes the fixture's server.
  void swapRegulator() {
    server->stop();
    other = std::make_unique<sim::PtyServer>(second, sim::PtyServer::Options{false, link});
    ASSERT_TRUE(other->start()) << other->error();
    std::swap(server, other);
  }
  void TearDown() override { EngineTest::TearDown(); if (other) other->stop(); }

  sim::SimDevice second{sim::factoryImages(kSecond)};
  std::unique_ptr<sim::PtyServer> other;
};

TEST_F(IdentityResumeTest, WriteEndsWhenAnotherRegulatorAnswersTheReopenedPort) {
  loadFirst();
  startWholeWrite(0xA5);
  // Pull the first regulator while its BASE area is being written.
  // A different regulator appears on the same path within the time-out.
  ASSERT_TRUE(waitForOp(op::kWriteBase, 8, 3));
  swapRegulator();
  ASSERT_TRUE(recorder.waitFor(msg::kReloadStarted, 0, 10));

  // The second regulator got no write at all; the engine says which
  // regulator answered and which one it expected, and reloads.
  EXPECT_EQ(writesStored(), 0);
  EXPECT_EQ(recorder.boxSnapshot(), (std::vector<std::string>{"07 77 70 answered, 01 23 45 half-written"}));
  EXPECT_TRUE(state.lastIdentity().answered == kSecond && state.lastIdentity().expected == kFirst);
  ASSERT_TRUE(recorder.waitFor(msg::kTransferDone, 1, 20));
  EXPECT_EQ(recorder.count(msg::kTransferDone, 2), 0);
  EXPECT_EQ(state.device(Area::Base)[0x27], kSecond[2]);
}

TEST_F(IdentityResumeTest, SameRegulatorBackCarriesOnAfterTheIdentityRead) {
  loadFirst();
  // The write changes the serial number itself (a clone in access mode 4):
  // once that block is confirmed, the regulator carries the new number and
  // is still the same device.
  state.withImages([&](Images& im) {
    im.g_baseEdit = im.g_baseDevice;
    std::copy(kSecond.begin(), kSecond.end(), im.g_baseEdit.begin() + 0x25);
    im.g_baseEdit[0x60] = 0x5A;
  });
  // As the desktop program leaves it after the lamp went red: the images
  // are those of the regulator the link last heard, not confirmed since.
  state.g_eepromLoaded = 0;
  // The regulator falls silent some 300 bytes into the write (about BASE
  // block 17, well after the serial number's block 9), which holds the
  // write there whenever the line was pulled before.
  server->withDevice([](sim::SimDevice& d) { d.faults().silentAfter = d.bytesReceived() + 300; });
  ASSERT_EQ(state.publishRequest(request(op::kWriteBase)), DeviceState::Publish::Accepted);
  // Pulled before the serial number's block and after it: both times the
  // same regulator comes back and the write carries on.
  ASSERT_TRUE(waitForOp(op::kWriteBase, 8, 3));
  server->hangUp(1200);
  ASSERT_TRUE(recorder.waitUntil([&](auto&) { return onSim([](sim::SimDevice& d) { return d.faults().silent; }); }, 20));
  EXPECT_GE(state.g_xferBlock.load(), 12);
  clearReceived();
  server->hangUp(1200);
  // Answering again: the server takes the line down before it answers
  // another byte, so the write cannot end before the pull.
  server->withDevice([](sim::SimDevice& d) { d.faults().silent = false, d.faults().silentAfter = -1; });
  ASSERT_TRUE(recorder.waitFor(msg::kTransferDone, 2, 20));
  // The box follows the end notice.
  ASSERT_TRUE(recorder.waitUntil([&](auto&) { return !recorder.boxes.empty(); }, 5));
  const auto rx = received();
  EXPECT_FALSE(std::ranges::search(rx, buildMemoryRead(Area::Base, 0x25, 4).bytes()).empty());  // the identity read
  EXPECT_EQ(recorder.count(msg::kReloadStarted, 0), 0);
  EXPECT_EQ(recorder.boxSnapshot(), (std::vector<std::string>{"Reset VRX"}));
  EXPECT_TRUE(simImage(Area::Base)[0x27] == kSecond[2] && simImage(Area::Base)[0x60] == 0x5A);
}

TEST_F(IdentityResumeTest, ReadOfAnotherRegulatorIsAbandonedOrStartedAfresh) {
  loadFirst();
  // A reload of the known regulator, swapped half-way: abandoned, and the
  // new regulator is read from the start with the mismatch message.
  ASSERT_EQ(state.publishRequest(request(op::kReadOption)), DeviceState::Publish::Accepted);
  ASSERT_TRUE(waitForOp(op::kReadOption, op::kReadOption, 5));
  swapRegulator();
  ASSERT_TRUE(recorder.waitFor(msg::kTransferDone, 1, 20));
  EXPECT_TRUE(has(recorder.snapshot(), msg::kReloadStarted, 0));
  EXPECT_EQ(recorder.boxSnapshot(), (std::vector<std::string>{"Reload eeprom"}));  // nothing half-written
  EXPECT_TRUE(imagesMatchTheRegulator());
}

TEST_F(IdentityResumeTest, WriteReadsTheSerialFirstSendsNothingToAnotherRegulatorAndChecksItAfterSilence) {
  loadFirst();
  // The same regulator: the identity read goes first, then the write.
  ASSERT_TRUE(transfer(request(op::kWriteSetpointThenBaseRange, 1, 4, {0x10, 0x11, 0x12, 0x13}), 1));
  const auto frames = memoryFrames(received());
  ASSERT_GE(frames.size(), 2u);
  EXPECT_TRUE(std::ranges::equal(buildMemoryRead(Area::Base, 0x25, 4).bytes(), frames[0]));
  EXPECT_EQ(recorder.count(msg::kReloadStarted, 0), 0);

  // Another regulator behind the line since the images were read: not one
  // write frame, the user told that nothing was written, its images read.
  setSerial(kSecond);
  const long storedBefore = writesStored();
  clearReceived();
  ASSERT_TRUE(transfer(request(op::kWriteSetpointThenBaseRange, 1, 4, {0x20, 0x21, 0x22, 0x23}), 1));
  EXPECT_TRUE(has(recorder.snapshot(), msg::kReloadStarted, 0));
  for (const auto& f : memoryFrames(received())) EXPECT_TRUE(isReadFrame(f));
  EXPECT_EQ(writesStored(), storedBefore);
  EXPECT_EQ(simImage(Area::Base)[1], 0x10);
  EXPECT_TRUE(state.lastIdentity().answered == kSecond && !state.lastIdentity().written);
  EXPECT_EQ(recorder.boxSnapshot().back(), "07 77 70 answered, not 01 23 45");
  EXPECT_TRUE(imagesMatchTheRegulator());

  // Silence mid-transfer: the regulator behind a live port is checked.
  recorder.clearPosted();
  startWholeWrite(0x3C);
  ASSERT_TRUE(waitForOp(op::kWriteOptionThenBase, 20, 4));
  // The adapter stays; the regulator behind it goes quiet and another one
  // (here: the same simulated device given another serial number) answers.
  server->withDevice([](sim::SimDevice& d) { d.faults().silent = true; });
  ASSERT_TRUE(recorder.waitFor(msg::kLinkState, 3, 5));
  setSerial(kFirst);
  server->withDevice([](sim::SimDevice& d) { d.faults().silent = false; });
  ASSERT_TRUE(recorder.waitFor(msg::kReloadStarted, 0, 10));
  EXPECT_EQ(state.lastIdentity().answered, kFirst);
  ASSERT_TRUE(recorder.waitFor(msg::kTransferDone, 1, 20));
  EXPECT_EQ(recorder.count(msg::kTransferDone, 3), 0);
  // The BASE area was never touched.
  EXPECT_NE(simImage(Area::Base)[0x60], 0x3C);
}

TEST_F(IdentityResumeTest, FileModeTakesTheImagesOverFromARunningRead) {
  engine->start();
  Image file;
  file.fill(0xEE);
  // Opened while a full read runs: the engine drops the read between two
  // frames, and the file's images stay exactly as loaded.
  ASSERT_EQ(state.publishRequest(request(op::kReadOption)), DeviceState::Publish::Accepted);
  ASSERT_TRUE(waitForOp(op::kReadOption, op::kReadOption, 3));
  state.openFileMode("/tmp/opened.txt");
  state.setDevice(Area::Option, file), state.setDevice(Area::Base, file);
  EXPECT_FALSE(state.fullReadRunning());
  ASSERT_TRUE(recorder.waitUntil([&](auto&) { return !state.requestPending(); }, 5));
  EXPECT_TRUE(state.device(Area::Option) == file && state.device(Area::Base) == file);
  EXPECT_EQ(recorder.count(msg::kTransferDone, 1), 0);
  EXPECT_EQ(state.g_eepromLoaded.load(), 0);

  // Reload EEPROM in file mode, the file closed half-way: the read starts
  // again and fills the zeroed images whole.
  ASSERT_EQ(state.publishRequest(request(op::kReadOption)), DeviceState::Publish::Accepted);
  ASSERT_TRUE(waitForOp(op::kReadOption, op::kReadOption, 5));
  state.closeFileMode();
  EXPECT_TRUE(state.fullReadRunning());
  ASSERT_TRUE(recorder.waitFor(msg::kTransferDone, 1, 20));
  EXPECT_TRUE(imagesMatchTheRegulator());

  // File mode waits for a write: it may not start while one runs.
  ASSERT_EQ(state.publishRequest(request(op::kWriteOptionRange, 9, 2, {0x01, 0x02})), DeviceState::Publish::Accepted);
  EXPECT_FALSE(state.fileModeMayStart());
  ASSERT_TRUE(recorder.waitUntil([&](auto&) { return !state.requestPending(); }, 20));
  EXPECT_TRUE(state.fileModeMayStart());
}

}  // namespace
}  // namespace vrx4::testing
