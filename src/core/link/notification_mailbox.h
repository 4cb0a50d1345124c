// What the link posts, gathered until the window takes it. The link posts
// a hundred times a second and never waits for the window; the window
// takes what is waiting a few times a second. On the way, notices that
// only repeat what a later one says are merged:
//   - live values for the display (0x464, lParam 0): the latest wins;
//   - the link state (0x465): the same state as the one waiting just
//     before it (display values aside) adds nothing, so every change of
//     the lamp stays, in order;
//   - a cursor update right after another one.
// Everything else is kept, in the order posted: a capture sample (0x464,
// lParam 1, a row of the capture file and a point of the chart), the end
// of a transfer, information frames, the reload and identity notices, and
// any notice not named here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "core/link/live_measurement.h"

namespace vrx4 {

struct LinkNotification {
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  // A live-values notice carries the measurement it announces, so that a
  // sample shows and records its own values, not a later frame's.
  std::optional<LiveMeasurement> measurement;
};

// Adds `incoming` to the notices waiting, merged as described above.
// Returns false when it was merged into one already waiting.
bool coalesceNotification(std::vector<LinkNotification>& waiting, LinkNotification incoming);

class NotificationMailbox {
 public:
  // Link thread: adds a notice; holds a lock for a few instructions only.
  // True when the reader must be woken: it was not yet told that something
  // waits and is not coming back on its own, or the notice is not routine
  // (anything but live values and a link state that stays as it was) and
  // the reader was not yet woken for one since it last took.
  bool post(LinkNotification n);
  // Window thread: everything waiting, in order. A reader that took
  // something comes back for more on its own (routine posts do not wake
  // it); one that found nothing is woken by the next post.
  std::vector<LinkNotification> take();
  // Posted and merged since construction, for benchmarks and tests.
  std::uint64_t posted() const;
  std::uint64_t merged() const;

 private:
  mutable std::mutex m_mutex;
  std::vector<LinkNotification> m_waiting;  // guarded by m_mutex
  bool m_readerWoken = false;               // guarded by m_mutex
  bool m_urgentWoken = false;               // guarded by m_mutex
  std::uintptr_t m_lastLinkState = 0;       // guarded by m_mutex; 0 none yet
  std::uint64_t m_posted = 0;               // guarded by m_mutex
  std::uint64_t m_merged = 0;               // guarded by m_mutex
};

}  // namespace vrx4
