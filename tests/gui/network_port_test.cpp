// The desktop program on a regulator behind ser2net (Telnet with RFC 2217):
// the lamp turns green, the LIVE page shows the regulator's values, and a
// page's Save is written and read back through the network.

#include "../ser2net_harness.h"
#include "core/sim/pty_server.h"
#include "gui/controls/indicator_lamp.h"
#include "gui/monitoring/live_page.h"
#include "page_harness.h"

namespace vrx4::testing {
namespace {

constexpr int kYHigh = 1133, kYLow = 1134, kModify = 1147, kSave = 1149;

TEST_F(PagesTest, ProgramOnARegulatorBehindSer2netShowsItLiveAndSavesAPage) {
  VRX4_SKIP_WITHOUT_SER2NET();
  sim::SimDevice regulator;
  const std::string tty = m_dir + "/tty";
  sim::PtyServer line(regulator, sim::PtyServer::Options{true, tty});
  ASSERT_TRUE(line.start()) << line.error();
  Ser2net server(tty, Ser2net::Mode::Rfc2217, m_dir);
  ASSERT_TRUE(server.start());

  // The port as a technician stores it in the settings.
  writeFile(m_settings, "[Agreement]\nState=1\n[Units]\nLanguage=0\n[Communication]\nport=" + server.url() + "\n");
  launch(AppOptions{}, VRX4_DATA_BUILD_DIR);
  ASSERT_TRUE(waitUntil([&] { return state().g_eepromLoaded.load() == 1 && !state().requestPending(); }, 20000))
      << (m_boxes.empty() ? "" : m_boxes.front());
  ASSERT_TRUE(waitUntil([&] { return view().lamp()->GetColour() == colour::rgb(0, 255, 0); }, 5000));
  EXPECT_EQ(viewControl<QLabel>(view_id::kStatusText)->text().toStdString(), "Communication OK");
  EXPECT_TRUE(m_boxes.empty()) << m_boxes.front();

  enterMode(2);
  activate();
  click(&view(), view_id::kLive);
  auto live = [](int id) { return g_pLivePage->controlText(id).toStdString(); };
  ASSERT_TRUE(waitUntil([&] { return live(live_id::kP2) == "5.0" && live(live_id::kSupply).starts_with("2"); }, 5000))
      << live(live_id::kP2);

  // CONTROL from 1 to 9 bar: BASE 1..4 become the slope and offset words.
  CEditPage* page = show(view_id::kControl);
  click(page, kModify);
  type(page, kYLow, "1");
  type(page, kYHigh, "9");
  m_boxes.clear();
  button(page, kSave)->click();
  ASSERT_TRUE(waitForWrite(page, kModify));
  Image device{};
  line.withDevice([&](sim::SimDevice& d) { device = d.image(Area::Base); });
  EXPECT_EQ(std::vector<std::uint8_t>(device.begin() + 1, device.begin() + 5),
            (std::vector<std::uint8_t>{0x03, 0x33, 0x03, 0xE8}));
  EXPECT_EQ(text(page, kYHigh), QStringLiteral("9.00"));  // as the regulator confirmed it
  close();
}

}  // namespace
}  // namespace vrx4::testing
