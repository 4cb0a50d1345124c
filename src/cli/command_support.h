// What the vrx4ctl commands share: the port options, the file error
// messages, and the ending of a write that a signal let finish.
#pragma once

#include <optional>
#include <string>

#include "cli/cli_args.h"
#include "memory/config_file.h"

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

// A write that a signal let run to its end still ends as interrupted, so
// that a script looping over regulators stops there.
int finishedDespiteSignal();

}  // namespace vrx4::cli
