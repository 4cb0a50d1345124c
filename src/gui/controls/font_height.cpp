#include "gui/controls/font_height.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>

namespace vrx4 {
namespace {

// Far beyond any caption: keeps the search short whatever a page asks.
constexpr int kLargest = 1000;

int cellHeight(QFont font, int pixelSize) {
  font.setPixelSize(pixelSize);
  return QFontMetrics(font).height();
}

}  // namespace

int pixelSizeForHeight(const QFont& font, int height) {
  if (height == 0) return QFontInfo(font).pixelSize();
  if (height < 0) return height < -kLargest ? kLargest : -height;
  height = std::min(height, kLargest);
  // Start from the font's cell-to-character ratio, then step to the exact
  // size: rounding in the metrics can differ by a pixel either way.
  const int reference = cellHeight(font, 100);
  int size = reference > 0 ? std::clamp(height * 100 / reference, 1, kLargest) : height;
  while (size > 1 && cellHeight(font, size) > height) --size;
  while (size < kLargest && cellHeight(font, size + 1) <= height) ++size;
  return size;
}

QFont fontWithHeight(QFont font, int height) {
  if (height != 0) font.setPixelSize(pixelSizeForHeight(font, height));
  return font;
}

}  // namespace vrx4
