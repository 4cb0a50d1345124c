// The arithmetic of the line diagram: which diagram each channel page
// creates, where a point in channel units lands in the 200 x 200 pixel
// plot, and the numbers written along the two axes.
#pragma once

#include <string>

#include "core/base/colour_word.h"
#include "core/pages/page_formats.h"

namespace vrx4 {

struct DiagramSetup {
  const char* title;  // "INPUT (pin2)" ...
  ColourWord colour;  // of the line and the title
  int id;             // control id
  float yScale;       // units per half division
  float xScale;
};
DiagramSetup diagramSetup(Channel ch);

// The scales a channel's diagram draws with in a display context. The
// scales of diagramSetup are those of a voltage input in bar on the 10 bar
// range; there every axis is ten half divisions of its full scale. Other
// units, the 20 bar range and a current input keep that: each axis takes a
// tenth of its full scale per half division (PSI 15, kPa 100, MPa 0.1,
// 20 mA 2.0, doubled on the high range), so the line always lies on the
// plot and the numbers name its values.
struct DiagramScales {
  float yScale;
  float xScale;
};
DiagramScales diagramScales(Channel ch, int inputType, const PageUnits& u);

// The plot frame in client pixels: left 30, right 230, top 40, bottom 240;
// five divisions of 40 pixels each way, 20 pixels per scaled unit.
namespace diagram {
constexpr int kLeft = 30;
constexpr int kRight = 230;
constexpr int kTop = 40;
constexpr int kBottom = 240;
constexpr int kDivisions = 5;
constexpr int kDivisionPixels = 40;
constexpr float kPixelsPerUnit = 20.0f;
}  // namespace diagram

// SetLine's conversion of a channel value to a client pixel: x = 30 +
// truncation of (value / xScale * 20), y = 240 - truncation of (value /
// yScale * 20). A point far beyond the plot is drawn beyond it and clipped
// by the window, so the result is held within +-100000 pixels (a value
// typed as 1e300 or a non-finite one would otherwise not convert to an int
// at all; a non-finite value lands on the axis).
int diagramPixelX(double value, float xScale);
int diagramPixelY(double value, float yScale);

// The number at grid line i (1..5 on y, 1..4 on x): with a scale of
// exactly the float 0.1 "%.1f" of 0.1 * i * 2, otherwise "%d" of the
// truncated scale * i * 2. Any other scale below 1 (0.2 on the MPa axis of
// the high range) also shows one decimal: truncated, it would read 0.
std::string axisNumber(float scale, int i);

}  // namespace vrx4
