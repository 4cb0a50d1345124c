#include "core/pages/channel_scaling.h"

#include "core/monitoring/live_display.h"
#include "core/base/number_format.h"
#include "core/base/decimal_text.h"
#include "core/link/param_dictionary.h"

namespace vrx4 {
namespace {

constexpr double kSlopeUnit = 0.0009765625;  // 1/1024
constexpr double kOffsetUnit = 0.001;

// The dictionary name of the channel's slope word.
std::string_view slopeFieldName(Channel ch, int inputType) {
  switch (ch) {
    case Channel::Uout: return "B_TO_V_A";
    case Channel::Iout: return "B_TO_A_A";
    case Channel::Control:
    case Channel::Auxin: break;
  }
  return inputType == input_type::kCurrent ? "A_TO_B_A" : "V_TO_B_A";
}

}  // namespace

Area channelArea(Channel ch) { return ch == Channel::Control ? Area::Base : Area::Option; }

std::size_t coefficientOffset(Channel ch, int inputType) {
  // Every channel's pair is in the dictionary; a missing one is a build
  // fault that the tests catch.
  const auto field = findField(channelArea(ch), slopeFieldName(ch, inputType));
  return field ? field->offset : 0;
}

Coefficients readCoefficients(const Images& device, Channel ch, int inputType) {
  const Image& image = device.device(channelArea(ch));
  const std::size_t at = coefficientOffset(ch, inputType);
  return {readSigned16(image, at), readSigned16(image, at + 2)};
}

Line decodeLine(Channel ch, Coefficients c, float factor) {
  const double f = factor;
  if (isInputChannel(ch)) return {c.a * kSlopeUnit * f, c.b * kOffsetUnit * f};
  return {c.a * kSlopeUnit / f, c.b * kOffsetUnit};
}

RawCoefficients encodeLine(Channel ch, const Line& line, float factor) {
  const double f = factor;
  if (isInputChannel(ch)) return {line.slope * 1024.0 / f, line.offset * 1000.0 / f};
  return {f * line.slope * 1024.0, line.offset * 1000.0};
}

double xFullScale(Channel ch, int inputType, const PageUnits& u) {
  if (!isInputChannel(ch)) return pressureFullScale(u.unit, u.scale);
  return inputType == input_type::kCurrent ? 20.0 : 10.0;
}

double yCutValue(Channel ch, const PageUnits& u) {
  switch (ch) {
    case Channel::Uout: return 10.0;
    case Channel::Iout: return 20.0;
    case Channel::Control:
    case Channel::Auxin: break;
  }
  return pressureFullScale(u.unit, u.scale);
}

Corners clipCorners(Channel ch, int inputType, const Line& line, const PageUnits& u) {
  const double xFull = xFullScale(ch, inputType, u);
  const double top = yCutValue(ch, u);
  Corners c{0.0, xFull, line.offset, xFull * line.slope + line.offset};
  if (c.yHigh > top) {
    if (line.slope != 0.0) {
      c.yHigh = top;
      c.xHigh = (top - line.offset) / line.slope;
    } else {
      c.yHigh = line.offset;
      c.xHigh = xFull;
    }
  }
  if (line.offset < 0.0) {
    if (line.slope != 0.0) {
      c.yLow = 0.0;
      c.xLow = -line.offset / line.slope;
    } else {
      c.xHigh = xFull;
      c.yLow = c.yHigh = line.offset;
    }
  }
  return c;
}

CornerTexts formatCorners(Channel ch, const Corners& c, const PageUnits& u) {
  const int xd = cornerXDecimals(ch, u);
  const int yd = cornerYDecimals(ch, u);
  return {formatFixed(c.xLow, xd), formatFixed(c.xHigh, xd), formatFixed(c.yLow, yd), formatFixed(c.yHigh, yd)};
}

Line lineThrough(const Corners& c) {
  Line line;
  line.slope = (c.yHigh - c.yLow) / (c.xHigh - c.xLow);
  line.offset = c.yLow - line.slope * c.xLow;
  return line;
}

TypedLine computeLine(const CornerTexts& texts) {
  auto value = [](const std::string& text) { return readNumber(text).value_or(0.0); };
  TypedLine t;
  t.corners = {value(texts.xLow), value(texts.xHigh), value(texts.yLow), value(texts.yHigh)};
  t.line = lineThrough(t.corners);
  return t;
}

std::string equivalentText(Channel ch, const Line& line, std::string_view measured, const PageUnits& u) {
  const double v = readNumber(measured).value_or(0.0);
  return formatFixed(v * line.slope + line.offset, equivalentDecimals(ch, u));
}

int controlInputType(const Image& baseDevice) { return baseDevice[0] & 0x01; }
int auxinInputType(const Image& optionDevice) { return (optionDevice[0] >> 3) & 0x01; }
int auxinReadAs(const Image& optionDevice) { return (optionDevice[0] >> 2) & 0x01; }

ChannelView showChannel(Channel ch, const Images& device, int inputType, const PageUnits& u) {
  ChannelView v;
  v.channel = ch;
  v.inputType = isInputChannel(ch) && inputType == input_type::kCurrent ? input_type::kCurrent
                                                                          : input_type::kVoltage;
  const Line decoded = decodeLine(ch, readCoefficients(device, ch, v.inputType), u.factor);
  v.corners = clipCorners(ch, v.inputType, decoded, u);
  v.texts = formatCorners(ch, v.corners, u);
  // Setting the four texts runs ComputeLine, so the page's line is the one
  // through the corners as they are shown.
  v.line = computeLine(v.texts).line;
  if (isInputChannel(ch)) v.xUnit = unitCaption(v.inputType);
  return v;
}

AxisUnits channelAxisUnits(Channel ch, int inputType, std::uint8_t unit) {
  const std::string pressure = pressureUnitName(unit);
  const std::string signal = inputType == input_type::kCurrent ? "mA" : "V";
  switch (ch) {
    case Channel::Control:
    case Channel::Auxin: return {signal, pressure};
    case Channel::Uout: return {pressure, "V"};
    case Channel::Iout: return {pressure, "mA"};
  }
  return {};
}

}  // namespace vrx4
