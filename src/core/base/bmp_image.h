// A safe reader of Windows BMP files: 1, 4, 8 bits with a colour table,
// 24 and 32 bits, uncompressed, bottom-up or top-down. Every size and
// offset is checked; a truncated or lying file gives an error, never a read
// outside the bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vrx4 {

struct BmpImage {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  std::vector<std::uint32_t> colourTable;  // 0xFFRRGGBB, palettised files only
  std::vector<std::uint32_t> pixels;       // 0xFFRRGGBB, rows top-down
  std::string error;                       // empty when the file was read
  bool ok() const { return error.empty(); }
};

inline constexpr int kMaxBmpSide = 8192;
inline constexpr std::size_t kMaxBmpFileBytes = 64u << 20;

BmpImage decodeBmp(std::span<const std::uint8_t> bytes);
BmpImage readBmpFile(const std::string& path);

}  // namespace vrx4
