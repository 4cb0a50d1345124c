// Recovery copies: file-mode work that was not saved when the program was
// ended by something other than the user (SIGTERM, SIGHUP, a logout), so
// that nobody could be asked about it. The copy is the whole configuration
// in the configuration file format, followed, after the empty line that
// ends the data (where every reader stops), by a line naming the file the
// work belongs to. The file itself is never touched.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "core/memory/config_file.h"

namespace vrx4::recovery {

// "$XDG_STATE_HOME/vrx4/recovery/", or "$HOME/.local/state/vrx4/recovery/"
// when XDG_STATE_HOME is unset, empty or not absolute; empty with neither.
std::string defaultFolder(const char* xdgStateHome, const char* home);

// The line after the data that names the file the work belongs to.
inline constexpr std::string_view kWorkOnLine = "Unsaved work on: ";

// A copy's text: the configuration text (which ends with its empty line),
// then the line naming `file` (left out when the name holds a line break).
std::string copyText(std::string_view configText, const std::string& file);
// The file a copy's text names; empty when it names none.
std::string fileOf(std::string_view copyText);
// A copy's text without the line that names the file: the configuration.
std::string_view dataOf(std::string_view copyText);

struct Kept {
  bool ok = false;
  std::string path;    // the copy
  std::string detail;  // why no copy could be written
};
// Writes a copy of the work on `file` into `folder` (created when missing)
// under a name of its own: "<file's name>.unsaved-<date>-<time>.txt". When
// that fails, or no folder is given, the copy goes next to the file under
// the same kind of name. An existing file is never replaced.
Kept keep(const std::string& folder, const std::string& file, std::string_view configText, std::time_t now);

struct Copy {
  std::string path;
  std::string file;  // the file the work belongs to ("" when the copy does not say)
};
// Opens a copy as file-mode work on `file` (the file it belongs to): the
// configuration of the copy, only when all of it reads as one; otherwise
// nothing changes, as with a file that cannot be opened.
config_file::ReadOutcome open(const std::string& copyPath, const std::string& file, DeviceState& state);

// The copies in `folder` (regular "*.txt" files), newest first.
std::vector<Copy> list(const std::string& folder);

}  // namespace vrx4::recovery
