// vrx4ctl: the VRX4 link without windows, for scripts and production lines.
#include <iostream>
#include <string>
#include <vector>

#include "core/cli/cli_args.h"
#include "core/cli/cli_link.h"
#include "core/cli/commands.h"
#include "core/cli/memory_commands.h"
#include "core/cli/page_commands.h"

namespace {

constexpr const char* kExitCodes =
    "Exit codes:\n"
    "  0  done (for write and restore: every block read back and verified)\n"
    "  1  usage error\n"
    "  2  file error (cannot open, TRAME is not valid, cannot save)\n"
    "  3  timed out (--timeout)\n"
    "  4  the port cannot be opened (Error Port ...)\n"
    "  5  the link refused the request\n"
    "  6  diff: the two configurations differ\n"
    "  7  another regulator answered after the line was lost; the transfer was stopped\n"
    "     (after a write: the first regulator may be half-written, write it again),\n"
    "     or before a write: nothing was written\n"
    "130  interrupted (Ctrl-C, SIGTERM, SIGHUP); a write or restore is finished first\n"
    "     unless interrupted twice\n";

constexpr const char* kCommonOptions =
    "  --port P       serial port: COMn (the n-th serial port, /dev/ttyS{n-1}) or a device path\n"
    "  --timeout S    give up after S seconds (default 30, at most 30 days)\n";

struct Command {
  const char* name;
  const char* usage;
  const char* about;
  std::vector<std::string> options;
  int (*run)(const vrx4::cli::Args&);
  std::vector<std::string> flags = {};
  std::size_t positional = 0;  // words allowed after the command word
};

const std::vector<Command>& commands() {
  static const std::vector<Command> list = {
      {"ports", "vrx4ctl ports", "List the serial ports that exist, one per line.", {}, vrx4::cli::cmdPorts},
      {"read", "vrx4ctl read --port P --out FILE [--timeout S]",
       "Read both EEPROM areas of the regulator and save them as a configuration file.",
       {"--port", "--timeout", "--out"}, vrx4::cli::cmdRead},
      {"write", "vrx4ctl write --port P --in FILE [--access 2|3|4] [--timeout S]",
       "Send a configuration file to the regulator (Export to VRX). The file is checked\n"
       "first; a file with an invalid line writes nothing. Outside access mode 4 only the\n"
       "setpoint byte, the command scaling, the PID gains and OPTION 0x00..0x2F come from\n"
       "the file (default --access 2). Every block is read back until it matches.",
       {"--port", "--timeout", "--in", "--access"}, vrx4::cli::cmdWrite},
      {"restore", "vrx4ctl restore --port P [--timeout S]",
       "Restore the regulator's configuration from its own backup areas, verified.",
       {"--port", "--timeout"}, vrx4::cli::cmdRestore},
      {"info", "vrx4ctl info --port P [--timeout S]",
       "Print the serial number, the BASE and OPTION software types and versions and the\n"
       "eight information codes.",
       {"--port", "--timeout"}, vrx4::cli::cmdInfo},
      {"monitor", "vrx4ctl monitor --port P [--period S] [--count N] [--out FILE] [--unit bar|PSI|kPa|MPa]",
       "Print live samples as capture rows (header line, then one row per sample period,\n"
       "default 1 s). Without --count it runs until interrupted; --timeout then bounds the\n"
       "wait for each sample. With --out the rows go to FILE with CR LF line ends.",
       {"--port", "--timeout", "--period", "--count", "--out", "--unit"}, vrx4::cli::cmdMonitor},
      {"show",
       "vrx4ctl show (--port P | --in FILE) [--unit bar|PSI|kPa|MPa] [--access 1|2|3|4] [--range 10|20] [--json]",
       "Print every parameter page as the desktop program shows it, in that unit and access\n"
       "mode (default bar, 1): CONTROL and AUXin corners for both U and I and the input in\n"
       "use, Uout and Iout corners, the alarm logic, limits and times, the four PID gains.\n"
       "--range sets the pressure range (10 or 20 bar full scale); by default it follows\n"
       "the regulator's byte 0x6F. --json prints one JSON object whose values are the\n"
       "pages' texts: {\"CONTROL\": {\"U\": {\"x_low\", \"x_high\", \"y_low\", \"y_high\"},\n"
       "\"I\": {...}, \"type\"}, \"AUXin\": {... \"read_as\": \"monitoring\"|\"p2\"}, \"Uout\",\n"
       "\"Iout\", \"ALARM\": {\"logic\", \"error_plus\", \"error_minus\", \"delay_on\",\n"
       "\"ton_min\", \"delay_off\"}, \"PID\": {\"kp_high\", \"kp_low\", \"ki\", \"kd\"}}.",
       {"--port", "--timeout", "--in", "--unit", "--access", "--range"}, vrx4::cli::cmdShow, {"--json"}},
      {"set", "vrx4ctl set --port P [--unit U] [--range R] PAGE OPTIONS | PAGE --restore",
       "Do what a parameter page's Save (or Restore) does: the same bytes, the same\n"
       "transfer, every byte read back until it matches; then print the pages. Values\n"
       "are typed as on the page: x and y of the lower and upper corner, pressures in\n"
       "--unit (default bar), times in seconds.\n"
       "  control --type U|I --corners XL,YL,XH,YH      (x in V or mA)\n"
       "  auxin --type U|I --corners XL,YL,XH,YH [--read-as monitoring|p2]\n"
       "  uout --corners XL,YL,XH,YH                    (x pressure, y in V)\n"
       "  iout --corners XL,YL,XH,YH                    (x pressure, y in mA)\n"
       "  alarm [--logic +|-] [--error-plus V] [--error-minus V] [--delay-on S]\n"
       "        [--ton-min S] [--delay-off S]\n"
       "  pid [--kp-high N] [--kp-low N] [--ki N] [--kd N]   (whole numbers 0..255)\n"
       "Alarm and PID options not given keep the regulator's values. PAGE --restore\n"
       "writes the page's factory copy back (not for pid). A value the page would refuse\n"
       "(equal x corners, a value the regulator's 16-bit word cannot hold, a PID gain\n"
       "above 255) is refused before the port is opened: exit 1, nothing written.",
       {"--port", "--timeout", "--unit", "--range", "--type", "--corners", "--read-as", "--logic", "--error-plus",
        "--error-minus", "--delay-on", "--ton-min", "--delay-off", "--kp-high", "--kp-low", "--ki", "--kd"},
       vrx4::cli::cmdSet, {"--restore"}, 1},
      {"dump", "vrx4ctl dump (--port P | --in FILE) [--area base|option] [--fields] [--timeout S]",
       "Print each area as the After-Sales page shows it: its bytes (BASE 0x00..0x6F,\n"
       "OPTION 0x00..0x72) as two hexadecimal digits and a space, 16 a line. With --fields\n"
       "print the Calibration page's field list instead: one line per parameter, its\n"
       "name and its value in 2, 4 or 6 hexadecimal digits. Both areas by default, BASE\n"
       "first, each under a line BASE or OPTION. A file is read as the tools page's Open\n"
       "reads it: bytes it has no line for show as 00 (named on stderr).",
       {"--port", "--timeout", "--in", "--area"}, vrx4::cli::cmdDump, {"--fields"}},
      {"diff", "vrx4ctl diff A B [--timeout S]   (A and B each a FILE or --port P)",
       "Compare two configurations over what a configuration file holds (BASE 0x00..0x6F,\n"
       "OPTION 0x00..0x72). One line per parameter whose bytes differ: area, name,\n"
       "address, A's value and B's value as the Calibration page shows them\n"
       "(BASE KPHG 0x2B 00 7F); then each differing byte outside any parameter\n"
       "(BASE 0x10 AA BB). Exit 0 when they are identical, 6 when they differ.\n"
       "Example: vrx4ctl diff golden.txt --port /dev/ttyUSB0",
       {"--port", "--timeout"}, vrx4::cli::cmdDiff, {}, 2},
  };
  return list;
}

void printOverview(std::ostream& os) {
  os << "Usage: vrx4ctl COMMAND [options]   (vrx4ctl COMMAND --help for its options)\n\nCommands:\n";
  for (const Command& c : commands()) os << "  " << c.usage << "\n";
  os << "\n" << kExitCodes;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  if (words.empty() || words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
    printOverview(words.empty() ? std::cerr : std::cout);
    return words.empty() ? vrx4::cli::kExitUsage : vrx4::cli::kExitOk;
  }
  for (const Command& c : commands()) {
    if (words[0] != c.name) continue;
    const vrx4::cli::Args args = vrx4::cli::parseArgs(words, c.options, c.flags, c.positional);
    if (args.help) {
      std::cout << "Usage: " << c.usage << "\n\n" << c.about << "\n\n";
      if (!c.options.empty()) std::cout << "Options:\n" << kCommonOptions << "\n";
      std::cout << kExitCodes;
      return vrx4::cli::kExitOk;
    }
    if (!args.error.empty()) {
      std::cerr << "vrx4ctl " << c.name << ": " << args.error << "\nUsage: " << c.usage << "\n";
      return vrx4::cli::kExitUsage;
    }
    vrx4::cli::installSignalHandlers();
    return c.run(args);
  }
  std::cerr << "vrx4ctl: unknown command '" << words[0] << "'\n\n";
  printOverview(std::cerr);
  return vrx4::cli::kExitUsage;
}
