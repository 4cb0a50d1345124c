// The desktop program when its link restarts or file mode begins: after a
// port change or a Reconnexion the images wait for the regulator's
// confirmation, and another regulator is read before anything is written
// to it or saved from it; a write stops when another regulator answers;
// New waits for a write to end.

#include "core/link/comm_thread.h"
#include "core/memory/config_file.h"
#include "core/sim/factory_images.h"
#include "core/sim/pty_server.h"
#include "memory_harness.h"

namespace vrx4::testing {
namespace {

using namespace tools_id;

class LinkRestart : public MemoryTest {
 protected:
  // Import, Export and a page's Modify all wait, or all work.
  bool waiting() { return !enabled(g_pToolsPage, kImport) && !enabled(g_pToolsPage, kExport) && !enabled(g_pCtrlPage, 1147); }
  bool working() { return enabled(g_pToolsPage, kImport) && enabled(g_pToolsPage, kExport) && enabled(g_pCtrlPage, 1147); }
  static bool sent(const std::vector<std::uint8_t>& rx, const TxFrame& frame) {
    const auto bytes = frame.bytes();
    return std::search(rx.begin(), rx.end(), bytes.begin(), bytes.end()) != rx.end();
  }
};

TEST_F(LinkRestart, PortChangeReadsTheOtherRegulatorBeforeAnythingIsWrittenOrSaved) {
  const std::string pathA = m_dir + "/ttyA", pathB = m_dir + "/ttyB";
  sim::SimDevice a, b(sim::factoryImages({0x07, 0x77, 0x70}));
  Image bBase = b.image(Area::Base);
  for (std::size_t i = 0x30; i < 0x40; ++i) bBase[i] ^= 0x3C;  // B's own calibration
  b.setImage(Area::Base, bBase);
  const Image bOption = b.image(Area::Option);
  sim::PtyServer serverA(a, {false, pathA}), serverB(b, {true, pathB});
  ASSERT_TRUE(serverA.start()) << serverA.error();
  ASSERT_TRUE(serverB.start()) << serverB.error();

  writeFile(m_settings, "[Agreement]\nState=1\n");
  start(pathA);
  ASSERT_TRUE(waitUntil([&] { return state().g_eepromLoaded.load() == 1 && !state().requestPending(); }, 20000));
  enterMode(2);
  answerDialogs();
  click(&view(), view_id::kTools);
  ASSERT_TRUE(working());

  // Regulator B's port chosen: A's images wait, Import saves nothing.
  view().setPortLister([&] { return std::vector<SerialPortEntry>{{pathB, pathB, "B"}}; });
  onNextModal([](QWidget* w) {
    w->findChild<QComboBox*>(QStringLiteral("1048"))->setCurrentIndex(0);
    w->findChild<QPushButton*>(QStringLiteral("1"))->click();
  });
  click(g_pToolsPage, kPort);
  ASSERT_EQ(view().link()->portName(), pathB);
  EXPECT_TRUE(state().g_eepromLoaded.load() == 0 && waiting());
  m_files.push_back(path("early.txt"));
  g_pToolsPage->OnImport();
  EXPECT_TRUE(m_boxes.back() == kept(Kept::ImagesNotConfirmed) && m_dialogs.empty()) << m_boxes.back();
  m_files.clear();

  // B's serial number differs: the mismatch message, B's images read.
  ASSERT_TRUE(waitUntil([&] {
    return state().g_eepromLoaded.load() == 1 && state().device(Area::Base)[0x27] == 0x70 && working();
  }, 20000));
  EXPECT_NE(std::find(m_boxes.begin(), m_boxes.end(), kept(Kept::SerialMismatch)), m_boxes.end());

  // A file of A's configuration exported to B changes what mode 2 takes
  // from a file; B keeps its serial number and calibration.
  Image fileOption{}, fileBase{};
  serverA.withDevice([&](sim::SimDevice& d) { fileOption = d.image(Area::Option), fileBase = d.image(Area::Base); });
  fileBase[0x03] ^= 0x01;
  writeFile(path("a.txt"), config_file::wholeConfiguration(fileOption, fileBase));
  tools(kExport, path("a.txt"));
  ASSERT_TRUE(waitUntil([&] { return !state().requestPending() && working(); }, 30000));
  Image nowBase{}, nowOption{};
  serverB.withDevice([&](sim::SimDevice& d) { nowBase = d.image(Area::Base), nowOption = d.image(Area::Option); });
  EXPECT_EQ(nowBase[0x03], fileBase[0x03]);
  EXPECT_TRUE(std::equal(nowBase.begin() + 0x10, nowBase.begin() + 0x2B, bBase.begin() + 0x10));
  EXPECT_TRUE(std::equal(nowBase.begin() + 0x2F, nowBase.begin() + 0x70, bBase.begin() + 0x2F));
  EXPECT_TRUE(std::equal(nowOption.begin() + 0x30, nowOption.begin() + 0x73, bOption.begin() + 0x30));

  // Reconnexion to the same regulator: the pages wait for its identity
  // read, which confirms the images without a full read.
  serverB.withDevice([](sim::SimDevice& d) { d.clearReceived(); });
  const std::size_t boxes = m_boxes.size();
  click(g_pToolsPage, kReconnect);
  EXPECT_TRUE(waiting());
  ASSERT_TRUE(waitUntil([&] { return working(); }, 10000));
  EXPECT_EQ(m_boxes.size(), boxes);
  std::vector<std::uint8_t> rx;
  serverB.withDevice([&](sim::SimDevice& d) { rx = d.received(); });
  EXPECT_TRUE(sent(rx, buildMemoryRead(Area::Base, 0x25, 4)) && !sent(rx, buildMemoryRead(Area::Option, 0, 10)));
  close();
}

TEST_F(LinkRestart, NewWaitsForAWriteToEnd) {
  startOnSimulator(2);
  click(&view(), view_id::kTools);

  // The regulator falls silent while Restore writes both areas: the lamp
  // goes red and New is offered, but refused until the write has ended.
  click(g_pToolsPage, kRestore);
  ASSERT_TRUE(state().writeRunning());
  withDevice([](sim::SimDevice& d) { d.faults().silent = true; });
  ASSERT_TRUE(waitUntil([&] { return enabled(g_pToolsPage, kNew); }, 5000));
  m_files.push_back(path("new.txt"));
  click(g_pToolsPage, kNew);
  ASSERT_FALSE(m_boxes.empty());
  EXPECT_EQ(m_boxes.back(), kept(Kept::WriteRunningFileMode));
  EXPECT_TRUE(m_dialogs.empty() && state().g_fileMode.load() == 0);
  m_files.clear();
  // The regulator back, the write runs to its verified end.
  withDevice([](sim::SimDevice& d) { d.faults().silent = false; });
  ASSERT_TRUE(waitEnabled(g_pToolsPage, kExport));
  EXPECT_EQ(m_boxes.back(), kept(Kept::TransferDone));
}

// The regulator swapped for another one in the middle of a write: the
// write goes no further, the user is told which regulator may be
// half-written, and the new one is read, never written.
TEST_F(LinkRestart, WriteStoppedWhenAnotherRegulatorAnswersTellsTheUser) {
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
  for (const char* part : {"serial number 07 77 70", "serial number 01 23 45 was stopped", "half-written"})
    EXPECT_NE(m_boxes.front().find(part), std::string::npos) << m_boxes.front();

  // The new regulator is read, never written.
  ASSERT_TRUE(waitUntil([&] {
    return state().g_eepromLoaded.load() == 1 && state().device(Area::Base)[0x27] == 0x70;
  }, 20000));
  long writes = -1;
  server->withDevice([&](sim::SimDevice& d) { writes = d.writesStored(); });
  EXPECT_EQ(writes, 0);
  close();
}

}  // namespace
}  // namespace vrx4::testing
