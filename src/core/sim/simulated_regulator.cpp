#include "core/sim/simulated_regulator.h"

#include "core/sim/pty_server.h"
#include "core/sim/sim_device.h"

namespace vrx4 {

CSimulatedRegulator::CSimulatedRegulator()
    : m_device(std::make_unique<sim::SimDevice>()),
      m_server(std::make_unique<sim::PtyServer>(*m_device, sim::PtyServer::Options{true, {}})) {
  m_device->plant().sweepControl = true;
}

CSimulatedRegulator::~CSimulatedRegulator() { m_server->stop(); }

bool CSimulatedRegulator::start() { return m_server->start(); }
std::string CSimulatedRegulator::portPath() const { return m_server->hostPath(); }
std::string CSimulatedRegulator::error() const { return m_server->error(); }
void CSimulatedRegulator::withDevice(const std::function<void(sim::SimDevice&)>& f) { m_server->withDevice(f); }

}  // namespace vrx4
