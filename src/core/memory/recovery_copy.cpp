#include "core/memory/recovery_copy.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "core/base/app_paths.h"
#include "core/base/text_file.h"
#include "core/memory/config_file.h"

namespace vrx4::recovery {
namespace {

namespace fs = std::filesystem;

std::string withSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

// "press7" for ".../press7.txt": the copy's name starts with the file's.
std::string stemOf(const std::string& file) {
  std::string name = file.substr(file.find_last_of('/') == std::string::npos ? 0 : file.find_last_of('/') + 1);
  if (name.size() > 4) {
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".txt") name.resize(name.size() - 4);
  }
  return name.empty() ? std::string("configuration") : name;
}

std::string stampOf(std::time_t now) {
  std::tm local {};
  localtime_r(&now, &local);
  char buf[32];
  if (std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &local) == 0) return "0";
  return buf;
}

bool taken(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::string defaultFolder(const char* xdgStateHome, const char* home) {
  if (xdgStateHome != nullptr && xdgStateHome[0] == '/') return withSlash(xdgStateHome) + "vrx4/recovery/";
  if (home != nullptr && home[0] != '\0') return withSlash(home) + ".local/state/vrx4/recovery/";
  return {};
}

std::string copyText(std::string_view configText, const std::string& file) {
  std::string text(configText);
  if (file.find_first_of("\r\n") == std::string::npos) {
    text += kWorkOnLine;
    text += file;
    text += "\r\n";
  }
  return text;
}

std::string fileOf(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.substr(0, kWorkOnLine.size()) == kWorkOnLine) return std::string(line.substr(kWorkOnLine.size()));
    at = end + 1;
  }
  return {};
}

std::string_view dataOf(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    if (text.substr(at, kWorkOnLine.size()) == kWorkOnLine) return text.substr(0, at);
    at = end + 1;
  }
  return text;
}

config_file::ReadOutcome open(const std::string& copyPath, const std::string& file, DeviceState& state) {
  std::string text, detail;
  if (!text_file::load(copyPath, text, detail, config_file::kMaxFileBytes)) {
    config_file::ReadOutcome r;
    r.status = config_file::ReadStatus::CouldNotOpen;
    r.detail = std::move(detail);
    return r;
  }
  return config_file::openText(dataOf(text), file, state);
}

Kept keep(const std::string& folder, const std::string& file, std::string_view configText, std::time_t now) {
  const std::string text = copyText(configText, file);
  const std::string name = stemOf(file) + ".unsaved-" + stampOf(now);
  Kept out;
  auto tryIn = [&](const std::string& dir) {
    std::error_code ec;
    if (!dir.empty()) fs::create_directories(dir, ec);
    for (int n = 1; n <= 100; ++n) {
      const std::string path = dir + name + (n > 1 ? "-" + std::to_string(n) : std::string()) + ".txt";
      if (path == file || taken(path)) continue;
      std::string detail;
      if (text_file::save(path, text, &detail)) {
        out.ok = true;
        out.path = path;
        return true;
      }
      out.detail += (out.detail.empty() ? "" : "; ") + detail;
      return false;
    }
    out.detail += (out.detail.empty() ? "" : "; ") + dir + ": no free name";
    return false;
  };
  // The state folder first; next to the file when that cannot be written.
  if (!folder.empty() && tryIn(withSlash(folder))) return out;
  tryIn(directoryOf(file));
  return out;
}

std::vector<Copy> list(const std::string& folder) {
  struct Found {
    Copy copy;
    fs::file_time_type time;
  };
  std::vector<Found> found;
  std::error_code ec;
  if (folder.empty()) return {};
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    std::error_code fileEc;
    if (p.extension() != ".txt" || !it->is_regular_file(fileEc)) continue;
    std::string text, detail;
    Found f;
    f.copy.path = p.string();
    if (text_file::load(f.copy.path, text, detail, config_file::kMaxFileBytes)) f.copy.file = fileOf(text);
    f.time = it->last_write_time(fileEc);
    found.push_back(std::move(f));
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return a.time != b.time ? a.time > b.time : a.copy.path > b.copy.path;
  });
  std::vector<Copy> copies;
  for (Found& f : found) copies.push_back(std::move(f.copy));
  return copies;
}

}  // namespace vrx4::recovery
