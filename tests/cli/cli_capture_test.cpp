// vrx4ctl monitor --out: a FIFO is refused at once instead of waiting for a
// reader, and a row the disk cannot take is cut off again, the command
// saying why and how many rows the file holds; the file it writes reads
// back into the graph's store as it was written.
#include <sys/stat.h>

#include <sstream>

#include "cli_harness.h"
#include "core/base/pressure_units.h"
#include "core/monitoring/capture_reader.h"
#include "core/monitoring/capture_row.h"

namespace vrx4 {
namespace {

TEST_F(CliTest, MonitorOutRefusesAFifoAndCutsARowTheDiskCannotTake) {
  const std::string fifo = dir + "/pipe.csv";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  Running toFifo(dir, {"monitor", "--port", tty, "--period", "0.1", "--count", "3", "--out", fifo});
  EXPECT_EQ(toFifo.exitCode(5), 2) << "still waiting on the FIFO (-1), or another exit";
  EXPECT_NE(toFifo.err().find(fifo + ": not a regular file"), std::string::npos) << toFifo.err();

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
  EXPECT_NE(readFile(err).find("File too large"), std::string::npos) << readFile(err);
  EXPECT_NE(readFile(err).find(out + " holds the header and " + std::to_string(lines - 1) + " complete rows"),
            std::string::npos)
      << readFile(err);
}

TEST_F(CliTest, MonitorOutReadsBackIntoTheGraphAsWritten) {
  const std::string out = dir + "/monitor.csv";
  const Outcome r = run("monitor " + port() + " --period 0.05 --count 30 --unit kPa --out " + out);
  ASSERT_EQ(r.code, 0) << r.err;
  CSampleStore store;
  const capture::ReadOutcome o = capture::readCapture(out, store);
  ASSERT_EQ(o.status, capture::ReadStatus::Shown);
  EXPECT_EQ(o.unit, unit::kKpa);
  EXPECT_TRUE(o.damagedLines.empty());
  std::istringstream in(readFile(out));
  std::string line;
  std::getline(in, line);
  store.read([&](const SampleView& v) {
    ASSERT_EQ(v.size(), 30u);
    for (std::size_t i = 0; i < v.size() && std::getline(in, line); ++i)
      EXPECT_EQ(capture::row(v.at(i), pressureFactor(unit::kKpa), unit::kKpa) + "\r", line);
  });
}

}  // namespace
}  // namespace vrx4
