#include "core/base/app_options.h"

#include "core/base/network_port_name.h"

namespace vrx4 {

const char* const kAppVersion = "01.04";

const char* const kAppUsage =
    "Usage: vrx4 [options]\n"
    "Configures and monitors a VRX4 pressure regulator on a serial port.\n\n"
    "  --simulate        run on the built-in simulated regulator (no device needed)\n"
    "  --port P          serial port for this run: COM1 (= /dev/ttyS0), a device path, or a\n"
    "                    serial device server: tcp://HOST:PORT (raw) or rfc2217://HOST:PORT\n"
    "  --config PATH     settings file to use (default ~/.config/vrx4/VRX4.ini)\n"
    "  --version         print the version and exit\n"
    "  --help            this text\n";

AppOptions parseAppOptions(const std::vector<std::string>& args) {
  AppOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        o.error = "option " + a + " needs a value";
        return;
      }
      out = args[++i];
    };
    if (a == "--simulate") o.simulate = true;
    else if (a == "--port") value(o.port);
    else if (a.rfind("--port=", 0) == 0) o.port = a.substr(7);
    else if (a == "--config") value(o.config);
    else if (a.rfind("--config=", 0) == 0) o.config = a.substr(9);
    else if (a == "--help" || a == "-h") o.help = true;
    else if (a == "--version") o.version = true;
    else o.error = "unknown option " + a;
    if (!o.error.empty()) break;
  }
  if (o.error.empty() && o.simulate && !o.port.empty()) o.error = "--simulate and --port exclude each other";
  if (const std::string problem = o.error.empty() ? portNameProblem(o.port) : ""; !problem.empty())
    o.error = "--port " + o.port + ": " + problem;
  return o;
}

}  // namespace vrx4
