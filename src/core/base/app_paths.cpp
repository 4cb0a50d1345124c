#include "core/base/app_paths.h"

#include <filesystem>
#include <system_error>

namespace vrx4 {
namespace fs = std::filesystem;
namespace {

std::string withSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

bool pathExists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

}  // namespace

std::string defaultConfigDirectory(const char* xdgConfigHome, const char* home) {
  if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') return withSlash(xdgConfigHome) + "vrx4/";
  if (home != nullptr && home[0] != '\0') return withSlash(home) + ".config/vrx4/";
  return "./";
}

std::string settingsFilePath(const std::string& option, const std::string& configDir) {
  if (option.empty()) return withSlash(configDir) + "VRX4.ini";
  std::error_code ec;
  if (option.back() == '/' || fs::is_directory(option, ec)) return withSlash(option) + "VRX4.ini";
  return option;
}

std::vector<std::string> dataDirectoryCandidates(const std::string& executableDir,
                                                 const std::string& installedDataDir) {
  const fs::path share = fs::path(executableDir) / ".." / "share" / "vrx4";
  return {withSlash(executableDir), withSlash(share.lexically_normal().string()), withSlash(installedDataDir)};
}

std::string findDataDirectory(const std::string& executableDir, const std::string& installedDataDir) {
  const std::vector<std::string> candidates = dataDirectoryCandidates(executableDir, installedDataDir);
  for (std::size_t i = 0; i + 1 < candidates.size(); ++i)
    if (pathExists(fs::path(candidates[i]) / kLanguageFile)) return candidates[i];
  return candidates.back();
}

std::vector<std::string> missingDataFiles(const std::string& dataDir) {
  std::vector<std::string> missing;
  for (const char* file : {kLanguageFile, kErrorFile})
    if (!pathExists(fs::path(withSlash(dataDir) + file))) missing.emplace_back(file);
  return missing;
}

std::string missingDataFileMessage(const std::string& file, const std::vector<std::string>& lookedIn) {
  std::string text = "The data file " + file + " was not found. Looked for it in:\n";
  for (const std::string& dir : lookedIn) text += "  " + withSlash(dir) + file + "\n";
  text += file == kLanguageFile ? "The labels and messages stay empty until it is installed there."
                                : "The device's information messages stay empty until it is installed there.";
  return text;
}

std::string directoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string{} : path.substr(0, slash + 1);
}

}  // namespace vrx4
