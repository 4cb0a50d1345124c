// The report's contents as a text file: how `vrx4ctl report`, which has no
// Qt, hands them to the PDF helper `vrx4-report-pdf`. One record a line,
// its fields separated by tabs; a backslash, tab, line feed or carriage
// return inside a field is written \\, \t, \n or \r, so the technician's
// note can hold any text. The first line names the format, the last is
// "end", so a file cut short is refused rather than drawn in part.
//
//   VRX4 report 1
//   title      TEXT
//   footer     TEXT
//   header     LABEL VALUE                    (any number)
//   notice     TEXT
//   section    TITLE                          (then its rows and diagram)
//   row        LABEL VALUE
//   diagram    TITLE COLOUR XCAPTION YCAPTION Y1..Y5 X1..X4 PX1 PY1 PX2 PY2
//   differences TITLE GOLDEN NONE COLUMN1..COLUMN5
//   difference FIELD1..FIELD5
//   end
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/pages/report_contents.h"

namespace vrx4::report {

std::string encode(const Contents& c);

// The contents, or nothing with the reason ("line 7: ...") in `error`. At
// most kMaxFileBytes are taken.
constexpr std::size_t kMaxFileBytes = std::size_t{4} << 20;
std::optional<Contents> decode(std::string_view text, std::string* error = nullptr);

}  // namespace vrx4::report
