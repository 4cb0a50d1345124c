// vrx4ctl dump prints what the After-Sales page (or, with --fields, the
// Calibration page) shows; vrx4ctl diff compares two configurations field
// by field. Both use the map pages' own rules.
#include "core/cli/memory_commands.h"

#include <iostream>
#include <memory>

#include "core/cli/cli_link.h"
#include "core/cli/command_support.h"
#include "core/memory/config_diff.h"
#include "core/memory/eeprom_map.h"

namespace vrx4::cli {
namespace {

// Where a configuration comes from: a file, or a regulator on a port.
struct Source {
  std::string file;
  std::string port;
};

// Reads both images of a source; 0 or an exit code after a message.
int load(const Source& s, double timeout, const char* command, Images& images) {
  if (s.port.empty()) {
    std::vector<std::string> gaps;
    if (int code = readConfiguration(s.file, images, command, &gaps)) return code;
    if (!gaps.empty()) {
      std::cerr << "vrx4ctl " << command << ": note: " << s.file << " does not supply";
      for (std::size_t i = 0; i < gaps.size(); ++i) std::cerr << (i ? ", " : " ") << gaps[i];
      std::cerr << "; read as 00\n";
    }
    return kExitOk;
  }
  Link link(s.port, timeout);
  if (int code = link.fullRead()) return code;
  images = link.state().snapshot();
  return kExitOk;
}

// The page's text with LF line ends, ended by one line break.
void print(std::string text) {
  std::erase(text, '\r');
  if (!text.empty() && text.back() != '\n') text += '\n';
  std::cout << text;
}

std::optional<double> timeoutOption(const Args& a) {
  const auto t = a.get("--timeout");
  if (!t) return 30.0;
  const auto s = parseSeconds(*t);
  if (!s) std::cerr << "vrx4ctl: --timeout needs a positive number of seconds, not '" << *t << "'\n";
  return s ? std::optional<double>(std::min(*s, kMaxSeconds)) : std::nullopt;
}

}  // namespace

int cmdDump(const Args& a) {
  const auto in = a.get("--in");
  const auto port = a.get("--port");
  if (in.has_value() == port.has_value()) {
    std::cerr << "vrx4ctl dump: give either --port P or --in FILE\n";
    return kExitUsage;
  }
  const std::string area = a.get("--area", "");
  if (!area.empty() && area != "base" && area != "option") {
    std::cerr << "vrx4ctl dump: --area must be base or option\n";
    return kExitUsage;
  }
  const auto timeout = timeoutOption(a);
  if (!timeout) return kExitUsage;
  Images images;
  if (int code = load({in.value_or(""), port.value_or("")}, *timeout, "dump", images)) return code;
  for (Area which : {Area::Base, Area::Option}) {
    if (!area.empty() && (area == "base") != (which == Area::Base)) continue;
    std::cout << (which == Area::Base ? "BASE" : "OPTION") << "\n";
    const Image& image = images.device(which);
    print(a.has("--fields") ? eeprom_map::fieldList(which, image) : eeprom_map::dumpText(which, image));
  }
  return kExitOk;
}

int cmdDiff(const Args& a) {
  // The two sources in the order given: a word is a file, --port P a
  // regulator (twice for two regulators).
  std::vector<Source> sources;
  const std::vector<std::string>& w = a.words;
  for (std::size_t i = 1; i < w.size(); ++i) {
    if (w[i] == "--port" && i + 1 < w.size()) sources.push_back({"", w[++i]});
    else if (w[i].rfind("--port=", 0) == 0) sources.push_back({"", w[i].substr(7)});
    else if (w[i] == "--timeout") ++i;
    else if (w[i].rfind("--", 0) != 0) sources.push_back({w[i], ""});
  }
  if (sources.size() != 2) {
    std::cerr << "vrx4ctl diff: give two configurations, each a FILE or --port P\n";
    return kExitUsage;
  }
  const auto timeout = timeoutOption(a);
  if (!timeout) return kExitUsage;
  Images first, second;
  if (int code = load(sources[0], *timeout, "diff", first)) return code;
  if (int code = load(sources[1], *timeout, "diff", second)) return code;
  const auto differences = config_diff::compare(first, second);
  for (const auto& d : differences) std::cout << config_diff::text(d) << "\n";
  return differences.empty() ? kExitOk : kExitDiffer;
}

}  // namespace vrx4::cli
