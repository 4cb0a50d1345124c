// The device side of the serial protocol: every byte the host sends is
// answered (a measurement frame, or an information or memory frame where
// the request asks for one), EEPROM writes are stored when their checksum
// and end byte are right, and live commands force the device's channels.
// Pure logic with an injected clock; the pty server does the I/O.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/link/device_state.h"
#include "core/sim/factory_images.h"
#include "core/sim/fault_plan.h"
#include "core/sim/plant_model.h"

namespace vrx4::sim {

class SimDevice {
 public:
  // A partial frame is dropped after this much line silence: the host
  // restarts a timed-out frame from its first byte.
  static constexpr double kFrameSilence = 0.1;

  explicit SimDevice(const FactoryImages& images = factoryImages(), std::uint32_t seed = 1);

  // One byte from the host at time `now` (seconds, any monotonic origin);
  // returns the bytes to send back (possibly none).
  std::vector<std::uint8_t> onByte(std::uint8_t byte, double now);
  // Advances the plant by dt seconds.
  void tick(double dt);

  const Image& image(Area a) const { return a == Area::Base ? m_base : m_option; }
  void setImage(Area a, const Image& im) { (a == Area::Base ? m_base : m_option) = im; }

  // Information codes to report; the status byte says so until they were
  // read with an 'E' request.
  void setInfoCodes(const std::array<std::uint8_t, 8>& codes);

  FaultPlan& faults() { return m_faults; }
  PlantModel& plant() { return m_plant; }
  const Forced& forced() const { return m_forced; }
  std::uint8_t statusByte() const;
  long bytesReceived() const { return m_bytesReceived; }
  // Every byte received, in order, for tests that check what went over
  // the line.
  const std::vector<std::uint8_t>& received() const { return m_received; }
  void clearReceived() { m_received.clear(); }
  long writesStored() const { return m_writesStored; }

 private:
  enum class Parse { Idle, Memory, Live };
  std::vector<std::uint8_t> answer(std::vector<std::uint8_t> reply);
  std::vector<std::uint8_t> measurementFrame();
  std::vector<std::uint8_t> memoryFrameFor(const std::vector<std::uint8_t>& request);
  void storeWrite(const std::vector<std::uint8_t>& frame);
  void applyLiveCommand(const std::vector<std::uint8_t>& frame);

  Image m_option{};
  Image m_base{};
  // What each area held before the most recent write, for stale reads.
  Image m_optionBefore{};
  Image m_baseBefore{};
  PlantModel m_plant;
  Forced m_forced;
  FaultPlan m_faults;
  std::array<std::uint8_t, 8> m_info{};
  bool m_infoPending = false;

  Parse m_parse = Parse::Idle;
  std::vector<std::uint8_t> m_frame;
  std::size_t m_frameLength = 0;
  double m_lastByte = -1e9;
  long m_bytesReceived = 0;
  std::vector<std::uint8_t> m_received;
  long m_writesStored = 0;
};

}  // namespace vrx4::sim
