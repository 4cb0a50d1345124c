#include "core/cli/report_command.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <memory>
#include <vector>

#include "core/base/app_options.h"
#include "core/base/pressure_units.h"
#include "core/base/text_file.h"
#include "core/cli/cli_link.h"
#include "core/cli/command_support.h"
#include "core/pages/report_contents.h"
#include "core/pages/report_file.h"

extern char** environ;

namespace vrx4::cli {
namespace {

// The contents in a temporary file of their own; removed when it goes.
class ContentsFile {
 public:
  // Empty path (after a message) when the file cannot be written.
  explicit ContentsFile(const std::string& text) {
    const char* tmp = std::getenv("TMPDIR");
    std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/vrx4-report-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
      std::cerr << "vrx4ctl report: cannot make a temporary file " << name << ": "
                << text_file::systemReason(errno) << "\n";
      return;
    }
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        std::cerr << "vrx4ctl report: cannot write the temporary file " << name << ": "
                  << text_file::systemReason(errno) << "\n";
        ::close(fd);
        ::unlink(name.c_str());
        return;
      }
      done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    m_path = name;
  }
  ~ContentsFile() {
    if (!m_path.empty()) ::unlink(m_path.c_str());
  }
  ContentsFile(const ContentsFile&) = delete;
  ContentsFile& operator=(const ContentsFile&) = delete;
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

// Runs the helper on the contents; 0 or an exit code after a message.
int drawPdf(const std::string& helper, const std::string& contents, const std::string& out) {
  const ContentsFile file(contents);
  if (file.path().empty()) return kExitFile;
  // The helper's environment: ours, on Qt's offscreen platform.
  std::vector<std::string> env;
  for (char** e = environ; e && *e; ++e)
    if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0) env.emplace_back(*e);
  env.emplace_back("QT_QPA_PLATFORM=offscreen");
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string argIn = "--in", argOut = "--out", in = file.path(), outPath = out, program = helper;
  char* argv[] = {program.data(), argIn.data(), in.data(), argOut.data(), outPath.data(), nullptr};
  pid_t pid = 0;
  if (const int err = ::posix_spawn(&pid, helper.c_str(), nullptr, nullptr, argv, envp.data()); err != 0) {
    std::cerr << "vrx4ctl report: cannot run " << helper << ": " << text_file::systemReason(err) << "\n";
    return kExitFile;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      std::cerr << "vrx4ctl report: lost " << helper << ": " << text_file::systemReason(errno) << "\n";
      return kExitFile;
    }
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return kExitOk;
  if (WIFSIGNALED(status)) {
    if (signalCount() > 0) return kExitInterrupted;
    std::cerr << "vrx4ctl report: " << helper << " ended with signal " << WTERMSIG(status) << "; " << out
              << " was not written\n";
    return kExitFile;
  }
  // The helper said why; the PDF was not written (it writes whole or not at all).
  std::cerr << "vrx4ctl report: " << out << " was not written\n";
  return kExitFile;
}

}  // namespace

std::string reportHelperPath() {
  std::string self(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= self.size()) return {};
  self.resize(static_cast<std::size_t>(n));
  const auto slash = self.rfind('/');
  return slash == std::string::npos ? std::string() : self.substr(0, slash + 1) + kReportHelper;
}

int cmdReport(const Args& a) {
  const auto in = a.get("--in");
  const auto port = a.get("--port");
  if (in.has_value() == port.has_value()) {
    std::cerr << "vrx4ctl report: give either --port P or --in FILE\n";
    return kExitUsage;
  }
  const std::string out = a.get("--out", "");
  if (out.empty()) {
    std::cerr << "vrx4ctl report: --out FILE.pdf is required\n";
    return kExitUsage;
  }
  const auto unit = parseUnit(a.get("--unit", "bar"));
  if (!unit) {
    std::cerr << "vrx4ctl report: --unit must be bar, PSI, kPa or MPa\n";
    return kExitUsage;
  }
  const std::string range = a.get("--range", "");
  if (!range.empty() && range != "10" && range != "20") {
    std::cerr << "vrx4ctl report: --range must be 10 or 20 (bar full scale)\n";
    return kExitUsage;
  }
  const std::string access = a.get("--access", "2");
  if (access.size() != 1 || access[0] < '1' || access[0] > '4') {
    std::cerr << "vrx4ctl report: --access must be 1, 2, 3 or 4\n";
    return kExitUsage;
  }
  if (report::wouldReplace(out, {in.value_or(""), a.get("--golden", "")})) {
    std::cerr << "vrx4ctl report: --out " << out << " is a configuration file of this report: give the PDF another name\n";
    return kExitUsage;
  }
  std::optional<Common> link;
  if (port) {
    link = common(a);
    if (!link) return kExitUsage;
  }
  // Nothing is read from the regulator when no PDF can be made.
  const std::string helper = reportHelperPath();
  if (helper.empty() || ::access(helper.c_str(), X_OK) != 0) {
    std::cerr << "vrx4ctl report: the PDF helper " << kReportHelper << " is missing: it belongs next to vrx4ctl"
              << (helper.empty() ? std::string() : " (" + helper + ")")
              << ". It is part of the vrx4 package (and of a build with the desktop program); install it\n";
    return kExitFile;
  }

  report::Inputs inputs;
  if (const auto golden = a.get("--golden")) {
    report::Golden g{*golden, {}};
    const auto r = report::readGolden(g.path, g.images);
    if (r.status != config_file::ReadStatus::Read) return fileFailure(r, g.path);
    if (!r.anyAreaLine) {
      std::cerr << "vrx4ctl report: " << g.path << " holds no configuration line: it is no golden file\n";
      return kExitFile;
    }
    inputs.golden = std::move(g);
  }
  if (in) {
    if (int code = readConfiguration(*in, inputs.images, "report")) return code;
    inputs.source = {true, *in, false};
  } else {
    Link regulator(link->port, link->timeout);
    if (int code = regulator.fullRead()) return code;
    inputs.images = regulator.state().snapshot();
    inputs.source = {false, link->port, false};
  }
  const std::uint8_t scale =
      range.empty() ? automaticRange(inputs.images.g_baseDevice[0x6F]) : static_cast<std::uint8_t>(range == "20");
  inputs.units = PageUnits::of(*unit, scale, static_cast<std::uint32_t>(access[0] - '0'));
  inputs.dateTime = report::dateTimeText(std::time(nullptr));
  inputs.version = kAppVersion;
  inputs.note = a.get("--note", "");
  const report::Contents contents = report::build(inputs);
  if (int code = drawPdf(helper, report::encode(contents), out)) return code;
  std::cout << "report of " << inputs.source.name << " written to " << out;
  if (contents.differences)
    std::cout << "; differences from " << contents.differences->golden << ": " << contents.differences->rows.size();
  std::cout << "\n";
  return kExitOk;
}

}  // namespace vrx4::cli
