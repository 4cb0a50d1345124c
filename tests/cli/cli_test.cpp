// vrx4ctl run as a program against the simulated regulator: read, write,
// restore, info and monitor with their failures; dump and diff against
// configuration files and the regulator; monitor --out with a FIFO,
// a full disk and the file read back into the graph's store; a regulator
// behind ser2net.
// show and set: the parameter pages from a script, on the simulated
// regulator and on a configuration file. Each setting is taken once and
// numbers are read as the pages read them: what a page would refuse is a
// usage error before the port is touched.
// The progress bar: drawn on stderr when it is a terminal, over itself,
// steps and seconds left, erased before the command's own last words;
// nothing at all when stderr is a file or --quiet is given.
#include "cli_harness.h"

#include <pty.h>
#include <sys/stat.h>

#include <sstream>
#include <vector>

#include "../ser2net_harness.h"
#include "core/base/pressure_units.h"
#include "core/cli/cli_args.h"
#include "core/memory/config_file.h"
#include "core/monitoring/capture_reader.h"
#include "core/monitoring/capture_row.h"

namespace vrx4 {
namespace {

TEST_F(CliTest, InfoMonitorAndFailures) {
  server->withDevice([](sim::SimDevice& d) { d.setInfoCodes({3, 0, 0, 0, 0, 0, 0, 1}); });
  Outcome r = ok("info " + port());
  EXPECT_TRUE(has(r.out, "Serial number: 01 23 45"));
  EXPECT_TRUE(has(r.out, "Information codes: 3 0 0 0 0 0 0 1"));

  // monitor: the capture header and rows on stdout (CTRL 5 V, AUXin 2 V);
  // with --out, a file that reads back into the graph's store as written.
  r = ok("monitor " + port() + " --period 0.1 --count 3 --unit kPa");
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "Time;CTRL;AUXin;P2;24VDC;Uout;Iout;Alarm;Flag;Punit");
  // One row per sample period, not one per display refresh.
  std::vector<double> times;
  for (; std::getline(lines, line); times.push_back(std::stod(line)))
    EXPECT_TRUE(line.ends_with(";kPa;") && has(line, ";5.000;2.000;")) << line;
  ASSERT_EQ(times.size(), 3u);
  for (std::size_t i = 1; i < times.size(); ++i) EXPECT_GE(times[i] - times[i - 1], 0.0995) << r.out;
  const std::string out = dir + "/monitor.csv";
  ok("monitor " + port() + " --period 0.05 --count 30 --unit kPa --out " + out);
  CSampleStore store;
  const capture::ReadOutcome o = capture::readCapture(out, store);
  ASSERT_EQ(o.status, capture::ReadStatus::Shown);
  EXPECT_EQ(o.unit, unit::kKpa);
  EXPECT_TRUE(o.damagedLines.empty());
  std::istringstream in(readFile(out));
  std::getline(in, line);
  store.read([&](const SampleView& v) {
    ASSERT_EQ(v.size(), 30u);
    for (std::size_t i = 0; i < v.size() && std::getline(in, line); ++i)
      EXPECT_EQ(capture::row(v.at(i), pressureFactor(unit::kKpa), unit::kKpa) + "\r", line);
  });

  r = run("read --port " + dir + "/missing --out " + dir + "/x.txt");
  EXPECT_EQ(r.code, 4);
  EXPECT_TRUE(has(r.err, "Error Port " + dir + "/missing"));

  server->withDevice([](sim::SimDevice& d) { d.faults().silent = true; });
  r = run("read " + port() + " --out " + dir + "/x.txt --timeout 1");
  EXPECT_EQ(r.code, 3);
  EXPECT_TRUE(has(r.err, "timed out"));
  EXPECT_NE(::access((dir + "/x.txt").c_str(), F_OK), 0);  // nothing saved

