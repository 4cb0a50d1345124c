// Numbers as the program shows and writes them: printf-style fixed formats
// with a "." decimal point whatever the user's locale. Qt sets the C
// library's locale from the environment, so snprintf("%.3f") would print
// "6,000" on a German or French desktop; these never do.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vrx4 {

// "%.{precision}f". A value that is not finite prints as "---" (no field
// ever shows "inf" or "nan").
std::string formatFixed(double value, int precision);
// "%{width}.{precision}f": right-aligned, padded with blanks to width.
std::string formatFixed(double value, int width, int precision);

}  // namespace vrx4
