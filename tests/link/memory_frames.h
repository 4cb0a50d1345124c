// The memory frames ('D', address, control byte, data..., checksum, end)
// a host sent, in order, found in the bytes a simulated regulator received;
// a frame with a bad checksum is skipped.
#pragma once

#include <cstdint>
#include <vector>

#include "core/link/frames.h"

namespace vrx4::testing {

inline bool isReadFrame(const std::vector<std::uint8_t>& f) { return (f[2] & 0x20) != 0; }

inline std::vector<std::vector<std::uint8_t>> memoryFrames(const std::vector<std::uint8_t>& rx) {
  std::vector<std::vector<std::uint8_t>> out;
  for (std::size_t i = 0; i + 4 < rx.size(); ++i) {
    if (rx[i] != 'D') continue;
    const std::size_t len = (rx[i + 2] & 0x20) ? 5 : static_cast<std::size_t>(rx[i + 2] & 0x1F) + 5;
    if (i + len > rx.size()) break;
    const std::span<const std::uint8_t> f(rx.data() + i, len);
    if (frameIsSound(f)) out.emplace_back(f.begin(), f.end()), i += len - 1;
  }
  return out;
}

}  // namespace vrx4::testing
