// vrx4ctl run as a program against the simulated regulator: read, write,
// restore, info and monitor with their failures; dump and diff against
// configuration files and the regulator; monitor --out with a FIFO,
// a full disk and the file read back into the graph's store; a regulator
// behind ser2net.
#include "cli_harness.h"

#include <sys/stat.h>

#include <sstream>

#include "../ser2net_harness.h"
#include "core/base/pressure_units.h"
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
  int rows = 0;
  for (; std::getline(lines, line); ++rows) EXPECT_TRUE(line.ends_with(";kPa;") && has(line, ";5.000;2.000;")) << line;
  EXPECT_EQ(rows, 3);
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

}  // namespace
}  // namespace vrx4
