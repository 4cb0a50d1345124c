// The built-in simulated regulator of `vrx4 --simulate`: a simulated VRX4
// served on a pseudo-terminal, paced like a 38400-baud line, so the program
// opens it exactly as it opens a USB adapter.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace vrx4 {
namespace sim {
class SimDevice;
class PtyServer;
}  // namespace sim

class CSimulatedRegulator {
 public:
  CSimulatedRegulator();
  ~CSimulatedRegulator();
  CSimulatedRegulator(const CSimulatedRegulator&) = delete;
  CSimulatedRegulator& operator=(const CSimulatedRegulator&) = delete;

  // False with a reason in error() when no pseudo-terminal can be made.
  bool start();
  // The line the program opens.
  std::string portPath() const;
  std::string error() const;
  // Runs f on the simulated device under the server's lock (tests, demos).
  void withDevice(const std::function<void(sim::SimDevice&)>& f);

 private:
  std::unique_ptr<sim::SimDevice> m_device;
  std::unique_ptr<sim::PtyServer> m_server;
};

}  // namespace vrx4
