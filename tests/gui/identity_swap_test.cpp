// The desktop program on a simulated regulator that is swapped for another
// one in the middle of a write: the write goes no further, the user is
// told which regulator may be half-written, and the new one is read.
#include "shell_harness.h"

#include "core/sim/factory_images.h"
#include "core/sim/pty_server.h"

namespace vrx4::testing {
namespace {

TEST_F(ShellTest, WriteStoppedWhenAnotherRegulatorAnswersTellsTheUser) {
  const std::string path = m_dir + "/tty";
  // Both regulators outlive the server that ticks them.
  sim::SimDevice first, second(sim::factoryImages({0x07, 0x77, 0x70}));
  auto server = std::make_unique<sim::PtyServer>(first, sim::PtyServer::Options{true, path});
  ASSERT_TRUE(server->start()) << server->error();
  writeFile(m_settings, "[Agreement]\nState=1\n[Units]\nLanguage=0\n");
  start(path);
  ASSERT_TRUE(waitUntil([&] { return state().g_eepromLoaded.load() == 1; }, 20000));

  // A whole write, as Export to VRX makes it, with one byte changed.
  state().withImages([](Images& im) {
    im.g_optionEdit = im.g_optionDevice;
    im.g_baseEdit = im.g_baseDevice;
    im.g_baseEdit[0x60] ^= 0xFF;
  });
  TransferRequest w;
  w.op = op::kWriteOptionThenBase;
  ASSERT_EQ(state().publishRequest(w), DeviceState::Publish::Accepted);
  ASSERT_TRUE(waitUntil([&] {
    const auto o = state().g_xferOp.load();
    return (o == op::kWriteBase || o == 8) && state().g_xferBlock.load() >= 3;
  }, 20000));
  server->stop();  // the first regulator is pulled

  server = std::make_unique<sim::PtyServer>(second, sim::PtyServer::Options{true, path});
  ASSERT_TRUE(server->start()) << server->error();
  ASSERT_TRUE(waitUntil([&] { return !m_boxes.empty(); }, 10000));
  const std::string& box = m_boxes.front();
  EXPECT_NE(box.find("serial number 07 77 70"), std::string::npos) << box;
  EXPECT_NE(box.find("serial number 01 23 45 was stopped"), std::string::npos) << box;
  EXPECT_NE(box.find("half-written"), std::string::npos) << box;

  // The new regulator is read, never written.
  ASSERT_TRUE(waitUntil([&] {
    return state().g_eepromLoaded.load() == 1 && state().device(Area::Base)[0x27] == 0x70;
  }, 20000));
  long writes = -1;
  server->withDevice([&](sim::SimDevice& d) { writes = d.writesStored(); });
  EXPECT_EQ(writes, 0);
  close();
  server->stop();
}

}  // namespace
}  // namespace vrx4::testing
