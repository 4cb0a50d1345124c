// Line ends of the program's texts: files, dumps and field lists end their
// lines with CR LF, while an edit control hands back bare LF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vrx4 {

// The text with every LF that has no CR before it turned into CR LF. With
// `from`, it also gets, for each character of the result, the index of the
// character of `text` it came from (so an error found in the result can be
// shown where the user typed it).
std::string toCrLf(std::string_view text, std::vector<std::size_t>* from = nullptr);

}  // namespace vrx4
