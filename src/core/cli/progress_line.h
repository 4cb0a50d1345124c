// The one-line progress bar vrx4ctl draws on stderr while it reads or
// writes a regulator: only on a terminal, so that scripts and logs that
// take stderr get no bar characters.
#pragma once

#include <iosfwd>
#include <string>

#include "core/link/transfer_progress.h"

namespace vrx4::cli {

// "vrx4ctl: writing [########............] 34/83 steps, 2 s left", or
// "..., waiting for the regulator" while it does not answer.
std::string progressLine(const transfer_progress::Progress& p, int barWidth = 24);

// True when the bar is drawn: stderr is a terminal (not a "dumb" one) and
// --quiet was not given.
bool progressWanted(bool quiet);

// Draws the bar over itself with a carriage return; an end (or clear())
// erases it, so that what the command prints next starts on a clean line.
class ProgressBar {
 public:
  ProgressBar(std::ostream& out, bool enabled) : m_out(out), m_enabled(enabled) {}
  void setEnabled(bool enabled) { m_enabled = enabled; }
  void show(const transfer_progress::Progress& p);
  void clear();

 private:
  std::ostream& m_out;
  bool m_enabled;
  bool m_drawn = false;
};

}  // namespace vrx4::cli
