// A transfer that loses its line goes on only with the same regulator:
// after the port comes back, or after a second of silence, the engine
// reads the serial number before it sends one more byte of the transfer.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "engine_harness.h"
#include "core/sim/factory_images.h"

namespace vrx4::testing {
namespace {

constexpr DeviceState::Serial kFirst{0x01, 0x23, 0x45};
constexpr DeviceState::Serial kSecond{0x07, 0x77, 0x70};

class IdentityResumeTest : public EngineTest {
 protected:
  // Reads the device so that the engine knows whose images it holds.
  void loadFirst() {
    state.setMessageTexts("Reload eeprom", "Reset VRX", "%s answered, %s half-written");
    engine->start();
    ASSERT_TRUE(readAll());
    recorder.clearPosted();
    clearReceived();
  }
  // A whole write of changed images (op 4), published but not awaited.
  void startWholeWrite(std::uint8_t marker) {
    state.withImages([&](Images& im) {
      im.g_optionEdit = im.g_optionDevice;
      im.g_baseEdit = im.g_baseDevice;
      im.g_optionEdit[0x05] = marker;
      im.g_baseEdit[0x60] = marker;
    });
    ASSERT_EQ(state.publishRequest(request(op::kWriteOptionThenBase)), DeviceState::Publish::Accepted);
  }
  bool waitForOp(std::uint32_t a, std::uint32_t b, int block) {
    return recorder.waitUntil(
        [&](auto&) {
          const auto o = state.g_xferOp.load();
          return (o == a || o == b) && state.g_xferBlock.load() >= block;
        },
        20);
  }
  bool sawIdentityRead(const std::vector<std::uint8_t>& rx) {
    const auto frame = buildMemoryRead(Area::Base, 0x25, 4);
    const auto bytes = frame.bytes();
    return std::search(rx.begin(), rx.end(), bytes.begin(), bytes.end()) != rx.end();
  }
};

TEST_F(IdentityResumeTest, WriteEndsWhenAnotherRegulatorAnswersTheReopenedPort) {
  loadFirst();
  startWholeWrite(0xA5);
  // Pull the first regulator while its BASE area is being written.
  ASSERT_TRUE(waitForOp(op::kWriteBase, 8, 3));
  server->stop();

  // A different regulator appears on the same path within the time-out.
  sim::SimDevice second(sim::factoryImages(kSecond));
  sim::PtyServer other(second, sim::PtyServer::Options{false, link});
  ASSERT_TRUE(other.start()) << other.error();
  ASSERT_TRUE(recorder.waitUntil([](auto& v) { return has(v, msg::kReloadStarted, 0); }, 10));

  // The second regulator got no write at all; the engine says which
  // regulator answered and which one it expected, and reloads.
  long writes = 0;
  other.withDevice([&](sim::SimDevice& d) { writes = d.writesStored(); });
  EXPECT_EQ(writes, 0);
  EXPECT_EQ(recorder.boxSnapshot(), (std::vector<std::string>{"07 77 70 answered, 01 23 45 half-written"}));
  const auto id = state.lastIdentity();
  EXPECT_EQ(id.answered, kSecond);
  EXPECT_EQ(id.expected, kFirst);
  ASSERT_TRUE(recorder.waitUntil([](auto& v) { return has(v, msg::kTransferDone, 1); }, 20));
  EXPECT_EQ(recorder.count(msg::kTransferDone, 2), 0);
  EXPECT_EQ(state.device(Area::Base)[0x27], kSecond[2]);
  engine->stop();
  other.stop();
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
  ASSERT_EQ(state.publishRequest(request(op::kWriteBase)), DeviceState::Publish::Accepted);
  // Pulled before the serial number's block and after it: both times the
  // same regulator comes back and the write carries on.
  ASSERT_TRUE(waitForOp(op::kWriteBase, 8, 3));
  server->hangUp(1200);
  ASSERT_TRUE(waitForOp(op::kWriteBase, 8, 12));
  clearReceived();
  server->hangUp(1200);
  ASSERT_TRUE(recorder.waitUntil([](auto& v) { return has(v, msg::kTransferDone, 2); }, 20));
  // The box follows the end notice.
  ASSERT_TRUE(recorder.waitUntil([&](auto&) { return !recorder.boxes.empty(); }, 5));
  EXPECT_TRUE(sawIdentityRead(received()));
  EXPECT_EQ(recorder.count(msg::kReloadStarted, 0), 0);
  EXPECT_EQ(recorder.boxSnapshot(), (std::vector<std::string>{"Reset VRX"}));
  const Image sb = simImage(Area::Base);
  EXPECT_EQ(sb[0x27], kSecond[2]);
  EXPECT_EQ(sb[0x60], 0x5A);
}

TEST_F(IdentityResumeTest, SilenceMidTransferChecksTheRegulatorBehindALivePort) {
  loadFirst();
  startWholeWrite(0x3C);
  ASSERT_TRUE(waitForOp(op::kWriteOptionThenBase, 20, 4));
  // The adapter stays; the regulator behind it goes quiet and another one
  // (here: the same simulated device given another serial number) answers.
  server->withDevice([](sim::SimDevice& d) { d.faults().silent = true; });
  ASSERT_TRUE(recorder.waitUntil([](auto& v) { return has(v, msg::kLinkState, 3); }, 5));
  server->withDevice([](sim::SimDevice& d) {
    Image b = d.image(Area::Base);
    std::copy(kSecond.begin(), kSecond.end(), b.begin() + 0x25);
    d.setImage(Area::Base, b);
    d.faults().silent = false;
  });
  ASSERT_TRUE(recorder.waitUntil([](auto& v) { return has(v, msg::kReloadStarted, 0); }, 10));
  EXPECT_EQ(state.lastIdentity().answered, kSecond);
  ASSERT_TRUE(recorder.waitUntil([](auto& v) { return has(v, msg::kTransferDone, 1); }, 20));
  EXPECT_EQ(recorder.count(msg::kTransferDone, 3), 0);
  // The BASE area was never touched.
  EXPECT_NE(simImage(Area::Base)[0x60], 0x3C);
}

TEST_F(IdentityResumeTest, ReadOfAnotherRegulatorIsAbandonedOrStartedAfresh) {
  loadFirst();
  // A reload of the known regulator, swapped half-way: abandoned, and the
  // new regulator is read from the start with the mismatch message.
  ASSERT_EQ(state.publishRequest(request(op::kReadOption)), DeviceState::Publish::Accepted);
  ASSERT_TRUE(waitForOp(op::kReadOption, op::kReadOption, 5));
  server->stop();
  sim::SimDevice second(sim::factoryImages(kSecond));
  sim::PtyServer other(second, sim::PtyServer::Options{false, link});
  ASSERT_TRUE(other.start()) << other.error();
  ASSERT_TRUE(recorder.waitUntil([](auto& v) { return has(v, msg::kTransferDone, 1); }, 20));
  EXPECT_TRUE(has(recorder.snapshot(), msg::kReloadStarted, 0));
  EXPECT_EQ(recorder.boxSnapshot(), (std::vector<std::string>{"Reload eeprom"}));  // nothing half-written
  Image secondOption{};
  other.withDevice([&](sim::SimDevice& d) { secondOption = d.image(Area::Option); });
  const Image opt = state.device(Area::Option);
  EXPECT_TRUE(std::equal(opt.begin(), opt.begin() + 160, secondOption.begin()));
  EXPECT_EQ(state.device(Area::Base)[0x27], kSecond[2]);
  engine->stop();
  other.stop();
}

}  // namespace
}  // namespace vrx4::testing
