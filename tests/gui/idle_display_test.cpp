// What the window does while the link polls: it takes the link's notices
// at most about twenty times a second, shows the latest values, loses no
// change of the lamp, and draws only what changed.
#include <thread>

#include "core/link/comm_thread.h"
#include "gui/app/gui_notifier.h"
#include "gui/controls/indicator_lamp.h"
#include "gui/monitoring/live_page.h"
#include "shell_harness.h"

namespace vrx4::testing {
namespace {

// Counts the paints of a widget, and calls `onPaint` at each.
struct PaintCounter : QObject {
  PaintCounter(QWidget* w, std::function<void()> f = {}) : onPaint(std::move(f)) { w->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint && ++paints > 0 && onPaint) onPaint();
    return false;
  }
  int paints = 0;
  std::function<void()> onPaint;
};

class IdleDisplay : public ShellTest {
 protected:
  // The LIVE page in VISUALISATION, on the simulated regulator (both images
  // read) or on none; the window at its largest, so that the lamp in its
  // bottom right corner is on the screen and drawn.
  CIndicatorLamp* startOnLive(bool simulated) {
    writeFile(m_settings, "[Agreement]\nState=1\n[Units]\nLanguage=0\n");
    if (!simulated) start();
    else startSimulated();
    EXPECT_TRUE(!simulated || waitUntil([&] { return state().g_eepromLoaded.load() == 1; }, 20000));
    click(g_pModePage, mode_id::kVisualisation);
    click(&view(), view_id::kLive);
    m_app->mainFrame()->showNormal();
    m_app->mainFrame()->resize(m_app->mainFrame()->maximumSize());
    settle();
    CIndicatorLamp* lamp = view().lamp();
    EXPECT_FALSE(lamp->visibleRegion().isEmpty());
    return lamp;
  }
};

TEST_F(IdleDisplay, OnTheSimulatedRegulatorTheWindowWakesAtMostTwentyTimesASecondAndDrawsOnlyWhatChanged) {
  CIndicatorLamp* lamp = startOnLive(true);
  ASSERT_TRUE(waitUntil([&] { return lamp->GetColour() == colour::kGreen; }, 5000));
  auto* p2 = control<QLineEdit>(g_pLivePage, live_id::kP2);
  ASSERT_TRUE(waitUntil([&] { return !p2->text().isEmpty(); }, 5000));
  settle();
  // The CONTROL unit caption shows "[V]" and stays so while values change.
  PaintCounter unitPaints(control<QWidget>(g_pLivePage, live_id::kCtrlUnit));
  const int lampPaints = lamp->paints();
  const std::uint64_t deliveries = view().notifier().deliveries();
  const std::uint64_t posted = view().notifier().mailbox().posted();
  const std::uint64_t sent = view().link()->bytesSent();
  QElapsedTimer t;
  t.start();
  waitUntil([] { return false; }, 2000);
  const double seconds = static_cast<double>(t.elapsed()) / 1000.0;

  // The link polls as before, one exchange after another, and reports
  // every second measurement frame...
  const double exchanges = static_cast<double>(view().link()->bytesSent() - sent) / seconds;
  EXPECT_GT(exchanges, 50.0);
  EXPECT_GT(static_cast<double>(view().notifier().mailbox().posted() - posted) / seconds, exchanges * 0.5);
  // ...and the window takes them at most about twenty times a second.
  EXPECT_LE(static_cast<double>(view().notifier().deliveries() - deliveries), 20.0 * seconds + 2.0);
  // A lamp that stays green and a caption that stays "[V]" are not drawn again.
  EXPECT_EQ(lamp->paints(), lampPaints);
  EXPECT_EQ(unitPaints.paints, 0);
  EXPECT_EQ(lamp->GetColour(), colour::kGreen);
}

TEST_F(IdleDisplay, ABurstOfPostedValuesShowsItsLatestValuesAndEveryLampChange) {
  // No regulator: the link ends at once, and this test posts as the link
  // would, from a thread of its own, faster than any link.
  CIndicatorLamp* lamp = startOnLive(false);
  ASSERT_TRUE(waitUntil([&] { return lamp->GetColour() == colour::kRed && !view().link()->running(); }, 5000));
  std::vector<ColourWord> drawn;
  PaintCounter lampPaints(lamp, [&] { drawn.push_back(lamp->GetColour()); });
  auto* p2 = control<QLineEdit>(g_pLivePage, live_id::kP2);
  PaintCounter p2Paints(p2);

  GuiNotifier& notifier = view().notifier();
  const std::uint64_t deliveries = notifier.deliveries();
  const std::uint64_t before = notifier.mailbox().posted();
  constexpr int kValues = 3000;
  const std::vector<std::uintptr_t> states = {link_state::kAlive, link_state::kLate, link_state::kAlive,
                                              link_state::kNoDevice, link_state::kAlive};
  std::atomic<bool> posting{true};
  std::thread link([&] {
    for (int i = 1; i <= kValues; ++i) {
      LiveMeasurement m;
      // P2 in millibar; the last value is one no earlier one shows.
      m.m_value[3] = i == kValues ? 7777.0f : static_cast<float>(i % 1000);
      notifier.postLiveValues(m, 0);
      // The lamp changes five times in the burst, each among a thousand
      // reports of the same state.
      notifier.post(msg::kLinkState, states[static_cast<std::size_t>(i * 5 / (kValues + 1))], 0);
    }
    posting = false;
  });
  QElapsedTimer t;
  t.start();
  ASSERT_TRUE(waitUntil([&] { return !posting && notifier.mailbox().posted() - before == 2u * kValues; }, 10000));
  link.join();
  ASSERT_TRUE(waitUntil([&] { return p2->text() == QStringLiteral("7.8"); }, 2000)) << p2->text().toStdString();
  settle();
  const double seconds = static_cast<double>(t.elapsed()) / 1000.0;

  // The display shows the last values posted; every change of the lamp was
  // drawn, in order, and nothing else.
  EXPECT_EQ(drawn, (std::vector<ColourWord>{colour::kGreen, colour::kYellow, colour::kGreen, colour::kRed, colour::kGreen}));
  EXPECT_EQ(lamp->GetColour(), colour::kGreen);
  // Six thousand notices took a few trips of the window (each of the five
  // lamp changes may take one of its own, however short the burst), and
  // the P2 field was drawn a few times, not three thousand.
  const double trips = 20.0 * seconds + 2.0 + 5.0;
  EXPECT_LE(static_cast<double>(notifier.deliveries() - deliveries), trips);
  EXPECT_LE(p2Paints.paints, 2.0 * trips);
}

}  // namespace
}  // namespace vrx4::testing
