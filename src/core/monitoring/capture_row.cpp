#include "core/monitoring/capture_row.h"

#include <charconv>

namespace vrx4 {

GraphSample sampleFrom(const LiveMeasurement& m, std::uint32_t sampleMs) {
  GraphSample s;
  s.time = sampleMs * 0.001;
  s.ctrl = m.m_value[1] * 0.001f;
  s.auxin = m.m_value[0] * 0.001f;
  s.p2 = m.m_value[3] * 0.001f;
  s.vdc24 = m.m_value[2] * 0.001f;
  s.uout = m.m_value[4] * 0.001f;
  s.iout = m.m_value[5] * 0.001f;
  s.alarm = m.m_statusBit0 ? 1 : 0;
  s.flag = static_cast<std::int8_t>(m.m_status);
  return s;
}

namespace capture {

std::string_view unitName(unsigned unit) {
  switch (unit) {
    case 0: return "bar";
    case 1: return "PSI";
    case 2: return "kPa";
    case 3: return "MPa";
    default: return "";
  }
}

std::string fixed3(double v) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 3);
  if (ec != std::errc{}) return "0.000";
  return {buf, end};
}

std::string row(const GraphSample& s, float pressureFactor, unsigned unit) {
  std::string r;
  r.reserve(96);
  for (double v : {s.time, static_cast<double>(s.ctrl), static_cast<double>(s.auxin),
                   static_cast<double>(s.p2 * pressureFactor), static_cast<double>(s.vdc24),
                   static_cast<double>(s.uout), static_cast<double>(s.iout)}) {
    r += fixed3(v);
    r += ';';
  }
  r += std::to_string(static_cast<int>(s.alarm));
  r += ';';
  r += std::to_string(static_cast<int>(s.flag));
  r += ';';
  r += unitName(unit);
  r += ';';
  return r;
}

}  // namespace capture
}  // namespace vrx4
