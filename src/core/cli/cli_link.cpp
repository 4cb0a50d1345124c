#include "core/cli/cli_link.h"

#include <csignal>
#include <cmath>
#include <cstdio>
#include <iostream>


namespace vrx4::cli {
namespace {

volatile std::sig_atomic_t g_signals = 0;

void onSignal(int) {
  if (g_signals < 1000) g_signals = g_signals + 1;
}

}  // namespace

void installSignalHandlers() {
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigemptyset(&sa.sa_mask);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &sa, nullptr);
}

int signalCount() { return g_signals; }

void RecordingNotifier::post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  {
    std::lock_guard lock(m_mutex);
    if (message == msg::kTransferProgress) {
      m_progress = transfer_progress::fromMessage(wParam, lParam);
      m_progressTaken = false;
      return;
    }
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

std::optional<transfer_progress::Progress> RecordingNotifier::takeProgress() {
  std::lock_guard lock(m_mutex);
  if (m_progressTaken) return std::nullopt;
  m_progressTaken = true;
  return m_progress;
}

std::optional<transfer_progress::Progress> RecordingNotifier::lastProgress() const {
  std::lock_guard lock(m_mutex);
  return m_progress;
}

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
    : m_engine(m_state, m_events), m_port(port), m_timeout(timeoutSeconds), m_bar(std::cerr, false) {
  m_state.g_currentPage.store(page::kTools);  // plain measurement polling
  m_engine.setPortName(port);
  m_deadline = std::chrono::steady_clock::now() +
               std::chrono::milliseconds(static_cast<long long>(std::min(timeoutSeconds, kMaxSeconds) * 1000));
  m_engine.start();
}

Link::~Link() { m_engine.stop(); }

int Link::portFailure() {
  if (!m_engine.exited()) return kExitOk;
  const auto msgs = m_events.messages();
  std::cerr << (msgs.empty() ? "Error Port " + m_port : msgs.front()) << "\n";
  return kExitPort;
}

bool Link::stopRequested() {
  const int signals = signalCount();
  if (!m_writing) return signals >= 1;
  if (signals >= 1 && !m_toldFinishing) {
    m_toldFinishing = true;
    // The engine's own estimate; before its first report, the wire time
    // of the whole write.
    const auto p = m_events.lastProgress();
    const int left = p && !p->ended() ? p->secondsLeft()
                                      : static_cast<int>(std::ceil(
                                            transfer_progress::wholeRequest(m_state.m_requestedOp.load(),
                                                                            m_state.g_xferCount.load(), true)
                                                .wireSecondsLeft));
    m_bar.clear();
    std::cerr << "vrx4ctl: interrupted: finishing the write first, so that the regulator is not left "
                 "half-written (about "
              << std::max(1, left) << " s); interrupt again to stop at once\n";
  }
  return signals >= 2;
}

int Link::interruptedExit() {
  if (m_writing && signalCount() >= 2) {
    std::cerr << "vrx4ctl: stopped during the write: the regulator on " << m_port
              << " may be half-written; write it again\n";
  } else {
    std::cerr << "vrx4ctl: interrupted\n";
  }
  return kExitInterrupted;
}

void Link::drawProgress() {
  if (auto p = m_events.takeProgress()) m_bar.show(*p);
}

int Link::waitTransfer(std::uintptr_t wParam, const char* what) {
  bool otherDevice = false;
  auto e = m_events.waitFor(
      [&](const Event& ev) {
        if (ev.message == msg::kReloadStarted) otherDevice = true;
        return otherDevice || (ev.message == msg::kTransferDone && ev.wParam == wParam);
      },
      m_deadline, [&] {
        drawProgress();
        return m_engine.exited() || stopRequested();
      });
  // Whatever follows is said on a line of its own.
  m_bar.clear();
  if (e && otherDevice) {
    const auto id = m_state.lastIdentity();
    if (m_writing && !id.written) {
      // The write's identity read, before its first byte.
      std::cerr << "vrx4ctl: another regulator (serial number " << serialText(id.answered) << ") answered on "
                << m_port << " in place of the one read (serial number " << serialText(id.expected)
                << "); nothing was written\n";
      return kExitOtherDevice;
    }
    std::cerr << "vrx4ctl: another regulator (serial number " << serialText(id.answered) << ") answered on "
              << m_port << " after the line was lost; the transfer was stopped";
    if (m_writing) {
      std::cerr << ".\nThe regulator with serial number " << serialText(id.expected)
                << " may be half-written: connect it again and write it again\n";
    } else {
      std::cerr << " and nothing was saved\n";
    }
    return kExitOtherDevice;
  }
  if (e) return kExitOk;
  if (int code = portFailure()) return code;
  if (stopRequested()) return interruptedExit();
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
