// The characteristic line of an analogue channel: the coefficient pair A
// (slope) and B (offset) of the device image, the line in page units, the
// two corner points the page shows (clipped at the full scales), their
// texts, the line through typed corners, and the equivalent of a measured
// value.
//
// Axes: on the input pages (CONTROL, AUXin) x is the input signal, V
// (full scale 10) or mA (20), and y the pressure in the display unit (full
// scale Pmax). On the output pages x is the pressure (full scale Pmax) and
// y the output, V on Uout (10) or mA on Iout (20).
//
// Scaling, with F the pressure factor: on the inputs slope = A/1024 * F and
// offset = B/1000 * F (A in 1/1024 bar per V or mA, B in mbar); on the
// outputs slope = A/1024 / F and offset = B/1000 (A in 1/1024 V or mA per
// bar, B in mV or uA).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/link/device_state.h"
#include "core/pages/page_formats.h"

namespace vrx4 {

namespace input_type {
constexpr int kVoltage = 0;  // U
constexpr int kCurrent = 1;  // I
}  // namespace input_type

// A and B as the device stores them.
struct Coefficients {
  std::int16_t a = 0;
  std::int16_t b = 0;
};

// The image the channel's pair lives in (CONTROL in BASE, the others in
// OPTION), and the offset of A in it (B follows two bytes later). The
// input channels hold one pair per input type; the outputs ignore the type.
Area channelArea(Channel ch);
std::size_t coefficientOffset(Channel ch, int inputType);
Coefficients readCoefficients(const Images& device, Channel ch, int inputType);

// The line in page units: y = slope * x + offset.
struct Line {
  double slope = 0.0;
  double offset = 0.0;
};
Line decodeLine(Channel ch, Coefficients c, float factor);

// A and B of a line before rounding (the inverse of decodeLine).
struct RawCoefficients {
  double a = 0.0;
  double b = 0.0;
};
RawCoefficients encodeLine(Channel ch, const Line& line, float factor);

// The two corner points of the line as the page shows them.
struct Corners {
  double xLow = 0.0;
  double xHigh = 0.0;
  double yLow = 0.0;
  double yHigh = 0.0;
};

// Full scale of x: 10 V or 20 mA on the inputs by type, Pmax on the
// outputs. The y value the line is cut at: Pmax on the inputs, 10 V on
// Uout, 20 mA on Iout.
double xFullScale(Channel ch, int inputType, const PageUnits& u);
double yCutValue(Channel ch, const PageUnits& u);

// The corners of the line from x = 0 to x full scale, cut where y passes
// the top (yCutValue) and where it is below 0 at x = 0. A flat line
// (slope 0) is never divided by: above the top it stays at its offset
// across the whole x range, below 0 both corners take the offset.
Corners clipCorners(Channel ch, int inputType, const Line& line, const PageUnits& u);

// The texts of the four corner fields.
struct CornerTexts {
  std::string xLow;
  std::string xHigh;
  std::string yLow;
  std::string yHigh;
};
CornerTexts formatCorners(Channel ch, const Corners& c, const PageUnits& u);

// The line through the two corner points. With equal x corners, or
// corners too far apart, the slope or the offset is not finite; Save
// refuses such a line.
Line lineThrough(const Corners& c);

// ComputeLine: the line through the corners typed in the four fields, read
// in the number grammar of decimal_text.h, for the diagram while the user
// types (a text that is no number counts as 0 here; Save refuses it).
struct TypedLine {
  Corners corners;
  Line line;
};
TypedLine computeLine(const CornerTexts& texts);

// UpdateEquivalent: the measured value (text, no number = 0) mapped by the
// line, as the equivalent field shows it. The page keeps the field frozen
// while it is in Modify mode and does not call this then.
std::string equivalentText(Channel ch, const Line& line, std::string_view measured, const PageUnits& u);

// The input types and the AUXin reading as the images hold them: CONTROL
// is a current input when bit 0 of CONSIGNE (BASE 0) is set; AUXin when
// bit 3 of FLAG (OPTION 0) is set; bit 2 of FLAG reads AUXin as P2.
int controlInputType(const Image& baseDevice);
int auxinInputType(const Image& optionDevice);
int auxinReadAs(const Image& optionDevice);  // 0 "Monitoring value", 1 "P2 pressure"
// AUXin's "TO BE READ AS" group is shown in access mode 4 only.
inline bool readAsGroupVisible(std::uint32_t accessMode) { return accessMode == access::kSettingProService; }

// Everything a channel page shows from the device image (Refresh).
struct ChannelView {
  Channel channel = Channel::Control;
  int inputType = input_type::kVoltage;  // always 0 on the output pages
  // The clipped corners: the line the diagram draws.
  Corners corners;
  // The corner texts, as the four fields show them.
  CornerTexts texts;
  // The line through the corners as shown (rounded to the shown decimals):
  // the page's slope and offset after Refresh, which the equivalent uses.
  // A Save does not write it back: corners whose text is unchanged keep
  // the full precision of `corners` (channel_save.h).
  Line line;
  // Unit of the x axis on the input pages: "[V]" or "[mA]"; empty on the
  // output pages.
  const char* xUnit = "";
};
ChannelView showChannel(Channel ch, const Images& device, int inputType, const PageUnits& u);

// The units of a channel page's two axes in the words a person reads:
// the input's "V" or "mA" and the pressure unit's name on the input pages,
// the pressure and the output's unit on the output pages.
struct AxisUnits {
  std::string x, y;
};
AxisUnits channelAxisUnits(Channel ch, int inputType, std::uint8_t unit);

}  // namespace vrx4
