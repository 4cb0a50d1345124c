#include "core/sim/sim_device.h"

#include "core/link/frames.h"

namespace vrx4::sim {

SimDevice::SimDevice(const FactoryImages& images, std::uint32_t seed)
    : m_option(images.option), m_base(images.base), m_optionBefore(images.option),
      m_baseBefore(images.base), m_plant(seed) {
  m_faults.rng.seed(seed);
}

void SimDevice::setInfoCodes(const std::array<std::uint8_t, 8>& codes) {
  m_info = codes;
  m_infoPending = false;
  for (auto c : codes) m_infoPending = m_infoPending || c != 0;
}

void SimDevice::tick(double dt) { m_plant.tick(dt, m_option, m_base, m_forced); }

std::uint8_t SimDevice::statusByte() const {
  std::uint8_t s = 0;
  if (m_forced.alarm ? m_forced.alarmOn : m_plant.alarm() != ((m_option[0x09] & 0x80) != 0)) s |= 0x01;
  if (m_infoPending) s |= 0x02;
  if (m_option[0x00] & 0x04) s |= 0x04;  // P2 is read from AUXin
  if (m_option[0x00] & 0x08) s |= 0x08;  // AUXin is a current input
  if (m_base[0x00] & 0x01) s |= 0x10;    // CONTROL is a current input
  return s;
}

std::vector<std::uint8_t> SimDevice::measurementFrame() {
  auto w = m_plant.measurement(m_option, m_base, m_forced);
  if (m_forced.spare2) w[2] = m_forced.spare2Raw;
  if (m_forced.spare1) w[3] = m_forced.spare1Raw;
  std::uint8_t flags = 0;
  const auto f = buildMeasurementFrame(w, statusByte(), flags);
  return {f.begin(), f.end()};
}

std::vector<std::uint8_t> SimDevice::memoryFrameFor(const std::vector<std::uint8_t>& req) {
  const std::uint8_t address = req[1];
  const std::uint8_t control = req[2];
  const int count = control & kMemoryCountMask;
  const bool base = control & kMemoryBaseBit;
  const bool stale = m_faults.staleReads > 0;
  if (stale) --m_faults.staleReads;
  const Image& im = stale ? (base ? m_baseBefore : m_optionBefore) : (base ? m_base : m_option);
  std::vector<std::uint8_t> data(static_cast<std::size_t>(count));
  for (int j = 0; j < count; ++j) data[static_cast<std::size_t>(j)] = im[(address + j) & 0xFF];
  const TxFrame f = buildMemoryFrame(address, control, data);
  return {f.data.begin(), f.data.begin() + static_cast<std::ptrdiff_t>(f.length)};
}

void SimDevice::storeWrite(const std::vector<std::uint8_t>& frame) {
  const std::uint8_t address = frame[1];
  const bool base = frame[2] & kMemoryBaseBit;
  Image& im = base ? m_base : m_option;
  (base ? m_baseBefore : m_optionBefore) = im;
  const std::size_t count = frame.size() - 5;
  for (std::size_t j = 0; j < count; ++j) im[(address + j) & 0xFF] = frame[3 + j];
  ++m_writesStored;
}

void SimDevice::applyLiveCommand(const std::vector<std::uint8_t>& f) {
  auto word = [&](std::size_t at) { return static_cast<std::uint16_t>(f[at] | (f[at + 1] << 8)); };
  const std::uint8_t flags = f[13];
  const std::uint8_t bits = f[14];
  m_forced.auxin = bits & 0x01;
  m_forced.ctrl = bits & 0x02;
  m_forced.spare2 = bits & 0x04;
  m_forced.spare1 = bits & 0x08;
  m_forced.uout = bits & 0x10;
  m_forced.iout = bits & 0x20;
  m_forced.alarm = bits & 0x40;
  m_forced.auxinRaw = word(1);
  m_forced.ctrlRaw = word(3);
  m_forced.spare2Raw = word(5);
  m_forced.spare1Raw = word(7);
  m_forced.uoutRaw = word(9);
  m_forced.ioutRaw = word(11);
  m_forced.alarmOn = flags & 0x01;
}

std::vector<std::uint8_t> SimDevice::answer(std::vector<std::uint8_t> reply) {
  if (m_faults.silent) return {};
  if (m_faults.dropNext > 0) {
    --m_faults.dropNext;
    return {};
  }
  if (m_faults.chance(m_faults.dropProbability)) return {};
  if (m_faults.corruptNext > 0 || m_faults.chance(m_faults.corruptProbability)) {
    if (m_faults.corruptNext > 0) --m_faults.corruptNext;
    reply[reply.size() - 2] ^= 0x5A;
  }
  if (m_faults.strayNext > 0 || m_faults.chance(m_faults.strayProbability)) {
    if (m_faults.strayNext > 0) --m_faults.strayNext;
    // Stray bytes that start no reply: never 'A', 'E' or 'D'.
    std::vector<std::uint8_t> stray(static_cast<std::size_t>(m_faults.strayCount), 0x00);
    for (std::size_t i = 0; i < stray.size(); ++i) stray[i] = static_cast<std::uint8_t>(0x10 + i);
    reply.insert(reply.begin(), stray.begin(), stray.end());
  }
  return reply;
}

std::vector<std::uint8_t> SimDevice::onByte(std::uint8_t b, double now) {
  ++m_bytesReceived;
  if (m_received.size() < 1'000'000) m_received.push_back(b);
  if (m_faults.silentAfter >= 0 && m_bytesReceived > m_faults.silentAfter) m_faults.silent = true;
  if (m_parse != Parse::Idle && now - m_lastByte > kFrameSilence) m_parse = Parse::Idle;
  m_lastByte = now;

  if (m_parse == Parse::Idle) {
    switch (b) {
      case 'E': {
        const auto f = buildInformationFrame(m_info);
        // The codes describe the device's present conditions: they stay
        // until set again; only the "new messages" status bit is cleared.
        m_infoPending = false;
        return answer({f.begin(), f.end()});
      }
      case 'D':
        m_parse = Parse::Memory;
        m_frame.assign(1, b);
        m_frameLength = 0;  // known once the control byte is in
        break;
      case 'A':
        m_parse = Parse::Live;
        m_frame.assign(1, b);
        m_frameLength = kLiveCommandLength;
        break;
      default:  // 'R', 'a' and anything else
        break;
    }
    return answer(measurementFrame());
  }

  m_frame.push_back(b);
  if (m_parse == Parse::Memory && m_frame.size() == 3) {
    const int count = b & kMemoryCountMask;
    const bool read = b & kMemoryReadBit;
    if (count == 0) {
      m_parse = Parse::Idle;
      return answer(measurementFrame());
    }
    m_frameLength = read ? 5 : static_cast<std::size_t>(count) + 5;
  }
  if (m_frameLength == 0 || m_frame.size() < m_frameLength) return answer(measurementFrame());

  // The frame is complete.
  m_parse = Parse::Idle;
  const bool sound = frameIsSound(m_frame);
  if (m_frame[0] == 'A') {
    if (sound && m_faults.ignoreLive > 0) {
      --m_faults.ignoreLive;
    } else if (sound) {
      applyLiveCommand(m_frame);
    }
    return answer(measurementFrame());
  }
  const bool read = m_frame[2] & kMemoryReadBit;
  if (read) return answer(sound ? memoryFrameFor(m_frame) : measurementFrame());
  if (sound) storeWrite(m_frame);
  return answer(measurementFrame());
}

}  // namespace vrx4::sim
