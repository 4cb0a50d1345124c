// The desktop program once Qt runs: the signals that end it, the folders
// it uses, the application object and the event loop. main() only reads
// the command line before it.
#pragma once

#include <functional>
#include <string>

#include "core/base/app_options.h"

namespace vrx4 {

class CVRX4App;

// Runs the program until it ends; its exit code. The data files are
// looked for beside the program first, then in installedDataDir. `started`
// runs once the window is up, before the event loop (a test's hook).
int runProgram(const AppOptions& options, const std::string& installedDataDir,
               const std::function<void(CVRX4App&)>& started = {});

}  // namespace vrx4
