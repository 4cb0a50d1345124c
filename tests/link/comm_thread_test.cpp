#include "core/link/comm_thread.h"

#include <gtest/gtest.h>

#include <thread>

#include "engine_harness.h"
#include "memory_frames.h"

namespace vrx4::testing {
namespace {

TEST_F(EngineTest, FullReadFillsBothImagesInTheBlockOrderAndTheIdentityCheckFollowsTheRegulator) {
  engine->start();
  ASSERT_TRUE(readAll());
  EXPECT_EQ(state.g_eepromLoaded.load(), 1);

  // 16 OPTION blocks of 10, then 29 BASE blocks of 4: address, then the
  // read's control byte.
  const auto frames = memoryFrames(received());
  ASSERT_EQ(frames.size(), 16u + 29u);
  for (std::size_t k = 0; k < 45; ++k)
    EXPECT_EQ(frames[k][1] | (frames[k][2] << 8), int(k < 16 ? (10 * k) | 0x2A00 : (4 * (k - 16)) | 0x6400)) << k;
  EXPECT_TRUE(imagesMatchTheRegulator());
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(recorder.count(msg::kTransferDone, 1) == 1 && recorder.boxSnapshot().empty());

  // Identity check of the same device: loaded again, nothing else.
  state.g_eepromLoaded = 0;
  engine->requestIdentityCheck();
  ASSERT_TRUE(recorder.waitUntil([&](auto&) { return state.g_eepromLoaded.load() == 1; }, 5));
  EXPECT_TRUE(recorder.boxSnapshot().empty());

  // Another device on the line: box, 0x46B, full read, automatic range.
  setSerial({0x01, 0x23, 0x99});
  recorder.clearPosted();
  engine->requestIdentityCheck();
  ASSERT_TRUE(recorder.waitFor(msg::kTransferDone, 1, 20));
  EXPECT_TRUE(has(recorder.snapshot(), msg::kReloadStarted, 0));
  EXPECT_EQ(recorder.boxSnapshot(), (std::vector<std::string>{"Reload eeprom"}));
  EXPECT_TRUE(state.m_bAutoScale.load());
  EXPECT_EQ(state.device(Area::Base)[0x27], 0x99);

  // In file mode the reply is ignored.
  state.g_fileMode = 1;
  state.g_eepromLoaded = 0;
  engine->requestIdentityCheck();
  ASSERT_TRUE(recorder.waitUntil([&](auto&) { return state.g_identifyRequest.load() == 0; }, 5));
  EXPECT_EQ(state.g_eepromLoaded.load(), 0);
}

TEST_F(EngineTest, WholeWriteVerifiesEveryBlockAndSurvivesStaleReadBacks) {
  engine->start();
  ASSERT_TRUE(readAll());
  Images im;
  state.withImages([&](Images& s) {
    s.g_optionEdit = s.g_optionDevice, s.g_baseEdit = s.g_baseDevice;
    for (std::size_t i = 0; i < 120; ++i) s.g_optionEdit[i] = static_cast<std::uint8_t>(i * 7);
    for (std::size_t i = 0; i < 116; ++i) s.g_baseEdit[i] = static_cast<std::uint8_t>(255 - i);
    im = s;
  });
  // The write's identity read and its first two read-backs see the old bytes.
  server->withDevice([](sim::SimDevice& d) { d.faults().staleReads = 3, d.clearReceived(); });
  ASSERT_TRUE(transfer(request(op::kWriteOptionThenBase), 2, 40));
  std::vector<std::uintptr_t> ends;
  for (auto& p : recorder.snapshot()) if (p.message == msg::kTransferDone) ends.push_back(p.wParam);
  EXPECT_EQ(ends, (std::vector<std::uintptr_t>{3, 2}));
  // The box follows the end notice.
  recorder.waitUntil([&](auto&) { return !recorder.boxes.empty(); }, 2);
  EXPECT_EQ(recorder.boxSnapshot(), (std::vector<std::string>{"Reset VRX"}));

  const Image so = simImage(Area::Option), sb = simImage(Area::Base), dev = state.device(Area::Option);
  EXPECT_TRUE(std::equal(so.begin(), so.begin() + 120, im.g_optionEdit.begin()));
  EXPECT_TRUE(std::equal(sb.begin(), sb.begin() + 116, im.g_baseEdit.begin()));
  EXPECT_TRUE(std::equal(dev.begin(), dev.begin() + 115, im.g_optionEdit.begin()));

  // 12 OPTION blocks and 29 BASE blocks written; the block whose read-back
  // was stale is written again with the same address.
  int optionWrites = 0, baseWrites = 0, firstBlockWrites = 0;
  for (auto& f : memoryFrames(received())) {
    if (isReadFrame(f)) continue;
    if (f[2] & 0x40) ++baseWrites;
    else ++optionWrites, firstBlockWrites += f[1] == 0;
  }
  EXPECT_EQ(baseWrites, 29);
  EXPECT_TRUE(optionWrites >= 12 && optionWrites <= 14) << optionWrites;
  EXPECT_GE(firstBlockWrites, 2);
}

TEST_F(EngineTest, FullReadSurvivesCorruptRepliesAndAVanishedPortAndPartialWritesTouchTheirRangesOnly) {
  server->withDevice([](sim::SimDevice& d) {
    d.faults().corruptProbability = 0.01, d.faults().dropProbability = 0.005, d.faults().strayProbability = 0.05;
  });
  engine->start();
  ASSERT_EQ(state.publishRequest(request(op::kReadOption)), DeviceState::Publish::Accepted);
  // Pull the plug in the middle of the OPTION blocks: the port comes back
  // (reopened a few times a second, not hundreds) and the read carries on.
  ASSERT_TRUE(recorder.waitUntil([&](auto&) { return state.g_xferBlock.load() >= 3; }, 5));
  server->hangUp(1500);
  ASSERT_TRUE(recorder.waitFor(msg::kLinkState, 3, 10));
  EXPECT_EQ(recorder.count(msg::kTransferDone, 1), 0);
  EXPECT_LE(recorder.count(msg::kLinkState, 3), 5);
  ASSERT_TRUE(recorder.waitFor(msg::kTransferDone, 1, 60));
  EXPECT_TRUE(imagesMatchTheRegulator());
  server->withDevice([](sim::SimDevice& d) { d.faults() = {}; });
  Image wantOpt = simImage(Area::Option), wantBase = simImage(Area::Base);

  // op 12: three single bytes at 0x40, 0x41, 0x42.
  clearReceived();
  ASSERT_TRUE(transfer(request(op::kWriteOptionBytes, 0x40, 3, {0xA1, 0xA2, 0xA3}), 1));
  int singles = 0;  // a write frame of any other length counts 100
  for (auto& f : memoryFrames(received())) singles += isReadFrame(f) ? 0 : f[2] == 0x01 ? 1 : 100;
  EXPECT_EQ(singles, 3);

  // op 18: setpoint byte, then two BASE blocks of 4 at 1 and 5; op 16: flag
  // byte, then 3 OPTION bytes at 9.
  TransferRequest r = request(op::kWriteSetpointThenBaseRange, 1, 4, {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17});
  r.baseSetpointValue = 0x01;
  ASSERT_TRUE(transfer(r, 1));
  r = request(op::kWriteFlagThenOptionRange, 9, 3, {0x80, 0x04, 0x00});
  r.optionFlagValue = 0x0C;
  ASSERT_TRUE(transfer(r, 1));

  for (auto [at, bytes] : {std::pair{0, std::vector<std::uint8_t>{0x0C}}, {9, {0x80, 0x04, 0x00}}, {0x40, {0xA1, 0xA2, 0xA3}}})
    std::ranges::copy(bytes, wantOpt.begin() + at);
  const std::uint8_t base[] = {0x01, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17};
  std::ranges::copy(base, wantBase.begin());
  EXPECT_TRUE(simImage(Area::Option) == wantOpt && simImage(Area::Base) == wantBase);
  EXPECT_TRUE(imagesMatchTheRegulator());  // the confirmed bytes are in the device images too
}

TEST_F(EngineTest, ReadCancellableButNeverAWrite) {
  // A cancel asked for while a read waited and seen by the engine only
  // once a write has taken the read's place leaves the write alone (the
  // write is made from this regulator's images, as the window's are).
  state.setDevice(Area::Base, simImage(Area::Base));
  ASSERT_EQ(state.publishRequest(request(op::kReadOption)), DeviceState::Publish::Accepted);
  EXPECT_TRUE(engine->cancelRead());
  state.finishRequest();
  ASSERT_EQ(state.publishRequest(request(op::kWriteOptionBytes, 0x40, 1, {0xA1})), DeviceState::Publish::Accepted);
  EXPECT_FALSE(engine->cancelRead());
  engine->start();
  ASSERT_TRUE(recorder.waitFor(msg::kTransferDone, 1, 20));
  EXPECT_EQ(simImage(Area::Option)[0x40], 0xA1);
  // A read cancelled half way: progress_engine_test.
}

TEST_F(EngineTest, TimeoutsTellSilenceFromGarbage) {
  server->withDevice([](sim::SimDevice& d) { d.faults().corruptProbability = 1.0; });
  engine->start();
  // Bytes keep coming, no frame is sound: "late", not "no device".
  ASSERT_TRUE(recorder.waitFor(msg::kLinkState, 2, 5));
  EXPECT_EQ(recorder.count(msg::kLinkState, 3), 0);
  server->withDevice([](sim::SimDevice& d) { d.faults().corruptProbability = 0, d.faults().silent = true; });
  ASSERT_TRUE(recorder.waitFor(msg::kLinkState, 3, 5));
  // Paced by the time-out: a few reports a second, not hundreds.
  const int before = recorder.count(msg::kLinkState, 3);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const int during = recorder.count(msg::kLinkState, 3) - before;
  EXPECT_TRUE(during >= 1 && during <= 5) << during;
}

TEST_F(EngineTest, LiveCommandEchoedAndResentOnMismatch) {
  state.g_currentPage = page::kLive, state.g_accessMode = 2;
  live.update([](LiveTestSnapshot& t) { t.m_bTestUout = 1, t.uoutText = "7.5"; });
  live.m_liveCommandRetry = 1;
  engine->start();
  ASSERT_TRUE(recorder.waitUntil([&](auto&) {
    return onSim([](sim::SimDevice& d) { return d.forced().uout && d.forced().uoutRaw == 7500; }) &&
           engine->measurement().m_value[4] == 7500.0f;
  }, 5));
  // Nothing differs any more: no resend is pending.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(live.m_liveCommandRetry.load(), 0);

  // The device misses the next two commands: the echo differs, and the
  // engine sends the command again until the device shows it.
  server->withDevice([](sim::SimDevice& d) { d.faults().ignoreLive = 2, d.clearReceived(); });
  live.update([](LiveTestSnapshot& t) { t.uoutText = "3"; });
  live.m_liveCommandRetry = 1;
  ASSERT_TRUE(recorder.waitUntil([&](auto&) { return engine->measurement().m_value[4] == 3000.0f; }, 5));
  EXPECT_GE(std::ranges::count(received(), 'A'), 3);

  // Entering VISUALISATION switches the tests off on the page: the
  // regulator, still forced, gets that command although mode 1 sends none
  // otherwise.
  state.g_accessMode = 1;
  live.update([](LiveTestSnapshot& t) { t = LiveTestSnapshot{}; });
  live.m_liveCommandRetry = 1;
  ASSERT_TRUE(recorder.waitUntil([&](auto&) { return !onSim([](sim::SimDevice& d) { return d.forced().uout; }); }, 5));
  // Released and echoed, the regulator gets no further command in mode 1,
  // even when the resend flag is raised again (as an information request
  // raises it).
  const auto exchanges = [&](std::size_t n) {
    clearReceived();
    return recorder.waitUntil([&](auto&) { return received().size() >= n; }, 5);
  };
  ASSERT_TRUE(exchanges(40));
  live.m_liveCommandRetry = 1;
  ASSERT_TRUE(exchanges(40));
  EXPECT_EQ(std::ranges::count(received(), 'A'), 0);
}

}  // namespace
}  // namespace vrx4::testing
