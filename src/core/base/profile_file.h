// A private profile file ("VRX4.ini", "Language.ini", "Error.ini"): section
// headers in square brackets, "key=value" lines. Sections and keys match
// without regard to case; a missing file, section or key reads as the
// default. A write starts from the file as it is on disk at that moment and
// changes its one line, keeping every other line, comment and line end, so
// that what another program (or another copy of this one) wrote meanwhile
// survives.
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

  // Reads the file again (a missing file is empty). False when the file
  // exists but cannot be read; the text is then empty as well.
  bool reload();
  // Reads the file again only when it changed on disk since the last read
  // (written, replaced, removed or created); true when it did.
  bool reloadIfChanged();
  // How many times the file was read from disk.
  int reads() const { return m_reads; }
  const std::string& path() const { return m_path; }

  std::optional<std::string> find(std::string_view section, std::string_view key) const;
  std::string getString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // The leading decimal integer of the value (blanks and a sign allowed);
  // a value that starts with no digit reads as 0, a missing key as fallback.
  long getInt(std::string_view section, std::string_view key, long fallback) const;

  // Re-reads the file, sets the value and saves the file (through a
  // temporary file renamed over it). False when the file could not be read
  // or written; an unreadable file is left as it is.
  bool writeString(std::string_view section, std::string_view key, std::string_view value);
  bool writeInt(std::string_view section, std::string_view key, long value);

  // The text as it would be saved.
  std::string text() const;
  void setText(std::string_view text);

 private:
  struct Line {
    std::string text;  // without its line end
    std::string eol;   // "\r\n", "\n", or empty for a last line without one
  };
  // What tells that the file changed: existence, identity, size and time.
  struct Stamp {
    bool exists = false;
    unsigned long long device = 0, inode = 0, size = 0;
    long long seconds = 0, nanoseconds = 0;
    bool operator==(const Stamp&) const = default;
  };
  static Stamp stampOf(const std::string& path);
  void insertLine(std::size_t at, std::string text);

  std::string m_path;
  std::vector<Line> m_lines;
  std::string m_eol = "\n";  // for new lines: the file's first line end
  Stamp m_stamp;
  int m_reads = 0;
};

}  // namespace vrx4
