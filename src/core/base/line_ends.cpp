#include "core/base/line_ends.h"

namespace vrx4 {

std::string toCrLf(std::string_view text, std::vector<std::size_t>* from) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (out.empty() || out.back() != '\r')) {
      out.push_back('\r');
      if (from) from->push_back(i);
    }
    out.push_back(text[i]);
    if (from) from->push_back(i);
  }
  return out;
}

}  // namespace vrx4
