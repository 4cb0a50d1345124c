#include "app/profile_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "app/text_encoding.h"
#include "memory/config_file.h"

namespace vrx4 {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool sameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// "[Name]" -> Name; nullopt for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
  line = trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(line.substr(1, close - 1));
}

// "key=value" -> (key, value); comments and other lines give nullopt.
std::optional<std::pair<std::string_view, std::string_view>> keyValue(std::string_view line) {
  const std::string_view t = trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '#') return std::nullopt;
  const auto eq = t.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return std::make_pair(trim(t.substr(0, eq)), trim(t.substr(eq + 1)));
}

}  // namespace

void ProfileFile::reload() {
  std::ifstream in(m_path, std::ios::binary);
  std::stringstream s;
  if (in) s << in.rdbuf();
  setText(decodeTextFile(s.str()));
}

void ProfileFile::setText(std::string_view text) {
  m_lines.clear();
  m_eol = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    m_lines.emplace_back(line);
    at = end + 1;
  }
}

std::string ProfileFile::text() const {
  std::string t;
  for (const std::string& l : m_lines) {
    t += l;
    t += m_eol;
  }
  return t;
}

std::optional<std::string> ProfileFile::find(std::string_view section, std::string_view key) const {
  bool inSection = false;
  for (const std::string& line : m_lines) {
    if (auto name = sectionName(line)) {
      inSection = sameText(*name, section);
      continue;
    }
    if (!inSection) continue;
    auto kv = keyValue(line);
    if (!kv || !sameText(kv->first, key)) continue;
    std::string_view v = kv->second;
    // A value in matching quotes reads without them.
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
    return std::string(v);
  }
  return std::nullopt;
}

std::string ProfileFile::getString(std::string_view section, std::string_view key, std::string_view fallback) const {
  auto v = find(section, key);
  return v ? *v : std::string(fallback);
}

long ProfileFile::getInt(std::string_view section, std::string_view key, long fallback) const {
  auto v = find(section, key);
  if (!v) return fallback;
  std::string_view s = trim(*v);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  long n = 0;
  for (char c : s) {
    if (!std::isdigit(static_cast<unsigned char>(c))) break;
    if (n > 100000000000L) break;  // far past any setting: stop growing
    n = n * 10 + (c - '0');
  }
  return negative ? -n : n;
}

bool ProfileFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string entry = std::string(key) + "=" + std::string(value);
  bool inSection = false;
  std::optional<std::size_t> sectionEnd;  // index after the section's last key line
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    if (auto name = sectionName(m_lines[i])) {
      if (inSection) break;
      inSection = sameText(*name, section);
      if (inSection) sectionEnd = i + 1;
      continue;
    }
    if (!inSection) continue;
    auto kv = keyValue(m_lines[i]);
    if (kv && sameText(kv->first, key)) {
      m_lines[i] = entry;
      return m_path.empty() ||
             config_file::saveText(m_path, text()) == config_file::SaveStatus::Saved;
    }
    if (!trim(m_lines[i]).empty()) sectionEnd = i + 1;
  }
  if (sectionEnd) {
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), entry);
  } else {
    if (!m_lines.empty() && !trim(m_lines.back()).empty()) m_lines.emplace_back();
    m_lines.push_back("[" + std::string(section) + "]");
    m_lines.push_back(entry);
  }
  return m_path.empty() || config_file::saveText(m_path, text()) == config_file::SaveStatus::Saved;
}

bool ProfileFile::writeInt(std::string_view section, std::string_view key, long value) {
  return writeString(section, key, std::to_string(value));
}

}  // namespace vrx4
