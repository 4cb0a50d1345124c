// Builds small BMP files in memory for the decoder and painter tests.
#pragma once

#include <cstdint>
#include <vector>

namespace vrx4::testing {

inline void put(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A bottom-up BI_RGB bitmap; `pixel(x, y)` gives the stored value for row y
// counted from the top: a palette index (8 bits) or 0xRRGGBB (24 bits).
template <class F>
std::vector<std::uint8_t> makeBmp(int w, int h, int bpp, F pixel, const std::vector<std::uint32_t>& table = {}) {
  const std::size_t row = ((static_cast<std::size_t>(w) * bpp + 31) / 32) * 4;
  const std::size_t offset = 14 + 40 + table.size() * 4;
  std::vector<std::uint8_t> b(offset + row * static_cast<std::size_t>(h), 0);
  b[0] = 'B';
  b[1] = 'M';
  // File size, pixel offset, header size, width, height, planes, bits, colours.
  const std::size_t fields[][3] = {{2, b.size(), 4}, {10, offset, 4}, {14, 40, 4}, {18, std::size_t(w), 4},
                                   {22, std::size_t(h), 4}, {26, 1, 2}, {28, std::size_t(bpp), 2}, {46, table.size(), 4}};
  for (const auto& f : fields) put(b, f[0], static_cast<std::uint32_t>(f[1]), static_cast<int>(f[2]));
  for (std::size_t i = 0; i < table.size(); ++i) put(b, 54 + i * 4, table[i], 4);  // B, G, R, 0
  for (int y = 0; y < h; ++y) {
    const std::size_t at = offset + static_cast<std::size_t>(h - 1 - y) * row;
    for (int x = 0; x < w; ++x) {
      const std::uint32_t v = pixel(x, y);
      if (bpp == 8) b[at + static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(v);
      else put(b, at + static_cast<std::size_t>(x) * 3, v, 3);  // stored B, G, R
    }
  }
  return b;
}

}  // namespace vrx4::testing
