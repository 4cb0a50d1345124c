#include "core/pages/pid_gains.h"

#include <array>
#include <cmath>
#include <utility>

#include "core/base/decimal_text.h"
#include "core/link/param_dictionary.h"
#include "core/pages/page_ids.h"

namespace vrx4 {
namespace {

constexpr std::uint8_t kFirstByte = 43;  // KPHG
constexpr std::uint8_t kBlockCount = 2;  // two blocks of two bytes
constexpr double kMaxGain = 255;

struct Gain {
  std::string_view field;  // dictionary name
  const char* caption;
  int controlId;
  std::optional<std::string> PidEdits::*edit;
};

// In BASE order, which is also the order of the range checks.
constexpr std::array<Gain, 4> kGains{{
    {"KPHG", "Kp High", pid_id::kKpHigh, &PidEdits::kpHigh},
    {"KPLOW", "Kp Low", pid_id::kKpLow, &PidEdits::kpLow},
    {"KI", "Ki", pid_id::kKi, &PidEdits::ki},
    {"KD", "Kd", pid_id::kKd, &PidEdits::kd},
}};
// The page exchanges its fields with the edits in this order: Kp High,
// Kp Low, Kd, Ki.
constexpr std::array<std::size_t, 4> kExchangeOrder{0, 1, 3, 2};

std::size_t offsetOf(const Gain& g) {
  const auto f = findField(Area::Base, g.field);
  return f ? f->offset : 0;
}

}  // namespace

PidTexts showPid(const Images& device) {
  const Image& image = device.g_baseDevice;
  std::array<std::string, 4> t;
  for (std::size_t i = 0; i < kGains.size(); ++i) t[i] = std::to_string(image[offsetOf(kGains[i])]);
  return {t[0], t[1], t[2], t[3]};
}

PidEdits changedPidFields(const PidEdits& typed, const PidTexts& shown) {
  PidEdits changed;
  const std::pair<std::optional<std::string> PidEdits::*, const std::string PidTexts::*> fields[] = {
      {&PidEdits::kpHigh, &PidTexts::kpHigh}, {&PidEdits::kpLow, &PidTexts::kpLow},
      {&PidEdits::ki, &PidTexts::ki}, {&PidEdits::kd, &PidTexts::kd}};
  for (const auto& [edit, text] : fields) {
    const std::optional<std::string>& t = typed.*edit;
    if (t && *t != shown.*text) changed.*edit = t;
  }
  return changed;
}

SaveOutcome savePid(const Images& device, const PidEdits& edits) {
  const Image& image = device.g_baseDevice;
  std::array<double, 4> values{};
  for (std::size_t i = 0; i < kGains.size(); ++i) values[i] = image[offsetOf(kGains[i])];

  for (std::size_t i : kExchangeOrder) {
    const Gain& g = kGains[i];
    const std::optional<std::string>& text = edits.*g.edit;
    if (!text) continue;  // the device's byte stays
    // A sign is part of a number: "-1" is a whole number out of range.
    const auto v = readNumber(*text);
    if (!v || (std::isfinite(*v) && *v != std::trunc(*v))) {
      return refuse(g.controlId, g.caption, fillField(kNotAWholeNumberText, g.caption),
                    RefusalKind::NotAWholeNumber);
    }
    values[i] = *v;
  }
  for (std::size_t i = 0; i < kGains.size(); ++i) {
    if (!(values[i] >= 0 && values[i] <= kMaxGain)) {
      const Gain& g = kGains[i];
      return refuse(g.controlId, g.caption, std::string(g.caption) + " : Min=0 - Max=255");
    }
  }
  std::array<std::uint8_t, 4> work{};
  for (std::size_t i = 0; i < work.size(); ++i) work[i] = static_cast<std::uint8_t>(values[i]);
  return makeOutcome(op::kWriteBaseRange, kFirstByte, kBlockCount, work);
}

}  // namespace vrx4
