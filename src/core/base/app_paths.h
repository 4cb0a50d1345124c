// Where the program keeps its settings and finds its data files.
#pragma once

#include <string>
#include <vector>

namespace vrx4 {

// "$XDG_CONFIG_HOME/vrx4/", or "$HOME/.config/vrx4/" when XDG_CONFIG_HOME is
// unset, empty or not absolute; with neither, "./". Trailing slash included.
std::string defaultConfigDirectory(const char* xdgConfigHome, const char* home);

// The settings file: `option` when given (a directory gets "VRX4.ini"
// appended), else "VRX4.ini" in configDir.
std::string settingsFilePath(const std::string& option, const std::string& configDir);

// The data directory (trailing slash included): the executable's own
// folder when it holds "Language.ini" (the build tree), else
// "<exe>/../share/vrx4/" when that exists (an installed tree), else
// `installedDataDir`.
std::string findDataDirectory(const std::string& executableDir, const std::string& installedDataDir);
// The folders findDataDirectory looks in, in that order.
std::vector<std::string> dataDirectoryCandidates(const std::string& executableDir,
                                                 const std::string& installedDataDir);

// The data files the labels and messages come from.
inline constexpr const char* kLanguageFile = "Language.ini";
inline constexpr const char* kErrorFile = "Error.ini";
// Those of them that dataDir lacks.
std::vector<std::string> missingDataFiles(const std::string& dataDir);
// What the user is told about a missing data file: its name, the folders
// looked in, and that the program goes on without it.
std::string missingDataFileMessage(const std::string& file, const std::vector<std::string>& lookedIn);

// Directory part of a path with its trailing slash ("" for a bare name).
std::string directoryOf(const std::string& path);

}  // namespace vrx4
