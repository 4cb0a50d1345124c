#include "core/cli/command_support.h"

#include <algorithm>
#include <iostream>

#include "core/cli/cli_link.h"
#include "core/memory/whole_config.h"

namespace vrx4::cli {

int fileFailure(const config_file::ReadOutcome& r, const std::string& path) {
  if (r.status == config_file::ReadStatus::CouldNotOpen) {
    std::cerr << config_file::kMsgCouldNotOpen << "\n" << path;
    if (!r.detail.empty()) std::cerr << ": " << r.detail;
    std::cerr << "\n";
  } else {
    std::cerr << config_file::kMsgInvalidLine << "\n" << path << ": line " << r.invalidLine << "\n";
  }
  return kExitFile;
}

std::optional<Common> common(const Args& a) {
  Common c;
  auto port = a.get("--port");
  if (!port || port->empty()) {
    std::cerr << "vrx4ctl " << a.command << ": --port is required (see vrx4ctl " << a.command << " --help)\n";
    return std::nullopt;
  }
  c.port = *port;
  if (auto t = a.get("--timeout")) {
    auto s = parseSeconds(*t);
    if (!s) {
      std::cerr << "vrx4ctl: --timeout needs a positive number of seconds, not '" << *t << "'\n";
      return std::nullopt;
    }
    c.timeout = std::min(*s, kMaxSeconds);
  }
  return c;
}


int readConfiguration(const std::string& path, Images& images, const std::string& command,
                      std::vector<std::string>* gaps) {
  images = Images{};
  const auto r = config_file::readFile(path, {images.g_optionDevice, images.g_baseDevice});
  if (r.status != config_file::ReadStatus::Read) return fileFailure(r, path);
  if (!r.anyAreaLine) {
    std::cerr << "vrx4ctl " << command << ": " << path << " holds no configuration line: nothing to " << command
              << "\n";
    return kExitFile;
  }
  if (gaps != nullptr) *gaps = whole_config::unsuppliedRanges(r, 4);
  return kExitOk;
}

int finishedDespiteSignal() {
  if (signalCount() == 0) return kExitOk;
  std::cerr << "vrx4ctl: interrupted: stopped after the write was finished and verified\n";
  return kExitInterrupted;
}

}  // namespace vrx4::cli
