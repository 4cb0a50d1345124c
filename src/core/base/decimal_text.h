// Plain text-to-number conversion of typed values: leading blanks, an
// optional sign, digits with an optional '.' fraction and exponent; the
// longest readable prefix counts and unreadable text is 0. Independent of
// the C locale, so a German desktop does not turn "2.5" into 2.
#pragma once

#include <string_view>

namespace vrx4 {

double parseDecimal(std::string_view text);

}  // namespace vrx4
