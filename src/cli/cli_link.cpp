#include "cli/cli_link.h"

#include <cstdio>
#include <iostream>

namespace vrx4::cli {

void RecordingNotifier::post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  {
    std::lock_guard lock(m_mutex);
    if (message == msg::kLinkState) {
      if (wParam == link_state::kNoDevice) m_noDevice = true;
      if (wParam == link_state::kAlive) m_alive = true;
    }
    // Link-state and cursor notes come hundreds of times; a command only
    // ever waits for the others.
    if (message != msg::kLinkState && message != msg::kSetCursor) m_events.push_back({message, wParam, lParam});
  }
  m_cv.notify_all();
}

void RecordingNotifier::showMessage(const std::string& text, std::stop_token) {
  {
    std::lock_guard lock(m_mutex);
    m_messages.push_back(text);
  }
  m_cv.notify_all();
}

void RecordingNotifier::wake() { m_cv.notify_all(); }

std::optional<Event> RecordingNotifier::waitFor(const std::function<bool(const Event&)>& take,
                                                std::chrono::steady_clock::time_point deadline,
                                                const std::function<bool()>& stop) {
  std::unique_lock lock(m_mutex);
  for (;;) {
    while (!m_events.empty()) {
      const Event e = m_events.front();
      m_events.pop_front();
      if (take(e)) return e;
    }
    if (stop) {
      lock.unlock();
      const bool stopNow = stop();
      lock.lock();
      if (stopNow) return std::nullopt;
    }
    // Wake at least every 50 ms so that `stop` (the engine ending, a
    // signal) is looked at without a notification.
    const auto next = std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(50));
    if (m_cv.wait_until(lock, next, [&] { return !m_events.empty(); })) continue;
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
  }
}

std::vector<std::string> RecordingNotifier::messages() const {
  std::lock_guard lock(m_mutex);
  return m_messages;
}

bool RecordingNotifier::sawNoDevice() const {
  std::lock_guard lock(m_mutex);
  return m_noDevice;
}

bool RecordingNotifier::sawAlive() const {
  std::lock_guard lock(m_mutex);
  return m_alive;
}

Link::Link(const std::string& port, double timeoutSeconds)
    : m_engine(m_state, m_events), m_port(port), m_timeout(timeoutSeconds) {
  m_state.g_currentPage.store(page::kTools);  // plain measurement polling
  m_engine.setPortName(port);
  m_deadline = std::chrono::steady_clock::now() +
               std::chrono::milliseconds(static_cast<long long>(timeoutSeconds * 1000));
  m_engine.start();
}

Link::~Link() { m_engine.stop(); }

int Link::portFailure() {
  if (!m_engine.exited()) return kExitOk;
  const auto msgs = m_events.messages();
  std::cerr << (msgs.empty() ? "Error Port " + m_port : msgs.front()) << "\n";
  return kExitPort;
}

int Link::waitTransfer(std::uintptr_t wParam, const char* what) {
  auto e = m_events.waitFor(
      [&](const Event& ev) { return ev.message == msg::kTransferDone && ev.wParam == wParam; }, m_deadline,
      [&] { return m_engine.exited(); });
  if (e) return kExitOk;
  if (int code = portFailure()) return code;
  std::cerr << "vrx4ctl: timed out after " << m_timeout << " s waiting for " << what << " on " << m_port
            << (m_events.sawAlive() ? "" : ": the regulator does not answer") << "\n";
  return kExitTimeout;
}

int Link::fullRead() {
  m_state.g_eepromLoaded.store(0);
  TransferRequest r;
  r.op = op::kReadOption;
  if (m_state.publishRequest(r) != DeviceState::Publish::Accepted) {
    std::cerr << "vrx4ctl: the link is busy with another transfer\n";
    return kExitDevice;
  }
  return waitTransfer(1, "the full read of both EEPROM areas");
}

}  // namespace vrx4::cli
