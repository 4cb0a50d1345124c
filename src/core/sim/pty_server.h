// Serves a SimDevice on a pseudo-terminal, so that a host opens a real tty
// exactly as it opens a USB adapter. The server keeps its own descriptor of
// the slave side open, so the host may close and reopen the line at will.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "core/sim/sim_device.h"

namespace vrx4::sim {

class PtyServer {
 public:
  struct Options {
    bool pace = false;     // each reply byte takes 10/38400 s, as on the wire
    std::string linkPath;  // when set, a symlink to the slave is kept here
  };

  PtyServer(SimDevice& device, Options options);
  ~PtyServer();
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  // Creates the pseudo-terminal and starts serving on a thread. False with
  // a reason in error() when the terminal cannot be made.
  bool start();
  void stop();

  // The path a host opens: the symlink when one was asked for, else the
  // slave device.
  std::string hostPath() const;
  std::string slavePath() const;
  const std::string& error() const { return m_error; }

  // Closes the line as an unplugged adapter would, and opens a new one
  // (relinking the symlink) after `ms` milliseconds.
  void hangUp(int ms);

  // Runs f on the device under the server's lock.
  void withDevice(const std::function<void(SimDevice&)>& f);

  static constexpr double kByteSeconds = 10.0 / 38400.0;

 private:
  bool openTerminal();
  void closeTerminal();
  void serve();
  void reply(const std::vector<std::uint8_t>& bytes);

  SimDevice& m_device;
  Options m_options;
  std::string m_error;
  mutable std::mutex m_mutex;  // guards the device and the paths
  std::string m_slavePath;
  int m_master = -1;
  int m_slaveHold = -1;
  int m_wake[2] = {-1, -1};
  std::thread m_thread;
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_hangUpMs{-1};
};

}  // namespace vrx4::sim
