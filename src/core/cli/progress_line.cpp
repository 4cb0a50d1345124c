#include "core/cli/progress_line.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ostream>

namespace vrx4::cli {

std::string progressLine(const transfer_progress::Progress& p, int barWidth) {
  const int filled = p.percent() * barWidth / 100;
  std::string line = p.writing ? "vrx4ctl: writing [" : "vrx4ctl: reading [";
  line.append(static_cast<std::size_t>(filled), '#');
  line.append(static_cast<std::size_t>(barWidth - filled), '.');
  line += "] " + std::to_string(p.done) + "/" + std::to_string(p.total) + " steps, ";
  if (p.stage == transfer_progress::Stage::Waiting) line += "waiting for the regulator";
  else line += std::to_string(p.secondsLeft()) + " s left";
  return line;
}

bool progressWanted(bool quiet) {
  if (quiet || ::isatty(STDERR_FILENO) != 1) return false;
  const char* term = std::getenv("TERM");
  return term == nullptr || std::strcmp(term, "dumb") != 0;
}

void ProgressBar::show(const transfer_progress::Progress& p) {
  if (!m_enabled) return;
  if (p.ended()) {
    clear();
    return;
  }
  // "\033[K" erases what a longer line before left on the right.
  m_out << '\r' << progressLine(p) << "\033[K" << std::flush;
  m_drawn = true;
}

void ProgressBar::clear() {
  if (!m_drawn) return;
  m_out << "\r\033[K" << std::flush;
  m_drawn = false;
}

}  // namespace vrx4::cli
