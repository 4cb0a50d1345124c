#include "core/base/bmp_image.h"

#include <fstream>

namespace vrx4 {
namespace {

std::uint32_t le(std::span<const std::uint8_t> b, std::size_t at, int n) {
  std::uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
  return v;
}

BmpImage failed(const char* why) {
  BmpImage im;
  im.error = why;
  return im;
}

}  // namespace

BmpImage decodeBmp(std::span<const std::uint8_t> b) {
  if (b.size() < 14 + 40) return failed("file too short for a bitmap");
  if (b[0] != 'B' || b[1] != 'M') return failed("not a BMP file");
  const std::uint32_t dataOffset = le(b, 10, 4);
  const std::uint32_t headerSize = le(b, 14, 4);
  if (headerSize < 40 || headerSize > 124 || 14 + headerSize > b.size()) return failed("unsupported bitmap header");
  const auto width = static_cast<std::int32_t>(le(b, 18, 4));
  const auto rawHeight = static_cast<std::int32_t>(le(b, 22, 4));
  const auto planes = le(b, 26, 2);
  const auto bpp = static_cast<int>(le(b, 28, 2));
  const auto compression = le(b, 30, 4);
  std::uint32_t colours = le(b, 46, 4);
  if (planes != 1) return failed("bitmap with more than one plane");
  if (rawHeight == INT32_MIN) return failed("bitmap size out of range");
  const bool topDown = rawHeight < 0;
  const std::int32_t height = topDown ? -rawHeight : rawHeight;
  if (width <= 0 || height <= 0 || width > kMaxBmpSide || height > kMaxBmpSide) return failed("bitmap size out of range");
  const bool plain32 = bpp == 32 && (compression == 0 || compression == 3);
  if (compression != 0 && !plain32) return failed("compressed bitmaps are not supported");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return failed("unsupported bits per pixel");

  BmpImage im;
  im.width = width;
  im.height = height;
  im.bitsPerPixel = bpp;
  if (bpp <= 8) {
    const std::uint32_t maxColours = 1u << bpp;
    if (colours == 0 || colours > maxColours) colours = maxColours;
    const std::size_t tableAt = 14 + headerSize;
    if (tableAt + std::size_t{colours} * 4 > b.size()) return failed("colour table cut short");
    for (std::uint32_t i = 0; i < colours; ++i) {
      const std::size_t at = tableAt + i * 4;
      im.colourTable.push_back(0xFF000000u | (std::uint32_t{b[at + 2]} << 16) | (std::uint32_t{b[at + 1]} << 8) | b[at]);
    }
  }
  const std::size_t rowBytes = ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bpp) + 31) / 32) * 4;
  const std::size_t need = rowBytes * static_cast<std::size_t>(height);
  if (dataOffset > b.size() || b.size() - dataOffset < need) return failed("pixel data cut short");

  im.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (std::int32_t y = 0; y < height; ++y) {
    const std::size_t srcRow = topDown ? static_cast<std::size_t>(y) : static_cast<std::size_t>(height - 1 - y);
    const std::size_t row = dataOffset + srcRow * rowBytes;
    std::uint32_t* out = &im.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width)];
    for (std::int32_t x = 0; x < width; ++x) {
      const auto ux = static_cast<std::size_t>(x);
      std::uint32_t px = 0xFF000000u;
      if (bpp >= 24) {
        const std::size_t at = row + ux * static_cast<std::size_t>(bpp / 8);
        px |= (std::uint32_t{b[at + 2]} << 16) | (std::uint32_t{b[at + 1]} << 8) | b[at];
      } else {
        const std::size_t bit = ux * static_cast<std::size_t>(bpp);
        const std::uint8_t byte = b[row + bit / 8];
        const unsigned shift = 8u - static_cast<unsigned>(bpp) - static_cast<unsigned>(bit % 8);
        const std::uint32_t index = (byte >> shift) & ((1u << bpp) - 1u);
        px = index < im.colourTable.size() ? im.colourTable[index] : 0xFF000000u;
      }
      out[x] = px;
    }
  }
  return im;
}

BmpImage readBmpFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return failed("cannot open the bitmap file");
  in.seekg(0, std::ios::end);
  const auto size = in.tellg();
  if (size < 0 || static_cast<std::size_t>(size) > kMaxBmpFileBytes) return failed("bitmap file too large");
  in.seekg(0);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return failed("cannot read the bitmap file");
  return decodeBmp(bytes);
}

}  // namespace vrx4
