// Command-line options of vrx4ctl: "--name value" pairs and flags after the
// command word.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vrx4::cli {

struct Args {
  std::string command;
  std::map<std::string, std::string> options;  // "--port" -> "COM1"
  bool help = false;
  std::string error;  // non-empty when the line could not be understood

  std::optional<std::string> get(const std::string& name) const;
  std::string get(const std::string& name, const std::string& fallback) const;
};

// Parses argv (without the program name). `valued` lists the options that
// take a value; any other "--x" is an error, except --help / -h.
Args parseArgs(const std::vector<std::string>& argv, const std::vector<std::string>& valued);

// A number of seconds ("30", "0.5"); nullopt unless positive and finite.
std::optional<double> parseSeconds(const std::string& text);
std::optional<long> parseCount(const std::string& text);

}  // namespace vrx4::cli
