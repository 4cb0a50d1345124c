// The link engine on a regulator behind ser2net, raw and Telnet/RFC 2217:
// the same images and the same verified writes as on the local port, the
// network's failures reported as port failures, and a lost connection that
// comes back (a regulator swapped behind the port is refused the same way
// on every transport: identity_resume_test).
#include <gtest/gtest.h>

#include <sys/socket.h>

#include <chrono>

#include "../ser2net_harness.h"
#include "../test_files.h"
#include "engine_harness.h"

namespace vrx4::testing {
namespace {

using Mode = Ser2net::Mode;
using Clock = std::chrono::steady_clock;

class NetPortTest : public EngineTest {
 protected:
  void SetUp() override {
    VRX4_SKIP_WITHOUT_SER2NET();
    EngineTest::SetUp();
  }
  void TearDown() override { if (engine) EngineTest::TearDown(); }
  // A new engine on the named port, started.
  void startOn(const std::string& name) {
    engine = std::make_unique<CCommThread>(state, recorder, &live);
    engine->setPortName(name);
    recorder.boxes.clear();
    engine->start();
  }
  // The box the engine showed when the port did not open.
  std::string portFailure(const std::string& name) {
    startOn(name);
    EXPECT_TRUE(recorder.waitUntil([&](auto&) { return !recorder.boxes.empty(); }, 15)) << name;
    engine->stop();  // the thread ends by itself after the box: this only joins it
    EXPECT_TRUE(engine->exited()) << name;
    EXPECT_TRUE(has(recorder.snapshot(), msg::kLinkState, link_state::kNoDevice)) << name;
    return recorder.boxSnapshot().empty() ? "" : recorder.boxSnapshot().front();
  }

  TempDir temp;
};

TEST_F(NetPortTest, ReadAndWriteThroughSer2netAreTheDirectOnesByteForByte) {
  engine->start();
  ASSERT_TRUE(readAll());
  Image directOption = state.device(Area::Option), directBase = state.device(Area::Base);
  engine->stop();

  // Raw, reached by a host name (which may give ::1 first, where nothing
  // listens, before 127.0.0.1), and Telnet with RFC 2217.
  Ser2net raw(link, Mode::Raw, temp.path), telnet(link, Mode::Rfc2217, temp.path);
  for (auto [bridge, url] : {std::pair{&raw, "tcp://localhost:" + std::to_string(raw.port())},
                             std::pair{&telnet, std::string()}}) {
    SCOPED_TRACE(url.empty() ? telnet.url() : url);
    state.withImages([](Images& im) { im = Images{}; });
    ASSERT_TRUE(bridge->start());
    startOn(url.empty() ? bridge->url() : url);
    ASSERT_TRUE(readAll());
    EXPECT_TRUE(state.device(Area::Option) == directOption && state.device(Area::Base) == directBase);

    // Bytes that Telnet escapes (0xFF) or the frames end with (0x7E),
    // written and read back.
    const std::uint8_t marker = bridge == &raw ? 0x11 : 0x22;
    ASSERT_TRUE(transfer(request(op::kWriteOptionRange, 0x40, 4, {0xFF, marker, 0xFF, 0x7E}), 1));
    const Image option = simImage(Area::Option);
    EXPECT_EQ(std::vector<std::uint8_t>(option.begin() + 0x40, option.begin() + 0x44),
              (std::vector<std::uint8_t>{0xFF, marker, 0xFF, 0x7E}));
    EXPECT_TRUE(imagesMatchTheRegulator());
    std::copy(option.begin() + 0x40, option.begin() + 0x44, directOption.begin() + 0x40);
    engine->stop();
    bridge->kill();
  }
}

TEST_F(NetPortTest, NetworkFailuresAreReportedAsPortFailures) {
  const std::string nobody = std::to_string(freeTcpPort()), refused = "tcp://127.0.0.1:" + nobody;
  EXPECT_EQ(portFailure(refused), "Error Port " + refused + "\nconnection refused by 127.0.0.1:" + nobody +
                                      ": no device server or ser2net listens on that port");

  // A Telnet port without the serial settings cannot promise 38400 8N1.
  Ser2net plain(link, Mode::TelnetWithoutRfc2217, temp.path);
  ASSERT_TRUE(plain.start());
  const std::string telnetOnly = "rfc2217://127.0.0.1:" + std::to_string(plain.port());
  EXPECT_EQ(portFailure(telnetOnly), "Error Port " + telnetOnly +
                                         "\nthe server does not offer the serial port settings (RFC 2217 "
                                         "COM-PORT-OPTION)");

  // A server that takes the connection and never answers: the open gives
  // up after its deadline, and a stop ends the wait at once.
  const int silent = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET, a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&a), sizeof a) | ::listen(silent, 4) |
                ::getsockname(silent, reinterpret_cast<sockaddr*>(&a), &len), 0);
  const std::string at = "127.0.0.1:" + std::to_string(ntohs(a.sin_port)), mute = "rfc2217://" + at;
  const auto t0 = Clock::now();
  EXPECT_EQ(portFailure(mute), "Error Port " + mute + "\nno answer from " + at +
                                   " to the serial settings within 5 s (is it a Telnet port with RFC 2217?)");
  EXPECT_LT(Clock::now() - t0, std::chrono::seconds(7));

  startOn(mute);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the open is pending
  const auto t1 = Clock::now();
  engine->stop();
  EXPECT_LT(Clock::now() - t1, std::chrono::milliseconds(500));
  EXPECT_TRUE(recorder.boxSnapshot().empty());  // stopped, not failed
  ::close(silent);
}

TEST_F(NetPortTest, WriteGoesOnWhenSer2netComesBackAfterItWasKilled) {
  Ser2net bridge(link, Mode::Rfc2217, temp.path);
  ASSERT_TRUE(bridge.start());
  startOn(bridge.url());
  ASSERT_TRUE(readAll());
  recorder.clearPosted();
  startWholeWrite(0xC3);
  ASSERT_TRUE(waitForOp(op::kWriteBase, 8, 3));
  bridge.kill();
  ASSERT_TRUE(recorder.waitFor(msg::kLinkState, link_state::kNoDevice, 10));
  ASSERT_TRUE(bridge.start());  // the same address again
  ASSERT_TRUE(recorder.waitFor(msg::kTransferDone, 2, 30));
  EXPECT_TRUE(simImage(Area::Option)[0x05] == 0xC3 && simImage(Area::Base)[0x60] == 0xC3);
  EXPECT_TRUE(imagesMatchTheRegulator());
  EXPECT_EQ(recorder.count(msg::kReloadStarted, 0), 0);
}

}  // namespace
}  // namespace vrx4::testing
