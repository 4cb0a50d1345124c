// The graph page's time base: seconds per sample and seconds per division
// as the user types them, held within the minimum rules and within
// Nb_aff_max, the largest number of samples across the chart's 15
// divisions. Each edit may change the other value; the texts to show come
// back with the values ("%.2f").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vrx4 {

struct TimeBase {
  float samplePeriod = 0.1f;       // g_samplePeriod, s per sample
  float secondsPerDivision = 5.0f;  // g_secondsPerDivision
};

struct TimeBaseEdit {
  TimeBase value;
  std::optional<std::string> samplePeriodText;  // new text of 1238, when it changes
  std::optional<std::string> divisionText;      // new text of 1242, when it changes
};

inline constexpr int kTimeDivisions = 15;
inline constexpr float kMinSamplePeriod = 0.01f;
inline constexpr float kMinSecondsPerDivision = 0.015f;

// Seconds per sample typed (1238 loses the focus): below 0.01 becomes 0.01;
// then, when the plot would hold more than maxPoints samples, the seconds
// per division come down to maxPoints x period / 15.
TimeBaseEdit editSamplePeriod(std::string_view text, TimeBase current, std::int32_t maxPoints);

// Seconds per division typed (1242 loses the focus): below 0.015 becomes
// 5.00, above maxPoints x 1500 that limit; then, when the plot would hold
// more than maxPoints samples, the sample period goes up to
// divisions x 15 / maxPoints (plus 0.01 below 1 s).
TimeBaseEdit editSecondsPerDivision(std::string_view text, TimeBase current, std::int32_t maxPoints);

// A time base value as the edits show it.
std::string timeBaseText(float value);

}  // namespace vrx4
