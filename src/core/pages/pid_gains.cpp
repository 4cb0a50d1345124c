#include "core/pages/pid_gains.h"

#include <array>
#include <limits>

#include "core/link/param_dictionary.h"
#include "core/pages/page_ids.h"

namespace vrx4 {
namespace {

constexpr std::uint8_t kFirstByte = 43;  // KPHG
constexpr std::uint8_t kBlockCount = 2;  // two blocks of two bytes
constexpr std::uint32_t kMaxGain = 255;

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

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::optional<std::uint32_t> parseWholeNumber(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  std::uint32_t value = 0;
  constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<std::uint32_t>(c - '0');
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
  }
  return value;
}

PidTexts showPid(const Images& device) {
  const Image& image = device.g_baseDevice;
  std::array<std::string, 4> t;
  for (std::size_t i = 0; i < kGains.size(); ++i) t[i] = std::to_string(image[offsetOf(kGains[i])]);
  return {t[0], t[1], t[2], t[3]};
}

SaveOutcome savePid(const Images& device, const PidEdits& edits) {
  const Image& image = device.g_baseDevice;
  std::array<std::uint32_t, 4> values{};
  for (std::size_t i = 0; i < kGains.size(); ++i) values[i] = image[offsetOf(kGains[i])];

  for (std::size_t i : kExchangeOrder) {
    const Gain& g = kGains[i];
    const std::optional<std::string>& text = edits.*g.edit;
    if (!text) continue;  // the device's byte stays
    const auto v = parseWholeNumber(*text);
    if (!v) {
      return refuse(g.controlId, g.caption, std::string(g.caption) + " : not a whole number (Min=0 - Max=255)");
    }
    values[i] = *v;
  }
  for (std::size_t i = 0; i < kGains.size(); ++i) {
    if (values[i] > kMaxGain) {
      const Gain& g = kGains[i];
      return refuse(g.controlId, g.caption, std::string(g.caption) + " : Min=0 - Max=255");
    }
  }
  std::array<std::uint8_t, 4> work{};
  for (std::size_t i = 0; i < work.size(); ++i) work[i] = static_cast<std::uint8_t>(values[i]);
  return makeOutcome(op::kWriteBaseRange, kFirstByte, kBlockCount, work);
}

}  // namespace vrx4
