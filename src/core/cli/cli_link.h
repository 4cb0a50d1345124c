// The link engine driven without windows: a notifier that records what the
// engine reports, and waits with a deadline for the events a command needs.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/cli/progress_line.h"
#include "core/link/comm_thread.h"
#include "core/link/device_state.h"
#include "core/link/link_notifier.h"
#include "core/link/transfer_progress.h"

namespace vrx4::cli {

struct Event {
  std::uint32_t message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
};

class RecordingNotifier : public LinkNotifier {
 public:
  void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
  // No one to click a box: the text is kept and the engine goes on.
  void showMessage(const std::string& text, std::stop_token stop) override;

  // Waits until `take` accepts an event (events are consumed in order) or
  // `stop` says so, or the deadline passes. Returns the accepted event.
  std::optional<Event> waitFor(const std::function<bool(const Event&)>& take,
                               std::chrono::steady_clock::time_point deadline,
                               const std::function<bool()>& stop = {});
  std::vector<std::string> messages() const;
  bool sawNoDevice() const;
  bool sawAlive() const;
  void wake();
  // The newest progress of the running transfer, once (nothing when none
  // came since the last call). Progress is kept, not queued as an event.
  std::optional<transfer_progress::Progress> takeProgress();
  // The newest progress, taken or not.
  std::optional<transfer_progress::Progress> lastProgress() const;

 private:
  mutable std::mutex m_mutex;
  std::condition_variable m_cv;
  std::deque<Event> m_events;
  std::vector<std::string> m_messages;
  bool m_noDevice = false;
  bool m_alive = false;
  std::optional<transfer_progress::Progress> m_progress;
  bool m_progressTaken = true;
};

// SIGINT, SIGTERM and SIGHUP are counted, not fatal: a command decides
// what a signal means at the point it is at.
void installSignalHandlers();
int signalCount();

// One engine on one port, with its shared state and notifier.
//
// A signal stops a command at once (the port is closed as the link ends),
// except while the regulator is being written: the first signal lets the
// write run to its verified end, so that the regulator is not left half
// written, and says how long that takes; a second one stops at once.
class Link {
 public:
  explicit Link(const std::string& port, double timeoutSeconds);
  ~Link();

  // From here on the regulator is being written.
  void beginWrite() { m_writing = true; }
  // Draws the transfers' progress bar on stderr (progressWanted()).
  void showProgress(bool on) { m_bar.setEnabled(on); }
  // True when the command must stop now for a signal.
  bool stopRequested();
  // Prints what an interruption left behind; returns the exit code.
  int interruptedExit();

  DeviceState& state() { return m_state; }
  CCommThread& engine() { return m_engine; }
  RecordingNotifier& events() { return m_events; }
  std::chrono::steady_clock::time_point deadline() const { return m_deadline; }

  // Waits for the transfer end with the given 0x466 wParam. Returns 0 when
  // it came, or an exit code after printing why not: another regulator
  // answering before a write or in the middle of a transfer (the engine
  // then abandons it), a signal, the engine ending, the time-out.
  int waitTransfer(std::uintptr_t wParam, const char* what);
  // A full read of both images; 0 or an exit code.
  int fullRead();
  // Prints the port failure and returns its exit code, if the engine ended.
  int portFailure();

 private:
  DeviceState m_state;
  RecordingNotifier m_events;
  CCommThread m_engine;
  std::string m_port;
  double m_timeout;
  std::chrono::steady_clock::time_point m_deadline;
  bool m_writing = false;
  bool m_toldFinishing = false;
  ProgressBar m_bar;
  void drawProgress();
};

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFile = 2;
constexpr int kExitTimeout = 3;
constexpr int kExitPort = 4;
constexpr int kExitDevice = 5;
constexpr int kExitOtherDevice = 7;
constexpr int kExitInterrupted = 130;

// Seconds the command line accepts at most (about 30 days): longer is as
// good as for ever, and keeps every deadline within the clock's range.
constexpr double kMaxSeconds = 30.0 * 24 * 3600;

}  // namespace vrx4::cli
