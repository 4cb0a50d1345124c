#include "core/pages/line_diagram_scale.h"

#include <algorithm>
#include <cmath>

#include "core/base/number_format.h"
#include "core/pages/channel_scaling.h"

namespace vrx4 {
namespace {

constexpr double kPixelLimit = 100000.0;

int truncatedPixels(double value, float scale) {
  const double pixels = value / static_cast<double>(scale) * static_cast<double>(diagram::kPixelsPerUnit);
  if (std::isnan(pixels)) return 0;
  return static_cast<int>(std::trunc(std::clamp(pixels, -kPixelLimit, kPixelLimit)));
}

}  // namespace

DiagramSetup diagramSetup(Channel ch) {
  switch (ch) {
    case Channel::Auxin: return {"INPUT (pin3)", colour::rgb(255, 128, 128), 9011, 1.0f, 1.0f};
    case Channel::Uout: return {"OUTPUT (pin5)", colour::rgb(128, 0, 255), 9010, 1.0f, 1.0f};
    case Channel::Iout: return {"OUTPUT (pin6)", colour::rgb(128, 128, 0), 9009, 2.0f, 1.0f};
    case Channel::Control: break;
  }
  return {"INPUT (pin2)", colour::rgb(255, 128, 0), 9008, 1.0f, 1.0f};
}

DiagramScales diagramScales(Channel ch, int inputType, const PageUnits& u) {
  // Ten half divisions span the full scale of each axis.
  const auto tenth = [](double fullScale) { return static_cast<float>(fullScale) / 10.0f; };
  return {tenth(yCutValue(ch, u)), tenth(xFullScale(ch, inputType, u))};
}

int diagramPixelX(double value, float xScale) { return diagram::kLeft + truncatedPixels(value, xScale); }

int diagramPixelY(double value, float yScale) { return diagram::kBottom - truncatedPixels(value, yScale); }

std::string axisNumber(float scale, int i) {
  if (scale == 0.1f) return formatFixed(0.1 * i * 2, 1);
  if (scale > 0.0f && scale < 1.0f) return formatFixed(static_cast<double>(scale) * i * 2, 1);
  return std::to_string(static_cast<int>(scale) * i * 2);
}

}  // namespace vrx4
