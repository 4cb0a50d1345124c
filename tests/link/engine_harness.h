// The link engine against the simulated regulator over a pseudo-terminal,
// with a notifier that records what the engine reports.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

#include "core/link/comm_thread.h"
#include "core/sim/pty_server.h"

namespace vrx4::testing {

struct Posted {
  std::uint32_t message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  bool is(std::uint32_t m, std::uintptr_t w) const { return message == m && wParam == w; }
};

inline bool has(const std::vector<Posted>& v, std::uint32_t m, std::uintptr_t w) {
  return std::ranges::any_of(v, [&](const Posted& p) { return p.is(m, w); });
}

class Recorder : public LinkNotifier {
 public:
  // Runs f under the recorder's lock; returns its result.
  template <typename F> auto locked(F f) {
    std::lock_guard lock(mutex);
    return f();
  }
  void post(std::uint32_t m, std::uintptr_t w, std::intptr_t l) override {
    locked([&] { posted.push_back({m, w, l}), cv.notify_all(); });
  }
  void showMessage(const std::string& text, std::stop_token) override {
    locked([&] { boxes.push_back(text), cv.notify_all(); });
  }
  // Waits until pred(posted) holds; false after `seconds`.
  bool waitUntil(const std::function<bool(const std::vector<Posted>&)>& pred, double seconds) {
    std::unique_lock lock(mutex);
    return cv.wait_for(lock, std::chrono::duration<double>(seconds), [&] { return pred(posted); });
  }
  // Waits until message m with wParam w has been posted.
  bool waitFor(std::uint32_t m, std::uintptr_t w, double seconds) {
    return waitUntil([&](auto& v) { return has(v, m, w); }, seconds);
  }
  int count(std::uint32_t m, std::uintptr_t w) {
    return locked([&] { return static_cast<int>(std::ranges::count_if(posted, [&](auto& p) { return p.is(m, w); })); });
  }
  std::vector<Posted> snapshot() { return locked([&] { return posted; }); }
  void clearPosted() { locked([&] { posted.clear(); }); }
  std::vector<std::string> boxSnapshot() { return locked([&] { return boxes; }); }

  std::mutex mutex;
  std::condition_variable cv;
  std::vector<Posted> posted;
  std::vector<std::string> boxes;
};

// A transfer request: its op, first address, count and the bytes to write.
inline TransferRequest request(std::uint32_t op, int start = 0, int count = 0,
                               std::initializer_list<std::uint8_t> bytes = {}) {
  TransferRequest r{.op = op, .start = static_cast<std::int8_t>(start), .count = static_cast<std::int8_t>(count)};
  std::copy(bytes.begin(), bytes.end(), r.scratch.begin());
  return r;
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    link = "/tmp/vrx4-engine-test-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    server = std::make_unique<sim::PtyServer>(device, sim::PtyServer::Options{false, link});
    ASSERT_TRUE(server->start()) << server->error();
    state.g_currentPage = page::kTools;
    state.setMessageTexts("Reload eeprom", "Reset VRX");
    engine = std::make_unique<CCommThread>(state, recorder, &live);
    engine->setPortName(link);
  }
  void TearDown() override { engine->stop(), server->stop(); }
  // Publishes r with the notices so far cleared; waits for its end.
  bool transfer(const TransferRequest& r, std::uintptr_t endWParam, double seconds = 20) {
    return recorder.clearPosted(), state.publishRequest(r) == DeviceState::Publish::Accepted &&
           recorder.waitFor(msg::kTransferDone, endWParam, seconds);
  }
  // Reads both images, as at start-up.
  bool readAll(double seconds = 20) { return transfer(request(op::kReadOption), 1, seconds); }
  // Runs f on the served regulator under the server's lock; returns its result.
  template <typename F> auto onSim(F f) {
    std::invoke_result_t<F, sim::SimDevice&> r{};
    server->withDevice([&](sim::SimDevice& d) { r = f(d); });
    return r;
  }
  void clearReceived() { server->withDevice([](sim::SimDevice& d) { d.clearReceived(); }); }
  Image simImage(Area a) { return onSim([&](sim::SimDevice& d) { return d.image(a); }); }
  long writesStored() { return onSim([](sim::SimDevice& d) { return d.writesStored(); }); }
  std::vector<std::uint8_t> received() { return onSim([](sim::SimDevice& d) { return d.received(); }); }
  // The engine's device images hold what the regulator holds over the
  // read ranges (OPTION 0x00..0x9F, BASE 0x00..0x73).
  bool imagesMatchTheRegulator() {
    const Image opt = state.device(Area::Option), simOpt = simImage(Area::Option);
    const Image base = state.device(Area::Base), simBase = simImage(Area::Base);
    return std::equal(opt.begin(), opt.begin() + 160, simOpt.begin()) &&
           std::equal(base.begin(), base.begin() + 116, simBase.begin());
  }
  // Gives the served regulator another serial number (BASE 0x25..0x27).
  void setSerial(const DeviceState::Serial& serial) {
    server->withDevice([&](sim::SimDevice& d) {
      Image b = d.image(Area::Base);
      std::copy(serial.begin(), serial.end(), b.begin() + 0x25);
      d.setImage(Area::Base, b);
    });
  }
  // A whole write (op 4) of the device images with OPTION 0x05 and BASE
  // 0x60 set to `marker`, published but not awaited.
  void startWholeWrite(std::uint8_t marker) {
    state.withImages([&](Images& im) {
      im.g_optionEdit = im.g_optionDevice, im.g_baseEdit = im.g_baseDevice;
      im.g_optionEdit[0x05] = marker, im.g_baseEdit[0x60] = marker;
    });
    ASSERT_EQ(state.publishRequest(request(op::kWriteOptionThenBase)), DeviceState::Publish::Accepted);
  }
  // Waits until the engine runs op a or b at `block` or later.
  bool waitForOp(std::uint32_t a, std::uint32_t b, int block) {
    const auto at = [&](auto&) { return (state.g_xferOp == a || state.g_xferOp == b) && state.g_xferBlock >= block; };
    return recorder.waitUntil(at, 20);
  }

  std::string link;
  sim::SimDevice device;
  std::unique_ptr<sim::PtyServer> server;
  DeviceState state;
  Recorder recorder;
  LiveTestFields live;
  std::unique_ptr<CCommThread> engine;
};

}  // namespace vrx4::testing
