// A private profile file ("VRX4.ini", "Language.ini", "Error.ini"): section
// headers in square brackets, "key=value" lines. Sections and keys match
// without regard to case; a missing file, section or key reads as the
// default; a write changes its one line and keeps every other line and
// comment as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrx4 {

class ProfileFile {
 public:
  ProfileFile() = default;
  explicit ProfileFile(std::string path) : m_path(std::move(path)) { reload(); }

  // Reads the file again (a missing or unreadable file is empty).
  void reload();
  const std::string& path() const { return m_path; }

  std::optional<std::string> find(std::string_view section, std::string_view key) const;
  std::string getString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // The leading decimal integer of the value (blanks and a sign allowed);
  // a value that starts with no digit reads as 0, a missing key as fallback.
  long getInt(std::string_view section, std::string_view key, long fallback) const;

  // Sets the value in memory and saves the file (through a temporary file
  // renamed over it). False when the file could not be written.
  bool writeString(std::string_view section, std::string_view key, std::string_view value);
  bool writeInt(std::string_view section, std::string_view key, long value);

  // The text as it would be saved.
  std::string text() const;
  void setText(std::string_view text);

 private:
  std::string m_path;
  std::vector<std::string> m_lines;  // without line ends
  std::string m_eol = "\n";
};

}  // namespace vrx4
