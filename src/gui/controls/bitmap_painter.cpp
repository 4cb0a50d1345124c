#include "gui/controls/bitmap_painter.h"

#include <QImage>
#include <QPainter>
#include <filesystem>

#include "core/base/bmp_image.h"

namespace vrx4 {

bool DrawBitmapFile(const std::string& path, QPainter& painter) {
  const BmpImage bmp = readBmpFile(path);
  if (!bmp.ok()) return false;
  // Palettised bitmaps carry their colours in their own table; true-colour
  // ones are drawn as they are.
  const QImage image(reinterpret_cast<const uchar*>(bmp.pixels.data()), bmp.width, bmp.height, bmp.width * 4,
                     QImage::Format_RGB32);
  painter.drawImage(0, 0, image);
  return true;
}

std::string resolveBitmapPath(const std::string& name, const std::string& dataDir) {
  if (name.find('/') != std::string::npos || dataDir.empty()) return name;
  std::string inData = dataDir;
  if (inData.back() != '/') inData += '/';
  inData += name;
  std::error_code ec;
  if (std::filesystem::exists(inData, ec)) return inData;
  return name;
}

}  // namespace vrx4