  EXPECT_EQ(run("write " + port()).code, 1);  // --in missing
  EXPECT_EQ(run("info " + port() + " --timeout 0").code, 1);  // a time-out is more than 0 s
  EXPECT_EQ(run("read --help").code, 0);
}

// read, then dump and diff of that file and of the regulator alike (the
// dump's and the diff's texts themselves: eeprom_map_test), then write and
// restore.
TEST_F(CliTest, ReadDumpDiffWriteAndRestoreAConfiguration) {
  const std::string golden = dir + "/conf.txt", edited = dir + "/new.txt";
  ok("read " + port() + " --out " + golden);
  Image option{}, base{};
  ASSERT_EQ(config_file::readFile(golden, {option, base}).status, config_file::ReadStatus::Read);
  const Image so = simImage(Area::Option), sb = simImage(Area::Base);
  EXPECT_TRUE(std::equal(so.begin(), so.begin() + 115, option.begin()));
  EXPECT_TRUE(std::equal(sb.begin(), sb.begin() + 112, base.begin()));

  const Outcome live = ok("dump " + port());
  EXPECT_EQ(run("dump --in " + golden).out, live.out);
  // BASE first: its title, 7 lines of 16 bytes; then OPTION.
  ASSERT_TRUE(live.out.starts_with("BASE\n")) << live.out;
  EXPECT_EQ(live.out.find("OPTION\n"), 5u + 7 * 49);
  const Outcome fields = ok("dump --in " + golden + " --fields --area option");
  EXPECT_TRUE(fields.out.starts_with("OPTION\nFLAG                  ")) << fields.out;
  EXPECT_EQ(run("dump --in " + golden + " " + port()).code, 1);
  EXPECT_EQ(run("dump --in " + golden + " --area both").code, 1);
  EXPECT_EQ(run("dump --in " + dir + "/missing.txt").code, 2);

  // A serial byte, the PID gain KPHG 120 and an alarm limit changed: diff
  // names each field with its bytes.
  EXPECT_EQ(ok("diff " + golden + " " + port()).out, "");
  ASSERT_EQ(base[0x2B], 0x78);
  base[0x2B] = 0x63, base[0x27] = 0x99, option[0x12] ^= 0x01;
  testing::writeFile(edited, config_file::wholeConfiguration(option, base));
  Outcome r = run("diff --port " + dir + "/tty " + edited);
  EXPECT_EQ(r.code, 6) << r.err;
  EXPECT_EQ(r.out, "BASE SN 0x25 012345 012399\nBASE KPHG 0x2B 78 63\nOPTION AL_LIM_P 0x12 01F4 00F4\n");
  // A file with no line of an area reads as 00 there, and says so.
  config_file::saveText(dir + "/base-only.txt", config_file::baseBlock(base));
  r = run("diff " + dir + "/base-only.txt " + edited);
  EXPECT_EQ(r.code, 6);
  EXPECT_TRUE(has(r.err, "does not supply OPTION 0x00..0x72; read as 00"));
  std::ofstream(dir + "/bad.txt") << "10000zz\r\n";
  EXPECT_EQ(run("diff " + golden + " " + dir + "/bad.txt").code, 2);
  EXPECT_EQ(run("diff " + golden).code, 1);
  EXPECT_EQ(run("diff " + golden + " " + golden + " " + golden).code, 1);

  // Access mode 2 takes the gain and keeps the device's serial number;
  // bytes past the file's blocks are written back as the device held them.
  ok("write " + port() + " --in " + edited);
  const Image wo = simImage(Area::Option), wb = simImage(Area::Base);
  EXPECT_EQ((std::array{wb[0x2B], wb[0x27], wo[0x12], wo[0x75], wb[0x71]}),
            (std::array<std::uint8_t, 5>{0x63, sb[0x27], static_cast<std::uint8_t>(so[0x12] ^ 1), so[0x75], sb[0x71]}));
  // Restore brings the backup copies back.
  ok("restore " + port());
  EXPECT_EQ(simImage(Area::Base)[0x2B], 0x63);  // not in the backup area
  EXPECT_EQ(simImage(Area::Option)[0x12], so[0x42]);
}

// monitor --out: a FIFO is refused at once instead of waiting for a reader,
// and a row the disk cannot take is cut off again, the command saying why
// and how many rows the file holds.
TEST_F(CliTest, MonitorOutRefusesAFifoAndCutsARowTheDiskCannotTake) {
  const std::string fifo = dir + "/pipe.csv";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  Running toFifo(dir, {"monitor", "--port", tty, "--period", "0.1", "--count", "3", "--out", fifo});
  EXPECT_EQ(toFifo.exitCode(5), 2) << "still waiting on the FIFO (-1), or another exit";
  EXPECT_TRUE(has(toFifo.err(), fifo + ": not a regular file"));

  // A file size limit of 512 bytes stands for the disk filling up in the
  // middle of a row (the shell ignores the signal the limit sends, and so
  // does the program it starts).
  const std::string out = dir + "/run.csv", err = dir + "/limited.err";
  const std::string command = "trap '' XFSZ; ulimit -f 1; exec " + std::string(VRX4CTL_PATH) + " monitor " + port() +
                              " --period 0.01 --count 50 --out " + out + " 2>" + err;
  const int status = std::system(command.c_str());
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 2) << readFile(err);
  const std::string text = readFile(out);
  ASSERT_GT(text.size(), 300u);
  EXPECT_EQ(text.substr(text.size() - 6), "bar;\r\n") << "a row left cut";
  const auto lines = std::count(text.begin(), text.end(), '\n');
  EXPECT_TRUE(has(readFile(err), "File too large"));
  EXPECT_TRUE(has(readFile(err), out + " holds the header and " + std::to_string(lines - 1) + " complete rows"));
}

