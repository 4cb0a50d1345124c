#include "core/cli/commands.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "core/base/pressure_units.h"
#include "core/cli/cli_link.h"
#include "core/cli/command_support.h"
#include "core/link/port_names.h"
#include "core/memory/config_file.h"
#include "core/memory/whole_config.h"
#include "core/monitoring/capture_row.h"
#include "core/monitoring/graph_recording.h"

namespace vrx4::cli {
namespace {

// Sends the edit images with op 4 (OPTION then BASE, every block read
// back) and waits until the device has confirmed both areas.
int writeEdits(Link& link) {
  link.beginWrite();
  TransferRequest r;
  r.op = op::kWriteOptionThenBase;
  if (link.state().publishRequest(r) != DeviceState::Publish::Accepted) {
    std::cerr << "vrx4ctl: the link is busy with another transfer\n";
    return kExitDevice;
  }
  // Another regulator answering, or a second interruption, has been
  // explained already; otherwise say what the regulator may hold.
  auto explained = [](int code) { return code == kExitOtherDevice || code == kExitInterrupted; };
  if (int code = link.waitTransfer(3, "the OPTION area to be written and verified")) {
    if (!explained(code))
      std::cerr << "vrx4ctl: the write did not complete; the regulator may hold a partial "
                   "configuration: run the command again\n";
    return code;
  }
  if (int code = link.waitTransfer(2, "the BASE area to be written and verified")) {
    if (!explained(code))
      std::cerr << "vrx4ctl: OPTION was written and verified but BASE did not complete; "
                   "run the command again\n";
    return code;
  }
  return kExitOk;
}

}  // namespace

int cmdPorts(const Args&) {
  for (const std::string& p : listSerialPorts()) std::cout << p << "\n";
  return kExitOk;
}

int cmdRead(const Args& a) {
  auto c = common(a);
  if (!c) return kExitUsage;
  auto out = a.get("--out");
  if (!out || out->empty()) {
    std::cerr << "vrx4ctl read: --out FILE is required\n";
    return kExitUsage;
  }
  Link link(c->port, c->timeout);
  link.showProgress(progressWanted(a.has("--quiet")));
  if (int code = link.fullRead()) return code;
  const Images im = link.state().snapshot();
  std::string detail;
  if (config_file::saveText(*out, config_file::wholeConfiguration(im.g_optionDevice, im.g_baseDevice),
                            &detail) != config_file::SaveStatus::Saved) {
    std::cerr << config_file::kMsgCouldNotOpen << "\n" << *out << ": " << detail << "\n";
    return kExitFile;
  }
  std::cout << "read " << c->port << " (serial number " << whole_config::identity(im).serialNumber
            << ") into " << *out << "\n";
  return kExitOk;
}

int cmdWrite(const Args& a) {
  auto c = common(a);
  if (!c) return kExitUsage;
  auto in = a.get("--in");
  if (!in || in->empty()) {
    std::cerr << "vrx4ctl write: --in FILE is required\n";
    return kExitUsage;
  }
  const std::string access = a.get("--access", "2");
  if (access != "2" && access != "3" && access != "4") {
    std::cerr << "vrx4ctl write: --access must be 2, 3 or 4\n";
    return kExitUsage;
  }
  // Check the whole file before the device is touched: a file with an
  // invalid line, or with no configuration line at all, writes nothing.
  const auto accessMode = static_cast<std::uint32_t>(std::stoi(access));
  {
    Image option{}, base{};
    auto r = config_file::readFile(*in, {option, base});
    if (r.status != config_file::ReadStatus::Read) return fileFailure(r, *in);
    if (!r.anyAreaLine) {
      std::cerr << "vrx4ctl write: " << *in
                << " holds no configuration line (an empty file, or one that starts with an empty "
                   "line): nothing to write\n";
      return kExitFile;
    }
    const auto gaps = whole_config::unsuppliedRanges(r, accessMode);
    if (!gaps.empty()) {
      std::cerr << "vrx4ctl write: warning: " << *in << " does not supply";
      for (std::size_t i = 0; i < gaps.size(); ++i) std::cerr << (i ? ", " : " ") << gaps[i];
      std::cerr << "; the regulator keeps its own values there\n";
    }
  }
  Link link(c->port, c->timeout);
  link.showProgress(progressWanted(a.has("--quiet")));
  if (int code = link.fullRead()) return code;
  config_file::ExportBuffers buffers;
  auto r = config_file::readForExport(*in, link.state(), buffers);
  if (r.status != config_file::ReadStatus::Read) return fileFailure(r, *in);
  whole_config::applyExport(link.state(), buffers, accessMode);
  if (int code = writeEdits(link)) return code;
  std::cout << "wrote " << *in << " to " << c->port << " (access mode " << access
            << "), every block read back and verified\n";
  return finishedDespiteSignal();
}

int cmdRestore(const Args& a) {
  auto c = common(a);
  if (!c) return kExitUsage;
  Link link(c->port, c->timeout);
  link.showProgress(progressWanted(a.has("--quiet")));
  if (int code = link.fullRead()) return code;
  whole_config::applyRestore(link.state());
  if (int code = writeEdits(link)) return code;
  std::cout << "restored the backed-up configuration of " << c->port << ", verified\n";
  return finishedDespiteSignal();
}

int cmdInfo(const Args& a) {
  auto c = common(a);
  if (!c) return kExitUsage;
  Link link(c->port, c->timeout);
  link.state().g_currentPage.store(page::kCalibration);  // this page asks for the information frame
  link.engine().liveFields().m_infoRequest.store(1);
  if (int code = link.fullRead()) return code;
  link.engine().liveFields().m_infoRequest.store(1);
  auto e = link.events().waitFor([](const Event& ev) { return ev.message == msg::kInformation; },
                                 link.deadline(),
                                 [&] { return link.engine().exited() || link.stopRequested(); });
  if (!e) {
    if (int code = link.portFailure()) return code;
    if (link.stopRequested()) return link.interruptedExit();
    std::cerr << "vrx4ctl: timed out waiting for the information frame\n";
    return kExitTimeout;
  }
  const auto id = whole_config::identity(link.state().snapshot());
  const auto info = link.state().deviceInfo();
  std::cout << "Serial number: " << id.serialNumber << "\n"
            << "Type of BASE software: " << id.baseType << "\n"
            << "Version of BASE software: " << id.baseVersion << "\n"
            << "Type of OPTION software: " << id.optionType << "\n"
            << "Version of OPTION software: " << id.optionVersion << "\n"
            << "Information codes:";
  for (auto b : info) std::cout << ' ' << static_cast<int>(b);
  std::cout << "\n";
  return kExitOk;
}

int cmdMonitor(const Args& a) {
  auto c = common(a);
  if (!c) return kExitUsage;
  double period = 1.0;
  if (auto p = a.get("--period")) {
    auto s = parseSeconds(*p);
    if (!s || *s < 0.01) {
      std::cerr << "vrx4ctl monitor: --period needs at least 0.01 seconds\n";
      return kExitUsage;
    }
    period = std::min(*s, kMaxSeconds);
  }
  long count = 0;
  if (auto n = a.get("--count")) {
    auto v = parseCount(*n);
    if (!v) {
      std::cerr << "vrx4ctl monitor: --count needs a positive whole number\n";
      return kExitUsage;
    }
    count = *v;
  }
  const std::string unitName = a.get("--unit", "bar");
  const auto unit = parseUnit(unitName);
  if (!unit) {
    std::cerr << "vrx4ctl monitor: --unit must be bar, PSI, kPa or MPa\n";
    return kExitUsage;
  }
  const float factor = pressureFactor(*unit);

  // With --out the rows go to a capture file as the graph page writes it:
  // a regular file only (a FIFO is refused at once instead of waiting for
  // a reader), CR LF line ends, a row that does not fit cut off again.
  CCaptureFile file;
  const auto out = a.get("--out");
  if (out) {
    file.m_strPath = *out;
    std::string why;
    if (!file.Create(capture::kHeader, &why)) {
      std::cerr << config_file::kMsgCouldNotOpen << "\n" << *out << ": " << why << "\n";
      return kExitFile;
    }
  } else {
    std::cout << capture::kHeader << "\n" << std::flush;
  }

  Link link(c->port, c->timeout);
  link.state().g_samplePeriod.store(period);
  link.state().g_currentPage.store(page::kGraph);
  for (long written = 0; count == 0 || written < count;) {
    // The time-out bounds the wait for each sample, so an endless
    // monitor still notices a device that stopped answering.
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<long long>((c->timeout + period) * 1000));
    auto e = link.events().waitFor(
        [](const Event& ev) { return ev.message == msg::kLiveValues && ev.lParam == 1; }, deadline,
        [&] { return link.engine().exited() || link.stopRequested(); });
    if (link.stopRequested()) return link.interruptedExit();
    if (!e) {
      if (int code = link.portFailure()) return code;
      std::cerr << "vrx4ctl: no measurement from " << c->port << " within " << c->timeout << " s\n";
      return kExitTimeout;
    }
    const LiveMeasurement m = link.engine().measurement();
    const GraphSample s = sampleFrom(m, m.m_sampleMs);
    if (out) {
      if (!file.WriteRow(s, factor, *unit)) {
        std::cerr << "vrx4ctl: could not write a capture row to " << *out << ": " << file.m_lostReason << "\n";
        if (file.Present())
          std::cerr << *out << " holds the header and " << file.m_rowsWritten << " complete rows\n";
        else
          std::cerr << *out << " is no longer there\n";
        return kExitFile;
      }
    } else if (!(std::cout << capture::row(s, factor, *unit) << "\n" << std::flush)) {
      std::cerr << "vrx4ctl: could not write the capture rows\n";
      return kExitFile;
    }
    ++written;
  }
  return kExitOk;
}

}  // namespace vrx4::cli
