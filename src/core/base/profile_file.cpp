#include "core/base/profile_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

#include "core/base/text_encoding.h"
#include "core/base/text_file.h"

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

ProfileFile::Stamp ProfileFile::stampOf(const std::string& path) {
  struct stat st {};
  Stamp s;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return s;
  s.exists = true;
  s.device = st.st_dev;
  s.inode = st.st_ino;
  s.size = static_cast<unsigned long long>(st.st_size);
  s.seconds = st.st_mtim.tv_sec;
  s.nanoseconds = st.st_mtim.tv_nsec;
  return s;
}

bool ProfileFile::reload() {
  m_stamp = stampOf(m_path);
  ++m_reads;
  std::ifstream in(m_path, std::ios::binary);
  std::stringstream s;
  if (in) s << in.rdbuf();
  const bool readable = !m_stamp.exists || (in && !in.bad());
  setText(readable ? decodeTextFile(s.str()) : std::string());
  return readable;
}

bool ProfileFile::reloadIfChanged() {
  if (stampOf(m_path) == m_stamp) return false;
  reload();
  return true;
}

void ProfileFile::setText(std::string_view text) {
  m_lines.clear();
  m_eol.clear();
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    Line line;
    if (end == std::string_view::npos) {
      line.text = std::string(text.substr(at));
      at = text.size();
    } else {
      const bool crlf = end > at && text[end - 1] == '\r';
      line.text = std::string(text.substr(at, end - at - (crlf ? 1 : 0)));
      line.eol = crlf ? "\r\n" : "\n";
      if (m_eol.empty()) m_eol = line.eol;
      at = end + 1;
    }
    m_lines.push_back(std::move(line));
  }
  if (m_eol.empty()) m_eol = "\n";
}

std::string ProfileFile::text() const {
  std::string t;
  for (const Line& l : m_lines) {
    t += l.text;
    t += l.eol;
  }
  return t;
}

void ProfileFile::insertLine(std::size_t at, std::string text) {
  // The line before a new one needs a line end of its own.
  if (at > 0 && m_lines[at - 1].eol.empty()) m_lines[at - 1].eol = m_eol;
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), m_eol});
}

std::optional<std::string> ProfileFile::find(std::string_view section, std::string_view key) const {
  bool inSection = false;
  for (const Line& l : m_lines) {
    const std::string_view line = l.text;
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
  // Start from the file as it is now, not from what was read at start-up:
  // whatever was written to it since stays.
  if (!m_path.empty() && !reload()) return false;
  std::string entry = std::string(key) + "=" + std::string(value);
  bool inSection = false;
  bool done = false;
  std::optional<std::size_t> sectionEnd;  // index after the section's last key line
  for (std::size_t i = 0; i < m_lines.size() && !done; ++i) {
    const std::string_view line = m_lines[i].text;
    if (auto name = sectionName(line)) {
      if (inSection) break;
      inSection = sameText(*name, section);
      if (inSection) sectionEnd = i + 1;
      continue;
    }
    if (!inSection) continue;
    auto kv = keyValue(line);
    if (kv && sameText(kv->first, key)) {
      m_lines[i].text = std::move(entry);
      done = true;
    } else if (!trim(line).empty()) {
      sectionEnd = i + 1;
    }
  }
  if (!done && sectionEnd) {
    insertLine(*sectionEnd, std::move(entry));
  } else if (!done) {
    if (!m_lines.empty() && !trim(m_lines.back().text).empty()) insertLine(m_lines.size(), {});
    insertLine(m_lines.size(), "[" + std::string(section) + "]");
    insertLine(m_lines.size(), std::move(entry));
  }
  if (m_path.empty()) return true;
  const bool saved = text_file::save(m_path, text());
  m_stamp = stampOf(m_path);
  return saved;
}

bool ProfileFile::writeInt(std::string_view section, std::string_view key, long value) {
  return writeString(section, key, std::to_string(value));
}

}  // namespace vrx4
