// What the vrx4ctl commands share: the port options, the file error
// messages, and the ending of a write that a signal let finish.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/cli/cli_args.h"
#include "core/memory/config_file.h"

namespace vrx4::cli {

struct Common {
  std::string port;
  double timeout = 30;
};

// --port and --timeout of a device command; nothing (after a message on
// stderr) when they are missing or wrong.
std::optional<Common> common(const Args& a);

// Prints why a configuration file could not be read; the exit code.
int fileFailure(const config_file::ReadOutcome& r, const std::string& path);

// Reads a configuration file as the tools page's Open does: both areas,
// 00 where the file has no line. A file with no configuration line at all
// is refused. `gaps`, when given, gets the ranges of BASE 0x00..0x6F and
// OPTION 0x00..0x72 the file does not supply. 0 or an exit code after a
// message on stderr.
int readConfiguration(const std::string& path, Images& images, const std::string& command,
                      std::vector<std::string>* gaps = nullptr);

// A write that a signal let run to its end still ends as interrupted, so
// that a script looping over regulators stops there.
int finishedDespiteSignal();

}  // namespace vrx4::cli
