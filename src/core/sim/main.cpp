// vrx4-sim: a simulated VRX4 regulator on a pseudo-terminal.
#include <signal.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "core/memory/config_file.h"
#include "core/sim/demo_script.h"
#include "core/sim/pty_server.h"

namespace {

constexpr const char* kUsage =
    "Usage: vrx4-sim [options]\n"
    "Serves a simulated VRX4 regulator on a pseudo-terminal and prints the path a host opens.\n\n"
    "  --link PATH          keep a symlink to the line at PATH\n"
    "  --pace               pace replies at 38400 baud (10 bits a byte)\n"
    "  --duration S         stop after S seconds (default: until SIGINT/SIGTERM)\n"
    "  --serial HEX6        serial number, e.g. 0A1B2C (default 012345)\n"
    "  --load FILE          EEPROM images from a configuration file\n"
    "  --info C1,...,C8     information codes to report\n"
    "  --seed N             seed of the noise and of the random faults\n"
    "  --fault-corrupt P    probability that a reply carries a wrong checksum\n"
    "  --fault-drop P       probability that a reply is not sent\n"
    "  --fault-stray P      probability of stray bytes before a reply\n"
    "  --silent-after N     stop answering after N bytes received\n"
    "  --script             play a short scripted exchange against itself and exit\n"
    "  --help               this text\n";

bool number(const std::string& s, double& out) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc{} && p == s.data() + s.size() && std::isfinite(out);
}

int fail(const std::string& text) {
  std::cerr << "vrx4-sim: " << text << "\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vrx4;
  std::vector<std::string> a(argv + 1, argv + argc);
  sim::PtyServer::Options options;
  double duration = 0;
  bool script = false;
  std::array<std::uint8_t, 3> serial{0x01, 0x23, 0x45};
  std::string load;
  std::array<std::uint8_t, 8> info{};
  std::uint32_t seed = 1;
  double corrupt = 0, drop = 0, stray = 0;
  long silentAfter = -1;

  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::string& o = a[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= a.size()) return {};
      return a[++i];
    };
    double v = 0;
    if (o == "--help" || o == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (o == "--link") {
      options.linkPath = value();
      if (options.linkPath.empty()) return fail("--link needs a path");
    } else if (o == "--pace") {
      options.pace = true;
    } else if (o == "--script") {
      script = true;
    } else if (o == "--duration") {
      if (!number(value(), duration) || duration <= 0) return fail("--duration needs seconds");
    } else if (o == "--serial") {
      const std::string s = value();
      unsigned long n = 0;
      auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), n, 16);
      if (s.size() != 6 || ec != std::errc{} || p != s.data() + s.size()) return fail("--serial needs 6 hex digits");
      serial = {static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)};
    } else if (o == "--load") {
      load = value();
    } else if (o == "--info") {
      const std::string s = value();
      std::size_t k = 0, at = 0;
      while (at <= s.size() && k < 8) {
        const std::size_t comma = std::min(s.find(',', at), s.size());
        unsigned c = 0;
        auto [p, ec] = std::from_chars(s.data() + at, s.data() + comma, c);
        if (ec != std::errc{} || p != s.data() + comma || c > 255) return fail("--info needs up to 8 codes 0..255");
        info[k++] = static_cast<std::uint8_t>(c);
        at = comma + 1;
      }
    } else if (o == "--seed") {
      if (!number(value(), v) || v < 0) return fail("--seed needs a number");
      seed = static_cast<std::uint32_t>(v);
    } else if (o == "--fault-corrupt" || o == "--fault-drop" || o == "--fault-stray") {
      if (!number(value(), v) || v < 0 || v > 1) return fail(o + " needs a probability 0..1");
      (o == "--fault-corrupt" ? corrupt : o == "--fault-drop" ? drop : stray) = v;
    } else if (o == "--silent-after") {
      if (!number(value(), v) || v < 0) return fail("--silent-after needs a count");
      silentAfter = static_cast<long>(v);
    } else {
      std::cerr << "vrx4-sim: unknown option " << o << "\n\n" << kUsage;
      return 1;
    }
  }

  sim::FactoryImages images = sim::factoryImages(serial);
  if (!load.empty()) {
    const auto r = config_file::readFile(load, {images.option, images.base});
    if (r.status == config_file::ReadStatus::CouldNotOpen) return fail("cannot open " + load + ": " + r.detail);
    if (r.status == config_file::ReadStatus::InvalidLine)
      return fail(load + ": TRAME is not valid (line " + std::to_string(r.invalidLine) + ")");
  }
  sim::SimDevice device(images, seed);
  device.setInfoCodes(info);
  device.faults().corruptProbability = corrupt;
  device.faults().dropProbability = drop;
  device.faults().strayProbability = stray;
  device.faults().silentAfter = silentAfter;

  // Signals are taken synchronously by the main thread only.
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);

  sim::PtyServer server(device, options);
  if (!server.start()) return fail(server.error());
  if (script) {
    const int rc = sim::runDemoScript(server.hostPath(), std::cout);
    server.stop();
    return rc;
  }
  std::cout << server.hostPath() << std::endl;

  timespec wait{};
  timespec* waitPtr = nullptr;
  if (duration > 0) {
    wait.tv_sec = static_cast<time_t>(duration);
    wait.tv_nsec = static_cast<long>((duration - std::floor(duration)) * 1e9);
    waitPtr = &wait;
  }
  for (;;) {
    const int sig = sigtimedwait(&set, nullptr, waitPtr);
    if (sig >= 0 || errno == EAGAIN) break;  // a signal, or the duration is over
    if (errno != EINTR) break;
  }
  server.stop();
  return 0;
}
