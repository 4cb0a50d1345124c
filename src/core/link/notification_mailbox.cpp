#include "core/link/notification_mailbox.h"

#include <algorithm>
#include <utility>

#include "core/link/link_notifier.h"

namespace vrx4 {
namespace {

bool isDisplayValues(const LinkNotification& n) { return n.message == msg::kLiveValues && n.lParam == 0; }

}  // namespace

bool coalesceNotification(std::vector<LinkNotification>& waiting, LinkNotification incoming) {
  if (isDisplayValues(incoming)) {
    // The display shows the newest values: an older display notice goes,
    // and the new one takes its turn after everything posted before it.
    const auto older = std::find_if(waiting.begin(), waiting.end(), isDisplayValues);
    const bool replaced = older != waiting.end();
    if (replaced) waiting.erase(older);
    waiting.push_back(std::move(incoming));
    return !replaced;
  }
  if (incoming.message == msg::kLinkState) {
    // The same state again, with nothing but display values since the
    // last one waiting, tells the window nothing new.
    const auto last = std::find_if_not(waiting.rbegin(), waiting.rend(), isDisplayValues);
    if (last != waiting.rend() && last->message == msg::kLinkState && last->wParam == incoming.wParam) return false;
  }
  if (incoming.message == msg::kSetCursor && !waiting.empty() && waiting.back().message == msg::kSetCursor)
    return false;
  waiting.push_back(std::move(incoming));
  return true;
}

bool NotificationMailbox::post(LinkNotification n) {
  std::lock_guard lock(m_mutex);
  ++m_posted;
  // Values and a link state that stays as it was are routine: they wait
  // for the reader's next round. Anything else (the lamp changes, a
  // transfer ends, an information frame came) is worth a round of its own.
  bool routine = n.message == msg::kLiveValues;
  if (n.message == msg::kLinkState) {
    routine = n.wParam == m_lastLinkState;
    m_lastLinkState = n.wParam;
  }
  if (!coalesceNotification(m_waiting, std::move(n))) ++m_merged;
  if (!routine && !m_urgentWoken) {
    m_urgentWoken = m_readerWoken = true;
    return true;
  }
  if (m_readerWoken) return false;
  m_readerWoken = true;
  return true;
}

std::vector<LinkNotification> NotificationMailbox::take() {
  std::vector<LinkNotification> out;
  std::lock_guard lock(m_mutex);
  out.swap(m_waiting);
  m_readerWoken = !out.empty();
  m_urgentWoken = false;
  return out;
}

std::uint64_t NotificationMailbox::posted() const {
  std::lock_guard lock(m_mutex);
  return m_posted;
}

std::uint64_t NotificationMailbox::merged() const {
  std::lock_guard lock(m_mutex);
  return m_merged;
}

}  // namespace vrx4
