// How the link engine reports to whoever shows the device: posted
// notifications and blocking message boxes. The GUI implements it with Qt
// events; tests and the command-line tool with recorders.
#pragma once

#include <cstdint>
#include <stop_token>
#include <string>

#include "core/link/live_measurement.h"

namespace vrx4 {

// Notification numbers posted to the main view.
namespace msg {
constexpr std::uint32_t kLiveValues = 0x464;     // lParam 1: a capture sample is due
constexpr std::uint32_t kLinkState = 0x465;      // wParam 1 alive, 2 late, 3 no device
constexpr std::uint32_t kTransferDone = 0x466;   // wParam 1 read/partial, 2 BASE, 3 OPTION
constexpr std::uint32_t kPortChanged = 0x467;
constexpr std::uint32_t kTermsAccepted = 0x468;
constexpr std::uint32_t kReconnect = 0x469;
constexpr std::uint32_t kInformation = 0x46A;
constexpr std::uint32_t kReloadStarted = 0x46B;
// The identity check found the regulator whose images are held: they are
// confirmed again without a full read (the view lets the pages write).
constexpr std::uint32_t kIdentityConfirmed = 0x46C;
// How far the running transfer has come (transfer_progress.h says how
// wParam and lParam carry it): posted when it starts, a few times a second
// while steps go by, when it waits for the regulator, and at its end.
constexpr std::uint32_t kTransferProgress = 0x46D;
constexpr std::uint32_t kChartRefresh = 0x471;   // to the trend chart: new samples to draw
constexpr std::uint32_t kSetCursor = 0x0020;     // the view updates its cursor
}  // namespace msg

namespace link_state {
constexpr std::uintptr_t kAlive = 1;
constexpr std::uintptr_t kLate = 2;
constexpr std::uintptr_t kNoDevice = 3;
}  // namespace link_state

class LinkNotifier {
 public:
  virtual ~LinkNotifier() = default;
  // Must not block; called from the link thread.
  virtual void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // 0x464 with the measurement it announces (lParam 1: a capture sample).
  // A notifier that keeps notices for a while hands each one its own
  // values; the others read the live block.
  virtual void postLiveValues(const LiveMeasurement& measurement, std::intptr_t lParam) {
    (void)measurement;
    post(msg::kLiveValues, 0, lParam);
  }
  // Shows a modal message and blocks the link thread until the user has
  // dismissed it, or until `stop` is requested (the GUI thread stops the
  // link while such a box may be open and must never deadlock on it).
  virtual void showMessage(const std::string& text, std::stop_token stop) = 0;
};

}  // namespace vrx4
