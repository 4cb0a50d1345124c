// Numbers typed as text.
//
// readNumber is the one grammar of every value a user or a script types
// for the regulator: the parameter pages' fields and vrx4ctl's options
// call it, so the same text is the same number (or no number) in both:
//
//   number = blanks [sign] (digits ["." [digits]] | "." digits) blanks
//   sign   = "+" or "-"
//   digits = one or more of 0..9
//   blanks = any number of spaces and tabs
//
// Nothing else is a number: no decimal comma ("1,5"), no exponent ("1e1"),
// no hexadecimal ("0x10"), no thousands separator, no second sign, no
// letters or unit after the digits. The fields show their values in this
// form, so a shown value can always be typed back. Independent of the C
// locale.
//
// parseDecimal is the older, lenient reading still used for texts the
// program itself wrote or that no Save depends on: leading blanks, an
// optional sign, digits with an optional '.' fraction and exponent; the
// longest readable prefix counts and unreadable text is 0.
#pragma once

#include <optional>
#include <string_view>

namespace vrx4 {

// The value of a text in the grammar above; nothing for any other text. A
// number too large for a double is plus or minus infinity and one too
// small to tell from zero is 0: callers refuse what is not finite, naming
// the field.
std::optional<double> readNumber(std::string_view text);

double parseDecimal(std::string_view text);

}  // namespace vrx4
