// The link's notices on their way to the window: a burst arrives as its
// latest display values, with every lamp change, capture sample and
// information notice, in order; the window is woken once per take.
#include "core/link/notification_mailbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "core/link/link_notifier.h"

namespace vrx4 {
namespace {

LinkNotification values(float control, std::intptr_t sample = 0) {
  LinkNotification n{msg::kLiveValues, 0, sample, LiveMeasurement{}};
  n.measurement->m_value[1] = control;
  return n;
}

LinkNotification state(std::uintptr_t s) { return {msg::kLinkState, s, 0, std::nullopt}; }
LinkNotification notice(std::uint32_t m, std::uintptr_t w = 0) { return {m, w, 0, std::nullopt}; }

// What the window sees of a sequence of takes: the lamp states in order,
// the capture samples' values in order, the last display value, and the
// number of display notices.
struct Seen {
  std::vector<std::uintptr_t> lamp;
  std::vector<float> samples;
  float display = -1;
  int displayNotices = 0;
};

void see(Seen& seen, const std::vector<LinkNotification>& taken) {
  for (const LinkNotification& n : taken) {
    if (n.message == msg::kLinkState && (seen.lamp.empty() || seen.lamp.back() != n.wParam))
      seen.lamp.push_back(n.wParam);
    else if (n.message == msg::kLiveValues && n.lParam == 1)
      seen.samples.push_back(n.measurement->m_value[1]);
    else if (n.message == msg::kLiveValues)
      seen.display = n.measurement->m_value[1], ++seen.displayNotices;
  }
}

TEST(NotificationMailbox, ABurstArrivesAsItsLatestValuesWithEveryLampChangeAndSample) {
  NotificationMailbox box;
  // The first post wakes the window, and the first lamp state; until it
  // takes, no other post does.
  EXPECT_TRUE(box.post(values(1)));
  EXPECT_TRUE(box.post(state(link_state::kAlive)));
  for (int i = 2; i <= 300; ++i) {
    EXPECT_FALSE(box.post(values(static_cast<float>(i))));
    EXPECT_FALSE(box.post(state(link_state::kAlive)));
  }
  EXPECT_FALSE(box.post(state(link_state::kLate)));
  // Capture samples are rows of the file and points of the chart: none merges.
  for (const LinkNotification& n : {values(301), state(link_state::kAlive), notice(msg::kInformation),
                                    notice(msg::kTransferDone, 1), notice(msg::kSetCursor), notice(msg::kSetCursor),
                                    values(1000, 1), state(link_state::kAlive), values(1001, 1), values(302)})
    box.post(n);

  const std::vector<LinkNotification> taken = box.take();
  std::vector<std::uint32_t> order(taken.size());
  std::transform(taken.begin(), taken.end(), order.begin(), [](auto& n) { return n.message; });
  EXPECT_EQ(order, (std::vector<std::uint32_t>{msg::kLinkState, msg::kLinkState, msg::kLinkState, msg::kInformation,
                                               msg::kTransferDone, msg::kSetCursor, msg::kLiveValues,
                                               msg::kLinkState, msg::kLiveValues, msg::kLiveValues}));
  Seen seen;
  see(seen, taken);
  EXPECT_EQ(seen.lamp, (std::vector<std::uintptr_t>{link_state::kAlive, link_state::kLate, link_state::kAlive}));
  EXPECT_EQ(seen.samples, (std::vector<float>{1000, 1001}));
  EXPECT_TRUE(seen.display == 302 && seen.displayNotices == 1) << seen.display << " " << seen.displayNotices;
  EXPECT_EQ(box.posted(), 611u);

  // A reader that took something comes back by itself: routine posts do
  // not wake it, a lamp change or the end of a transfer does, once.
  EXPECT_FALSE(box.post(values(303)) || box.post(state(link_state::kAlive)));
  EXPECT_TRUE(box.post(state(link_state::kNoDevice)));
  EXPECT_FALSE(box.post(notice(msg::kTransferDone, 1)));
  EXPECT_EQ(box.take().size(), 4u);
  EXPECT_TRUE(box.post(notice(msg::kTransferDone, 1)));
  EXPECT_EQ(box.take().size(), 1u);
  // One that found nothing is woken by the next post.
  EXPECT_TRUE(box.take().empty());
  EXPECT_TRUE(box.post(values(304)));
}

// The link thread posts without waiting while the window thread takes
// (also run under ThreadSanitizer): nothing that matters is lost.
TEST(NotificationMailbox, ATakerRacingThePosterSeesEveryLampChangeAndTheLatestValues) {
  NotificationMailbox box;
  constexpr int kPosts = 20000;
  std::atomic<bool> done{false};
  std::atomic<int> wakes{0};
  // The lamp changes every 1000 posts; every 500th frame is a sample.
  const auto lampAt = [](int i) { return (i / 1000) % 2 == 0 ? link_state::kAlive : link_state::kLate; };
  std::thread link([&] {
    for (int i = 1; i <= kPosts; ++i) {
      wakes += box.post(values(static_cast<float>(i), i % 500 == 0 ? 1 : 0));
      wakes += box.post(state(lampAt(i)));
    }
    done = true;
  });
  Seen seen;
  int takes = 0;
  for (;;) {
    const bool finished = done.load();
    const auto taken = box.take();
    takes += taken.empty() ? 0 : 1;
    see(seen, taken);
    if (finished && taken.empty()) break;
    std::this_thread::yield();
  }
  link.join();

  std::vector<std::uintptr_t> lamp;
  for (int k = 0; k <= kPosts / 1000; ++k) lamp.push_back(lampAt(1000 * k));
  EXPECT_EQ(seen.lamp, lamp);
  EXPECT_EQ(seen.samples.size(), static_cast<std::size_t>(kPosts / 500));
  for (std::size_t i = 0; i < seen.samples.size(); ++i) EXPECT_EQ(seen.samples[i], 500.0f * static_cast<float>(i + 1)) << i;
  EXPECT_EQ(seen.display, static_cast<float>(kPosts - 1));  // the last frame was a sample
  // The window was woken at most twice per take (after an empty take, and
  // for a lamp change), never once per post.
  EXPECT_LE(wakes.load(), 2 * takes);
}

}  // namespace
}  // namespace vrx4