// Behind ser2net the file read is the file read on the port itself; a
// network port that cannot be used is a usage or a port error as a local
// one is.
TEST_F(CliTest, ReadThroughSer2netGivesTheDirectFileAndNetworkFailuresArePortFailures) {
  VRX4_SKIP_WITHOUT_SER2NET();
  ASSERT_EQ(run("read " + port() + " --out " + dir + "/direct.txt").code, 0);
  const std::string direct = readFile(dir + "/direct.txt");
  ASSERT_FALSE(direct.empty());
  for (testing::Ser2net::Mode mode : {testing::Ser2net::Mode::Raw, testing::Ser2net::Mode::Rfc2217}) {
    testing::Ser2net bridge(tty, mode, dir);
    ASSERT_TRUE(bridge.start());
    const Outcome r = run("read --port " + bridge.url() + " --out " + dir + "/net.txt");
    EXPECT_EQ(r.code, 0) << bridge.url() << ": " << r.err;
    EXPECT_EQ(readFile(dir + "/net.txt"), direct) << bridge.url();
  }

  // A malformed name is a usage error (its reasons: network_port_name_test).
  Outcome r = run("read --port tcp://127.0.0.1 --out " + dir + "/x.txt");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(has(r.err, "--port tcp://127.0.0.1: no port number: write tcp://HOST:PORT"));

  const std::string refused = "tcp://127.0.0.1:" + std::to_string(testing::freeTcpPort());
  r = run("info --port " + refused);
  EXPECT_EQ(r.code, 4);
  EXPECT_TRUE(has(r.err, "Error Port " + refused + "\nconnection refused"));
}

TEST(CliPages, ArgumentsTakePagesAndFlags) {
  auto a = cli::parseArgs({"set", "alarm", "--restore", "--delay-on", "-1"}, {"--delay-on"}, {"--restore"}, 1);
  EXPECT_TRUE(a.error.empty()) << a.error;
  EXPECT_EQ(a.positional, std::vector<std::string>{"alarm"});
  EXPECT_TRUE(a.has("--restore"));
  EXPECT_EQ(a.get("--delay-on", ""), "-1");
  EXPECT_FALSE(cli::parseArgs({"set", "alarm", "pid"}, {}, {}, 1).error.empty());
  EXPECT_FALSE(cli::parseArgs({"show", "--json=1"}, {}, {"--json"}).error.empty());
  // An option given twice, as a flag, valued or inline, unless repeatable.
  for (std::vector<std::string> twice : {std::vector<std::string>{"show", "--json", "--json"},
                                          {"show", "--access", "1", "--access=4"}})
    EXPECT_EQ(cli::parseArgs(twice, {"--access"}, {"--json"}).error, "option " + twice[1] + " given twice");
  EXPECT_TRUE(cli::parseArgs({"diff", "--port", "a", "--port", "b"}, {"--port"}, {}, 0, {"--port"}).error.empty());
}

