// vrx4ctl: the VRX4 link without windows, for scripts and production lines.
#include <iostream>
#include <string>
#include <vector>

#include "core/cli/cli_args.h"
#include "core/cli/cli_link.h"
#include "core/cli/commands.h"
#include "core/cli/memory_commands.h"
#include "core/cli/page_commands.h"
#include "core/cli/report_command.h"

namespace {

constexpr const char* kExitCodes =
    "Exit codes:\n"
    "  0  done (for write and restore: every block read back and verified)\n"
    "  1  usage error\n"
    "  2  file error (cannot open, TRAME is not valid, cannot save; report: the PDF\n"
    "     was not written, or its helper vrx4-report-pdf is missing)\n"
    "  3  timed out (--timeout)\n"
    "  4  the port cannot be opened (Error Port ...)\n"
    "  5  the link refused the request\n"
    "  6  diff: the two configurations differ\n"
    "  7  another regulator answered after the line was lost; the transfer was stopped\n"
    "     (after a write: the first regulator may be half-written, write it again),\n"
    "     or before a write: nothing was written\n"
    "130  interrupted (Ctrl-C, SIGTERM, SIGHUP); a write or restore is finished first\n"
    "     unless interrupted twice\n";

constexpr const char* kSummary =
    "Reads, writes, sets and monitors a VRX4 pressure regulator on a serial port, from scripts.\n";

constexpr const char* kOptions =
    "Options:\n"
    "  --port P          serial port: COMn (the n-th serial port, /dev/ttyS{n-1}), a device\n"
    "                    path (/dev/ttyUSB0, /dev/serial/by-id/..., the line vrx4-sim prints),\n"
    "                    or a serial device server: tcp://HOST:PORT, rfc2217://HOST:PORT\n"
    "  --timeout S       give up after S seconds (default 30, at most 30 days)\n"
    "  --in FILE         the configuration file to read (write, show, dump, report)\n"
    "  --out FILE        read: the configuration file to save; monitor: the file for the rows;\n"
    "                    report: the PDF file\n"
    "  --golden FILE     report: list every field that differs from this configuration file\n"
    "  --note TEXT       report: the technician and the machine, printed on the report\n"
    "  --access M        access mode: 1 VISUALISATION, 2 SETTING, 3 SETTING PRO, 4 service\n"
    "                    (write: 2, 3 or 4, default 2; show: default 1; report: default 2)\n"
    "  --unit U          pressure unit: bar (default), PSI, kPa or MPa\n"
    "  --range R         pressure range, 10 or 20 bar full scale (default: the regulator's)\n"
    "  --period S        monitor: seconds from one sample to the next (default 1)\n"
    "  --count N         monitor: stop after N samples\n"
    "  --json            show: one JSON object instead of the pages' text\n"
    "  --area A          dump: only the base or the option area\n"
    "  --fields          dump: the Calibration page's field list instead of the bytes\n"
    "  --restore         set: write the page's factory copy back\n"
    "  --type T          set control, auxin: the input, U (voltage) or I (current)\n"
    "  --corners C       set control, auxin, uout, iout: the corners XL,YL,XH,YH\n"
    "  --read-as R       set auxin: monitoring or p2\n"
    "  --logic L         set alarm: + or -\n"
    "  --error-plus V    set alarm: Error +, in --unit\n"
    "  --error-minus V   set alarm: Error -, in --unit\n"
    "  --delay-on S      set alarm: Delay ON, in seconds\n"
    "  --ton-min S       set alarm: Ton min, in seconds\n"
    "  --delay-off S     set alarm: Delay OFF, in seconds\n"
    "  --kp-high N       set pid: Kp High, a whole number 0..255\n"
    "  --kp-low N        set pid: Kp Low, a whole number 0..255\n"
    "  --ki N            set pid: Ki, a whole number 0..255\n"
    "  --kd N            set pid: Kd, a whole number 0..255\n"
    "  --help            the command's own help\n";

constexpr const char* kExamples =
    "Examples:\n"
    "  Save the configuration of the regulator on the first USB adapter:\n"
    "    vrx4ctl read --port /dev/ttyUSB0 --out golden.txt\n"
    "  Write that file to another regulator, every block read back and verified:\n"
    "    vrx4ctl write --port /dev/ttyUSB0 --in golden.txt\n"
    "  Check a regulator against the golden file (exit 0 when the same, 6 when not):\n"
    "    vrx4ctl diff golden.txt --port /dev/ttyUSB0 && echo same\n"
    "  Set the alarm limits to 0.5 bar either side and its ON delay to 2 seconds:\n"
    "    vrx4ctl set --port /dev/ttyUSB0 alarm --error-plus 0.5 --error-minus 0.5 --delay-on 2\n"
    "  Record 60 samples in PSI, one a second, into a capture file:\n"
    "    vrx4ctl monitor --port /dev/ttyUSB0 --count 60 --unit PSI --out p2.csv\n"
    "  Print the parameter pages of a saved configuration as JSON:\n"
    "    vrx4ctl show --in golden.txt --json\n"
    "  Make the commissioning report of a regulator, compared with the golden file:\n"
    "    vrx4ctl report --port /dev/ttyUSB0 --golden golden.txt --note \"J. Smith, press 7\" --out press7.pdf\n";

constexpr const char* kCommonOptions =
    "  --port P       serial port: COMn (the n-th serial port, /dev/ttyS{n-1}), a device path, or a\n"
    "                 serial device server or ser2net: tcp://HOST:PORT (raw), rfc2217://HOST:PORT\n"
    "                 (Telnet, RFC 2217); IPv6 as tcp://[ADDRESS]:PORT\n"
    "  --timeout S    give up after S seconds (default 30, at most 30 days)\n"
    "Each option is given once; one given twice is a usage error.\n";

struct Command {
  const char* name;
  const char* usage;
  const char* about;
  std::vector<std::string> options;
  int (*run)(const vrx4::cli::Args&);
  std::vector<std::string> flags = {};
  std::size_t positional = 0;  // words allowed after the command word
  std::vector<std::string> repeatable = {};  // options that may be given twice (diff's sources)
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
       "wait for each sample. With --out the rows go to FILE with CR LF line ends; FILE\n"
       "must be a regular file or a new one (a FIFO or a device is refused). A row that\n"
       "cannot be written (a full disk) is cut off again and the command ends with exit 2,\n"
       "saying why and how many complete rows FILE holds.",
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
       "--unit (default bar), times in seconds; each a number as the pages read it:\n"
       "an optional sign, digits and a point before any decimals (2.5, -0.25, .5),\n"
       "no decimal comma, no exponent.\n"
       "  control --type U|I --corners XL,YL,XH,YH      (x in V or mA)\n"
       "  auxin --type U|I --corners XL,YL,XH,YH [--read-as monitoring|p2]\n"
       "  uout --corners XL,YL,XH,YH                    (x pressure, y in V)\n"
       "  iout --corners XL,YL,XH,YH                    (x pressure, y in mA)\n"
       "  alarm [--logic +|-] [--error-plus V] [--error-minus V] [--delay-on S]\n"
       "        [--ton-min S] [--delay-off S]\n"
       "  pid [--kp-high N] [--kp-low N] [--ki N] [--kd N]   (whole numbers 0..255)\n"
       "Alarm and PID options not given keep the regulator's values. PAGE --restore\n"
       "writes the page's factory copy back (not for pid). A value the page would refuse\n"
       "(not a number, equal x corners, corners whose line cannot be computed, a value\n"
       "the regulator's 16-bit word cannot hold, a PID gain that is not a whole number\n"
       "from 0 to 255) is refused before the port is opened: exit 1, nothing written.",
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
       {"--port", "--timeout"}, vrx4::cli::cmdDiff, {}, 2, {"--port"}},
      {"report",
       "vrx4ctl report (--port P | --in FILE) [--golden FILE] [--unit bar|PSI|kPa|MPa] [--range 10|20] "
       "[--access 1|2|3|4] [--note TEXT] --out FILE.pdf",
       "Write the commissioning report of the regulator (or of a configuration file) as a\n"
       "PDF, as the tools page's Report... makes it: the date and time, the program's\n"
       "version, the regulator's serial number and software types and versions, the unit,\n"
       "range and access mode the values are shown in (default bar, the regulator's range,\n"
       "2), every parameter page's values as the page shows them (CONTROL and AUXin with\n"
       "the input in use), the four characteristic lines drawn to scale, and the note\n"
       "(--note: the technician and the machine). A report of a file says so. With\n"
       "--golden it lists every field that differs from that configuration file, as\n"
       "vrx4ctl diff does, or says that none does; the exit code is 0 either way. The PDF\n"
       "is drawn by vrx4-report-pdf, installed next to vrx4ctl; no display is needed. FILE\n"
       "is replaced only by a complete PDF.",
       {"--port", "--timeout", "--in", "--golden", "--unit", "--range", "--access", "--note", "--out"},
       vrx4::cli::cmdReport},
  };
  return list;
}

void printOverview(std::ostream& os) {
  os << "Usage: vrx4ctl COMMAND [options]   (vrx4ctl COMMAND --help for its options)\n" << kSummary
     << "\nCommands:\n";
  for (const Command& c : commands()) os << "  " << c.usage << "\n";
  os << "\n" << kOptions << "\n" << kExitCodes << "\n" << kExamples;
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
    const vrx4::cli::Args args = vrx4::cli::parseArgs(words, c.options, c.flags, c.positional, c.repeatable);
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
