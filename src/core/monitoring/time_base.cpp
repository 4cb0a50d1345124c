#include "core/monitoring/time_base.h"

#include <cmath>

#include "core/base/number_format.h"
#include "core/base/decimal_text.h"

namespace vrx4 {
namespace {

// Typed text as a number; unreadable or not finite reads as 0, which the
// minimum rules then replace.
float typed(std::string_view text) {
  const double v = parseDecimal(text);
  return std::isfinite(v) ? static_cast<float>(v) : 0.0f;
}

bool tooManyPoints(const TimeBase& t, std::int32_t maxPoints) {
  return t.secondsPerDivision * kTimeDivisions / t.samplePeriod > static_cast<float>(maxPoints);
}

}  // namespace

std::string timeBaseText(float value) { return formatFixed(value, 2); }

TimeBaseEdit editSamplePeriod(std::string_view text, TimeBase current, std::int32_t maxPoints) {
  TimeBaseEdit e;
  e.value = current;
  e.value.samplePeriod = typed(text);
  if (e.value.samplePeriod < kMinSamplePeriod) {
    e.value.samplePeriod = kMinSamplePeriod;
    e.samplePeriodText = timeBaseText(kMinSamplePeriod);
  }
  if (tooManyPoints(e.value, maxPoints)) {
    e.value.secondsPerDivision = static_cast<float>(maxPoints) * e.value.samplePeriod * 0.06666667f;
    e.divisionText = timeBaseText(e.value.secondsPerDivision);
  }
  return e;
}

TimeBaseEdit editSecondsPerDivision(std::string_view text, TimeBase current, std::int32_t maxPoints) {
  TimeBaseEdit e;
  e.value = current;
  e.value.secondsPerDivision = typed(text);
  const float limit = static_cast<float>(maxPoints) * kTimeDivisions * 100.0f;
  if (e.value.secondsPerDivision < kMinSecondsPerDivision) {
    e.value.secondsPerDivision = 5.0f;
    e.divisionText = timeBaseText(5.0f);
  } else if (e.value.secondsPerDivision > limit) {
    e.value.secondsPerDivision = limit;
    e.divisionText = timeBaseText(limit);
  }
  if (tooManyPoints(e.value, maxPoints)) {
    float period = e.value.secondsPerDivision * kTimeDivisions / static_cast<float>(maxPoints);
    if (period < 1.0f) period += 0.01f;
    e.value.samplePeriod = period;
    e.samplePeriodText = timeBaseText(period);
  }
  return e;
}

}  // namespace vrx4