// show --json: every page text under its key, by default in bar and mode 1;
// the same from the regulator and from its file.
TEST_F(CliTest, ShowReadsTheRegulatorOrAFileTheSameWay) {
  EXPECT_EQ(ok("show " + port() + " --json").out,
            R"({"CONTROL": {"U": {"x_low": "0.0", "x_high": "10.0", "y_low": "0.0", "y_high": "10.0"}, )"
            R"("I": {"x_low": "4.0", "x_high": "20.0", "y_low": "0.0", "y_high": "10.0"}, "type": "U"}, )"
            R"("AUXin": {"U": {"x_low": "0.0", "x_high": "10.0", "y_low": "0.0", "y_high": "10.0"}, )"
            R"("I": {"x_low": "4.0", "x_high": "20.0", "y_low": "0.0", "y_high": "10.0"}, "type": "U", )"
            R"("read_as": "monitoring"}, )"
            R"("Uout": {"x_low": "0.0", "x_high": "10.0", "y_low": "0.0", "y_high": "10.0"}, )"
            R"("Iout": {"x_low": "0.0", "x_high": "10.0", "y_low": "4.0", "y_high": "20.0"}, )"
            R"("ALARM": {"logic": "+", "error_plus": "0.5", "error_minus": "0.5", "delay_on": "1.0", )"
            R"("ton_min": "0.2", "delay_off": "0.5"}, )"
            R"("PID": {"kp_high": "120", "kp_low": "60", "ki": "20", "kd": "5"}})"
            "\n");
  const Outcome live = ok("show " + port() + " --json --unit PSI --access 2");
  EXPECT_TRUE(has(live.out, R"("y_high": "145.04")"));  // CONTROL, mode 2
  EXPECT_TRUE(has(live.out, R"("AUXin": {"U": {"x_low": "0.0", "x_high": "10.0", "y_low": "0", "y_high": "145"})"));
  testing::writeFile(dir + "/conf.txt", config_file::wholeConfiguration(simImage(Area::Option), simImage(Area::Base)));
  const Outcome file = ok("show --in " + dir + "/conf.txt --json --unit PSI --access 2");
  EXPECT_EQ(file.out, live.out);
  // The 20-bar range doubles Pmax: the CONTROL line is no longer cut.
  const Outcome range = run("show --in " + dir + "/conf.txt --range 20");
  EXPECT_TRUE(has(range.out, "range 20 bar"));

  EXPECT_EQ(run("show " + port() + " --in " + dir + "/conf.txt").code, 1);
  EXPECT_EQ(run("show " + port() + " --unit psi").code, 1);
  EXPECT_EQ(run("show " + port() + " --access 5").code, 1);
}

