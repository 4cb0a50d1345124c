// The parameter pages as `vrx4ctl show` prints them: every text exactly
// as the page shows it, as lines for a person or one JSON object for a
// script.
#pragma once

#include <string>

#include "core/pages/pages_view.h"

namespace vrx4::cli {

// Lines such as "  U: x 0.0 .. 10.0 V, y 0.0 .. 10.0 bar", one block per page.
std::string pagesText(const AllPagesView& v, std::uint8_t unit);

// {"CONTROL": {"U": {"x_low": "0.0", ...}, "I": {...}, "type": "U"},
//  "AUXin": {..., "read_as": "monitoring"|"p2"}, "Uout": {...}, "Iout": {...},
//  "ALARM": {"logic": "+", "error_plus": ..., ...}, "PID": {"kp_high": ..., ...}}
std::string pagesJson(const AllPagesView& v);

}  // namespace vrx4::cli
