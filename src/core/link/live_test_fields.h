// The LIVE page's test fields as the link engine reads them: the page owns
// one of these, writes it from the GUI thread, and the engine takes a
// consistent snapshot under the lock when it builds the live command.
#pragma once

#include <atomic>
#include <mutex>

#include "core/link/frames.h"

namespace vrx4 {

class LiveTestFields {
 public:
  LiveTestSnapshot snapshot() const {
    std::lock_guard lock(m_mutex);
    return m_fields;
  }
  void set(const LiveTestSnapshot& fields) {
    std::lock_guard lock(m_mutex);
    m_fields = fields;
  }
  template <class F>
  void update(F&& f) {
    std::lock_guard lock(m_mutex);
    f(m_fields);
  }

  // 1 = the information frame is wanted; the engine clears it when it came.
  std::atomic<int> m_infoRequest{0};
  // 1 = the live command is to be sent (again); the engine clears it when
  // it starts sending and sets it when the device's echo differs.
  std::atomic<int> m_liveCommandRetry{0};

 private:
  mutable std::mutex m_mutex;
  LiveTestSnapshot m_fields;
};

}  // namespace vrx4
