#include "core/cli/cli_args.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/base/network_port_name.h"

namespace vrx4::cli {

std::optional<std::string> Args::get(const std::string& name) const {
  auto it = options.find(name);
  if (it == options.end()) return std::nullopt;
  return it->second;
}

std::string Args::get(const std::string& name, const std::string& fallback) const {
  return get(name).value_or(fallback);
}

Args parseArgs(const std::vector<std::string>& argv, const std::vector<std::string>& valued,
               const std::vector<std::string>& flagNames, std::size_t maxPositional,
               const std::vector<std::string>& repeatable) {
  // Each setting is given once: of "--port A --port B" neither may win
  // silently, as a script that meant one of them would never know.
  std::set<std::string> seen;
  auto once = [&](const std::string& name) {
    if (std::find(repeatable.begin(), repeatable.end(), name) != repeatable.end()) return true;
    return seen.insert(name).second;
  };
  Args a;
  a.words = argv;
  for (std::size_t i = 0; i < argv.size(); ++i) {
    const std::string& w = argv[i];
    if (w == "--help" || w == "-h") {
      a.help = true;
    } else if (w.rfind("--", 0) == 0) {
      std::string name = w;
      std::string value;
      bool inlineValue = false;
      if (auto eq = w.find('='); eq != std::string::npos) {
        name = w.substr(0, eq);
        value = w.substr(eq + 1);
        inlineValue = true;
      }
      if (std::find(flagNames.begin(), flagNames.end(), name) != flagNames.end()) {
        if (inlineValue) {
          a.error = "option " + name + " takes no value";
          return a;
        }
        if (!once(name)) {
          a.error = "option " + name + " given twice";
          return a;
        }
        a.flags.insert(name);
        continue;
      }
      if (std::find(valued.begin(), valued.end(), name) == valued.end()) {
        a.error = "unknown option " + name;
        return a;
      }
      if (!once(name)) {
        a.error = "option " + name + " given twice";
        return a;
      }
      if (!inlineValue) {
        if (i + 1 >= argv.size()) {
          a.error = "option " + name + " needs a value";
          return a;
        }
        value = argv[++i];
      }
      if (name == "--port") {
        if (const std::string problem = portNameProblem(value); !problem.empty()) {
          a.error = "--port " + value + ": " + problem;
          return a;
        }
      }
      a.options[name] = value;
    } else if (a.command.empty()) {
      a.command = w;
    } else if (a.positional.size() < maxPositional) {
      a.positional.push_back(w);
    } else {
      a.error = "unexpected argument '" + w + "'";
      return a;
    }
  }
  return a;
}

std::optional<double> parseSeconds(const std::string& text) {
  double v = 0;
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc{} || p != text.data() + text.size() || !std::isfinite(v) || v <= 0) return std::nullopt;
  return v;
}

std::optional<std::uint8_t> parseUnit(const std::string& name) {
  static constexpr const char* kNames[] = {"bar", "PSI", "kPa", "MPa"};
  for (std::uint8_t i = 0; i < 4; ++i)
    if (name == kNames[i]) return i;
  return std::nullopt;
}

std::optional<long> parseCount(const std::string& text) {
  long v = 0;
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc{} || p != text.data() + text.size() || v <= 0) return std::nullopt;
  return v;
}

}  // namespace vrx4::cli