TEST_F(CliTest, SetWritesWhatThePageWouldAndRefusesWhatItWouldRefuse) {
  // CONTROL in U: 0..10 V to 0..8 bar, slope 0.8 bar/V = 819/1024; the I
  // pair and everything else stay as they were.
  const Image baseBefore = simImage(Area::Base);
  Outcome r = ok("set " + port() + " control --type U --corners 0,0,10,8");
  EXPECT_TRUE(has(r.out, "set CONTROL on " + dir + "/tty: BASE 0x00 then BASE 0x01..0x08 written"));
  EXPECT_TRUE(has(r.out, "U: x 0.0 .. 10.0 V, y 0.0 .. 8.0 bar"));
  Image base = simImage(Area::Base);
  EXPECT_EQ((std::array{base[1], base[2], base[3], base[4]}), (std::array<std::uint8_t, 4>{0x03, 0x33, 0, 0}));  // A 819, B 0
  EXPECT_TRUE(std::equal(base.begin() + 5, base.end(), baseBefore.begin() + 5));

  // Alarm: only the options given change.
  const Image optionBefore = simImage(Area::Option);
  ok("set " + port() + " alarm --logic - --delay-on 0.031");
  Image option = simImage(Area::Option), want = optionBefore;
  want[9] = 0x80, want[22] = 0x00, want[23] = 0x02;  // 0.031 s = 1.55 steps, rounded to 2
  EXPECT_TRUE(std::equal(option.begin() + 9, option.end(), want.begin() + 9));

  // Restore puts the factory copy back.
  ok("set " + port() + " control --restore");
  base = simImage(Area::Base);
  EXPECT_TRUE(std::equal(base.begin(), base.begin() + 9, base.begin() + 16));

  // Refused before the port is opened: nothing reaches the regulator.
  const Image optionSet = simImage(Area::Option);
  const long seen = quietBytesReceived();
  const std::string huge = "15" + std::string(307, '0');  // 1.5e308: the span of two is not finite
  for (const auto& [args, says] : std::vector<std::pair<std::string, std::string>>{
           {"pid --kp-high 256 --kd 300", "Kp High : Min=0 - Max=255"},
           {"pid --kd 2.5", "Kd : not a whole number"},
           {"alarm --delay-on 1e1", "--delay-on needs a number"},
           {"alarm --error-plus 1,5", "--error-plus needs a number"},
           {"alarm --logic + --logic -", "option --logic given twice"},
           {"uout --corners 0,0,10,1O", "'1O' in --corners is not a number"},
           {"control --type U --corners -" + huge + ",0," + huge + ",10", "x corner"},
           {"iout --corners 0,-" + huge + ",10," + huge, "y corner"},
           {"pid --restore", "no restore"},
           {"uout --type U --corners 0,0,10,10", "--type is not an option of this page"},
           {"control --restore --type I", "cannot go with --restore"},
           {"gauge --restore", "PAGE must be"}}) {
    r = run("set " + port() + " " + args);
    EXPECT_EQ(r.code, 1) << args;
    EXPECT_TRUE(has(r.err, says)) << args;
  }
  EXPECT_EQ(bytesReceived(), seen);
  EXPECT_EQ(simImage(Area::Option), optionSet);

  // Blanks round a number are read as on a page; diff takes --port twice.
  ok("set " + port() + " alarm --delay-on ' 2 '");
  EXPECT_EQ(simImage(Area::Option)[23], 100);
  ok("diff " + port() + " " + port());
}

// vrx4ctl with its stderr on a pseudo-terminal, its stdout in a file; what
// came on the terminal until it ended.
Outcome runOnTerminal(const std::string& dir, const std::vector<std::string>& args) {
  int master = -1;
  const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    ::dup2(::open((dir + "/stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    ::setenv("TERM", "xterm", 1);
    std::vector<char*> argv{const_cast<char*>(VRX4CTL_PATH)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(VRX4CTL_PATH, argv.data());
    ::_exit(127);
  }
  Outcome r;
  char buffer[512];
  for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)  // EIO once the child has gone
    r.err.append(buffer, static_cast<std::size_t>(n));
  ::close(master);
  int status = 0;
  ::waitpid(pid, &status, 0);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

TEST_F(CliFixture, ProgressOnATerminalOnlyAndNotWithQuiet) {
  serve(device);  // paced: a read takes about 1.4 s
  const std::string file = dir + "/conf.txt";

  // On a terminal: several drawings of one line, each over the one before;
  // the steps of a full read; erased at the end.
  Outcome r = runOnTerminal(dir, {"read", "--port", tty, "--out", file});
  ASSERT_EQ(r.code, 0) << r.err;
  std::size_t drawn = 0;
  const std::string bar = "vrx4ctl: reading [";
  for (auto at = r.err.find(bar); at != std::string::npos; at = r.err.find(bar, at + 1)) ++drawn;
  EXPECT_GE(drawn, 3u) << r.err;
  EXPECT_TRUE(has(r.err, "/45 steps, "));
  EXPECT_TRUE(has(r.err, " s left"));
  EXPECT_FALSE(has(r.err, "\n"));  // the terminal shows it as "\r\n"
  EXPECT_EQ(r.err.substr(r.err.size() - 4), "\r\x1b[K") << r.err;

  // (A write's steps, the identity read and every read-back: the engine's
  // progress test.)

  // On a file, and with --quiet on a terminal: nothing but what the
  // command has to say (here: nothing).
  r = ok("read " + port() + " --out " + file);
  EXPECT_EQ(r.err, "");
  r = runOnTerminal(dir, {"read", "--port", tty, "--out", file, "--quiet"});
  EXPECT_EQ(r.code, 0);
  EXPECT_FALSE(has(r.err, "steps"));
}

}  // namespace
}  // namespace vrx4
