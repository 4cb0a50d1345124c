#include "core/pages/channel_save.h"

#include <array>
#include <cmath>
#include <string>

#include "core/base/number_format.h"
#include "core/pages/page_ids.h"

namespace vrx4 {
namespace {

// The bytes one channel page writes and where its factory copy lies.
struct ChannelBlock {
  std::uint32_t op;
  std::uint8_t start;    // first device address of the working bytes
  std::uint8_t count;    // the request's count (CONTROL: per block of two)
  std::uint8_t size;     // working bytes, all of which reach the device
  std::uint8_t factory;  // first byte of their factory copy
};

// The factory copy of BASE 0..8 lies 16 bytes further, that of OPTION
// 0..27 48 bytes further.
constexpr std::size_t kBaseFactoryShift = 16;
constexpr std::size_t kOptionFactoryShift = 48;

ChannelBlock blockOf(Channel ch) {
  switch (ch) {
    case Channel::Auxin: return {op::kWriteFlagThenOptionRange, 10, 8, 8, 10 + kOptionFactoryShift};
    case Channel::Uout: return {op::kWriteOptionRange, 1, 4, 4, 1 + kOptionFactoryShift};
    case Channel::Iout: return {op::kWriteOptionRange, 5, 4, 4, 5 + kOptionFactoryShift};
    case Channel::Control: break;
  }
  return {op::kWriteSetpointThenBaseRange, 1, 4, 8, 1 + kBaseFactoryShift};
}

SaveOutcome fromImage(Channel ch, const Image& image, std::size_t first) {
  const ChannelBlock b = blockOf(ch);
  return makeOutcome(b.op, b.start, b.count, std::span(image).subspan(first, b.size));
}

std::string pageLabel(Channel ch) { return std::string(channelName(ch)) + " : "; }

// The word a value would round to, for a message.
std::string roundedText(double value) { return formatFixed(roundHalfAway(value), 0); }

// A corner the device cannot take, or a line it cannot store: nothing is
// written and the field named gets the focus.
std::optional<SaveOutcome> checkLine(Channel ch, const TypedLine& t, const RawCoefficients& raw) {
  const ChannelIds& ids = channelIds(ch);
  const std::string page = pageLabel(ch);
  struct Corner {
    double value;
    int controlId;
    const char* name;
  };
  const std::array<Corner, 4> corners{{
      {t.corners.xLow, ids.xLow, "lower x corner"},
      {t.corners.xHigh, ids.xHigh, "upper x corner"},
      {t.corners.yLow, ids.yLow, "lower y corner"},
      {t.corners.yHigh, ids.yHigh, "upper y corner"},
  }};
  for (const Corner& c : corners) {
    if (!std::isfinite(c.value)) {
      return refuse(c.controlId, c.name, page + "the " + c.name + " is too large a number.");
    }
  }
  if (t.corners.xLow == t.corners.xHigh) {
    return refuse(ids.xHigh, "upper x corner",
                  page + "the lower and upper x corners are equal; the line needs two different x values.");
  }
  constexpr const char* kRange = "Min=-32768 - Max=32767";
  if (!encodeWord(raw.a)) {
    return refuse(ids.yHigh, "upper y corner",
                  page + "this line is too steep for the device (slope word " + roundedText(raw.a) + ", " +
                      kRange + "); change the corners.");
  }
  if (!encodeWord(raw.b)) {
    return refuse(ids.yLow, "lower y corner",
                  page + "this line's value at x = 0 is out of the device's range (offset word " +
                      roundedText(raw.b) + ", " + kRange + "); change the corners.");
  }
  return std::nullopt;
}

}  // namespace

std::uint8_t controlSetpointValue(int inputType) { return inputType == input_type::kCurrent ? 1 : 0; }

std::uint8_t auxinFlagValue(std::uint8_t flag, int inputType, int readAs) {
  std::uint8_t v = flag & static_cast<std::uint8_t>(~0x0C);
  if (inputType == input_type::kCurrent) v |= 0x08;
  if (readAs == 1) v |= 0x04;
  return v;
}

SaveOutcome saveChannel(Channel ch, const Images& device, const ChannelEdits& edits, const PageUnits& u) {
  const int type = isInputChannel(ch) && edits.inputType == input_type::kCurrent ? input_type::kCurrent
                                                                                   : input_type::kVoltage;
  const TypedLine typed = computeLine(edits.corners);
  const RawCoefficients raw = encodeLine(ch, typed.line, u.factor);
  if (auto refused = checkLine(ch, typed, raw)) return *refused;

  const Image& image = device.device(channelArea(ch));
  const ChannelBlock b = blockOf(ch);
  SaveOutcome out = fromImage(ch, image, b.start);
  // The pair of the chosen type, inside the working bytes; on the inputs
  // the other type's pair stays as the device holds it.
  const std::size_t at = coefficientOffset(ch, type) - b.start;
  std::span<std::uint8_t> work(out.request.scratch.data(), out.workSize);
  putWord(work, at, *encodeWord(raw.a));
  putWord(work, at + 2, *encodeWord(raw.b));
  if (ch == Channel::Control) out.request.baseSetpointValue = controlSetpointValue(type);
  if (ch == Channel::Auxin) out.request.optionFlagValue = auxinFlagValue(image[0], type, edits.readAs);
  return out;
}

SaveOutcome restoreChannel(Channel ch, const Images& device) {
  const Image& image = device.device(channelArea(ch));
  SaveOutcome out = fromImage(ch, image, blockOf(ch).factory);
  if (ch == Channel::Control) out.request.baseSetpointValue = image[kBaseFactoryShift];
  if (ch == Channel::Auxin) out.request.optionFlagValue = image[kOptionFactoryShift];
  return out;
}

}  // namespace vrx4
