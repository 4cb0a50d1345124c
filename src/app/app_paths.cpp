#include "app/app_paths.h"

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

std::string findDataDirectory(const std::string& executableDir, const std::string& installedDataDir) {
  const fs::path exe(executableDir);
  if (pathExists(exe / "Language.ini")) return withSlash(executableDir);
  const fs::path share = exe / ".." / "share" / "vrx4";
  if (pathExists(share / "Language.ini")) return withSlash(share.lexically_normal().string());
  return withSlash(installedDataDir);
}

std::string directoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string{} : path.substr(0, slash + 1);
}

}  // namespace vrx4
