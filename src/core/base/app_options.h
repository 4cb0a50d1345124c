// The desktop program's command line.
#pragma once

#include <string>
#include <vector>

namespace vrx4 {

struct AppOptions {
  bool simulate = false;  // start on the built-in simulated regulator
  std::string port;       // overrides the stored port for this run
  std::string config;     // settings file (or its folder)
  bool help = false;
  bool version = false;
  std::string error;      // set when the command line cannot be used
};

// Parses the arguments after the program name (Qt's own options already
// removed by QApplication).
AppOptions parseAppOptions(const std::vector<std::string>& args);

extern const char* const kAppUsage;
extern const char* const kAppVersion;

}  // namespace vrx4
