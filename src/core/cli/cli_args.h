// Command-line options of vrx4ctl: "--name value" pairs and flags after the
// command word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <optional>
#include <string>
#include <vector>

namespace vrx4::cli {

struct Args {
  std::string command;
  std::vector<std::string> positional;          // words after the command ("control")
  std::map<std::string, std::string> options;  // "--port" -> "COM1"
  std::set<std::string> flags;                 // options without a value ("--json")
  bool help = false;
  std::string error;  // non-empty when the line could not be understood
  std::vector<std::string> words;  // the whole line as given, command word first

  std::optional<std::string> get(const std::string& name) const;
  std::string get(const std::string& name, const std::string& fallback) const;
  bool has(const std::string& flag) const { return flags.count(flag) != 0; }
};

// Parses argv (without the program name). `valued` lists the options that
// take a value and `flagNames` those that take none; any other "--x" is an
// error, except --help / -h, and so is an option given twice unless it is
// one of `repeatable`. At most `maxPositional` words may follow the command
// word.
Args parseArgs(const std::vector<std::string>& argv, const std::vector<std::string>& valued,
               const std::vector<std::string>& flagNames = {}, std::size_t maxPositional = 0,
               const std::vector<std::string>& repeatable = {});

// A pressure unit by name: "bar", "PSI", "kPa", "MPa" (0..3).
std::optional<std::uint8_t> parseUnit(const std::string& name);

// A number of seconds ("30", "0.5"); nullopt unless positive and finite.
std::optional<double> parseSeconds(const std::string& text);
std::optional<long> parseCount(const std::string& text);

}  // namespace vrx4::cli
