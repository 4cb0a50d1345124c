#include "core/pages/channel_save.h"

#include <array>
#include <cmath>
#include <string>

#include "core/base/decimal_text.h"
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

// The four corner fields: their texts, their values and their edits.
struct CornerField {
  const std::string CornerTexts::*text;
  double Corners::*value;
  int ChannelIds::*id;
  const char* name;
};
constexpr std::array<CornerField, 4> kCornerFields{{
    {&CornerTexts::xLow, &Corners::xLow, &ChannelIds::xLow, "lower x corner"},
    {&CornerTexts::xHigh, &Corners::xHigh, &ChannelIds::xHigh, "upper x corner"},
    {&CornerTexts::yLow, &Corners::yLow, &ChannelIds::yLow, "lower y corner"},
    {&CornerTexts::yHigh, &Corners::yHigh, &ChannelIds::yHigh, "upper y corner"},
}};

// The corners a Save converts, or nothing when no corner text changed from
// the one shown. A typed text is read in the number grammar; an unchanged
// one stands for the shown corner at its full precision, not for its
// rounded text.
struct CornersToSave {
  std::optional<Corners> corners;
  std::optional<SaveOutcome> refused;
};
CornersToSave cornersToSave(Channel ch, int type, const ChannelEdits& edits) {
  const ChannelIds& ids = channelIds(ch);
  const ChannelView* shown =
      edits.shown && edits.shown->channel == ch && edits.shown->inputType == type ? &*edits.shown : nullptr;
  Corners corners;
  bool typed = false;
  for (const CornerField& f : kCornerFields) {
    const std::string& text = edits.corners.*f.text;
    if (shown != nullptr && text == shown->texts.*f.text) {
      corners.*f.value = shown->corners.*f.value;
      continue;
    }
    typed = true;
    const auto value = readNumber(text);
    if (!value) return {std::nullopt, refuseNotANumber(ids.*f.id, f.name, pageLabel(ch))};
    corners.*f.value = *value;
  }
  if (!typed) return {};
  return {corners, std::nullopt};
}

// Of two corners, the one farther from zero: the one to change when their
// span is too large.
const CornerField& fartherOf(const Corners& c, const CornerField& a, const CornerField& b) {
  return std::fabs(c.*a.value) > std::fabs(c.*b.value) ? a : b;
}

// A line the device cannot store, or that cannot be computed at all:
// nothing is written and the field named gets the focus. Every step is
// checked, so that an overflow never turns into a slope or offset of 0.
std::optional<SaveOutcome> checkLine(Channel ch, const Corners& c, const Line& line, const RawCoefficients& raw) {
  const ChannelIds& ids = channelIds(ch);
  const std::string page = pageLabel(ch);
  auto tooLarge = [&](const CornerField& f) {
    return refuse(ids.*f.id, f.name, page + "the " + f.name + " is too large a number for this line.");
  };
  for (const CornerField& f : kCornerFields)
    if (!std::isfinite(c.*f.value)) return tooLarge(f);
  if (c.xLow == c.xHigh) {
    return refuse(ids.xHigh, "upper x corner",
                  page + "the lower and upper x corners are equal; the line needs two different x values.");
  }
  const auto& [xLow, xHigh, yLow, yHigh] = kCornerFields;
  if (!std::isfinite(c.xHigh - c.xLow)) return tooLarge(fartherOf(c, xLow, xHigh));
  if (!std::isfinite(c.yHigh - c.yLow)) return tooLarge(fartherOf(c, yLow, yHigh));
  if (!std::isfinite(line.slope)) {
    return refuse(ids.xHigh, "upper x corner",
                  page + "the lower and upper x corners are too close together for this line.");
  }
  if (!std::isfinite(line.offset)) return tooLarge(xLow);
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

std::uint8_t controlSetpointValue(std::uint8_t consigne, int inputType) {
  const auto others = static_cast<std::uint8_t>(consigne & ~0x01);
  return inputType == input_type::kCurrent ? static_cast<std::uint8_t>(others | 0x01) : others;
}

std::uint8_t auxinFlagValue(std::uint8_t flag, int inputType, int readAs) {
  std::uint8_t v = flag & static_cast<std::uint8_t>(~0x0C);
  if (inputType == input_type::kCurrent) v |= 0x08;
  if (readAs == 1) v |= 0x04;
  return v;
}

SaveOutcome saveChannel(Channel ch, const Images& device, const ChannelEdits& edits, const PageUnits& u) {
  const int type = isInputChannel(ch) && edits.inputType == input_type::kCurrent ? input_type::kCurrent
                                                                                   : input_type::kVoltage;
  const CornersToSave corners = cornersToSave(ch, type, edits);
  if (corners.refused) return *corners.refused;

  const Image& image = device.device(channelArea(ch));
  const ChannelBlock b = blockOf(ch);
  // Every word as the device holds it; the pair of the chosen type is
  // replaced only when a corner was typed.
  SaveOutcome out = fromImage(ch, image, b.start);
  if (corners.corners) {
    const Line line = lineThrough(*corners.corners);
    const RawCoefficients raw = encodeLine(ch, line, u.factor);
    if (auto refused = checkLine(ch, *corners.corners, line, raw)) return *refused;
    const std::size_t at = coefficientOffset(ch, type) - b.start;
    std::span<std::uint8_t> work(out.request.scratch.data(), out.workSize);
    putWord(work, at, *encodeWord(raw.a));
    putWord(work, at + 2, *encodeWord(raw.b));
  }
  if (ch == Channel::Control) out.request.baseSetpointValue = controlSetpointValue(image[0], type);
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
