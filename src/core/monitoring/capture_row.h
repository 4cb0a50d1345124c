// The capture file's lines: a header, then one row per sample, fields
// separated by ';' with a '.' decimal point whatever the locale.
#pragma once

#include <string>
#include <string_view>

#include "core/monitoring/graph_sample.h"

namespace vrx4::capture {

inline constexpr std::string_view kHeader = "Time;CTRL;AUXin;P2;24VDC;Uout;Iout;Alarm;Flag;Punit";

// "bar", "PSI", "kPa", "MPa" for units 0..3; empty for any other value.
std::string_view unitName(unsigned unit);

// Time;CTRL;AUXin;P2;24VDC;Uout;Iout (3 decimals; P2 in bar times the
// pressure factor);Alarm;Flag;Punit; — every row ends with ';', no line end.
std::string row(const GraphSample& s, float pressureFactor, unsigned unit);

// Number with three decimals, rounded like printf's "%.3f".
std::string fixed3(double v);

}  // namespace vrx4::capture
