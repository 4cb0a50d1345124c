// The live measurement block: one decoded measurement frame.
#pragma once

#include <array>
#include <cstdint>

namespace vrx4 {

struct LiveMeasurement {
  // Thousandths: [0] AUXin, [1] CONTROL (signed), [2] 24 V supply,
  // [3] P2, [4] Uout, [5] Iout.
  std::array<float, 6> m_value{};
  std::uint8_t m_status = 0;  // byte 13 as received
  int m_statusBit0 = 0;       // alarm output
  int m_infoPending = 0;      // status bit 1, or device info byte 0 non-zero
  int m_statusBit2 = 0;       // P2 is read from AUXin
  int m_statusBit3 = 0;       // AUXin is a current input
  int m_statusBit4 = 0;       // CONTROL is a current input
  int m_statusBit5 = 0;
  int m_statusBit6 = 0;
  int m_statusBit7 = 0;
  std::array<int, 8> m_flagBit{};  // bits 0..7 of byte 14
  // The capture clock when this frame passed the display gate (ms since
  // the link started, the value g_lastSampleMs takes for a capture
  // sample): a sample's time and values come from one snapshot.
  std::uint32_t m_sampleMs = 0;
};

}  // namespace vrx4
