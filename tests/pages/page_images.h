// Device images for the page tests: every byte distinct, so that a byte
// taken from the wrong place shows, and signed words set by value.
#pragma once

#include <cstdint>
#include <tuple>
#include <vector>

#include "core/link/device_state.h"
#include "core/pages/page_request.h"

namespace vrx4::test {

inline Images patternImages() {
  Images im;
  for (std::size_t i = 0; i < kImageSize; ++i) {
    im.g_baseDevice[i] = static_cast<std::uint8_t>(0x11 + i * 7);
    im.g_optionDevice[i] = static_cast<std::uint8_t>(0x23 + i * 5);
  }
  return im;
}

inline void setWord(Image& image, std::size_t at, std::int16_t word) {
  const auto w = static_cast<std::uint16_t>(word);
  image[at] = static_cast<std::uint8_t>(w >> 8);
  image[at + 1] = static_cast<std::uint8_t>(w & 0xFF);
}

inline std::int16_t wordAt(const std::uint8_t* bytes) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]));
}

// A page's request as one value: the op, the first address, the count.
inline std::tuple<std::uint32_t, int, int> opStartCount(const SaveOutcome& o) {
  return {o.request.op, o.request.start, o.request.count};
}

// A page's working copy, for a comparison in one line.
inline std::vector<std::uint8_t> workBytes(const SaveOutcome& o) { return {o.work().begin(), o.work().end()}; }

}  // namespace vrx4::test
