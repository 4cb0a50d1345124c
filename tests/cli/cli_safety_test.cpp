// vrx4ctl used carelessly: regulators swapped between the read and the
// write or mid-write, Ctrl-C and
// SIGTERM, a killed client, a FIFO, an empty or invalid file as input, absurd
// time-outs. Each way a regulator could be half-written unnoticed or a
// port left locked has a case here.
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "cli_harness.h"
#include "core/link/frames.h"
#include "core/memory/config_file.h"

namespace vrx4 {
namespace {

class CliSafetyTest : public CliFixture {
 protected:
  // A whole configuration of the served device with BASE 0x60 changed.
  std::string changedConfiguration(std::uint8_t marker) {
    Image base = simImage(Area::Base);
    base[0x60] = marker;
    testing::writeFile(dir + "/conf.txt", config_file::wholeConfiguration(simImage(Area::Option), base));
    return dir + "/conf.txt";
  }
};

// vrx4ctl writes only to the regulator it has just read: another one
// answering between the read and the write gets nothing.
TEST_F(CliSafetyTest, WriteToARegulatorSwappedAfterTheReadWritesNothing) {
  serve(device);
  const std::string conf = changedConfiguration(0x6B);
  Running write(dir, {"write", "--port", tty, "--in", conf});
  // Once the read has passed the serial number, another regulator takes
  // the first one's place.
  const TxFrame frame = buildMemoryRead(Area::Base, 0x28, 4);
  const auto next = frame.bytes();  // a view into the frame
  ASSERT_TRUE(waitUntil([&] {
    bool passed = false;
    server->withDevice([&](sim::SimDevice& d) {
      const auto& rx = d.received();
      passed = std::search(rx.begin(), rx.end(), next.begin(), next.end()) != rx.end();
      if (!passed) return;
      Image b = d.image(Area::Base);
      b[0x25] = 0x07, b[0x26] = 0x77, b[0x27] = 0x70;
      d.setImage(Area::Base, b);
    });
    return passed;
  }, 20)) << write.err();
  EXPECT_EQ(write.exitCode(20), 7) << write.err();
  EXPECT_TRUE(has(write.err(), "serial number 07 77 70"));
  EXPECT_TRUE(has(write.err(), "(serial number 01 23 45); nothing was written"));
  EXPECT_EQ(writesStored(), 0);
  EXPECT_NE(simImage(Area::Base)[0x60], 0x6B);
}

TEST_F(CliSafetyTest, WriteStopsWhenAnotherRegulatorAnswersAfterAHangUp) {
  serve(device);
  const std::string conf = changedConfiguration(0x6A);
  Running write(dir, {"write", "--port", tty, "--in", conf, "--access", "4"});
  ASSERT_TRUE(waitUntil([&] { return writesStored() >= 3; }, 20)) << write.err();
  server->stop();  // pulled mid-transfer

  serve(another(sim::factoryImages({0x07, 0x77, 0x70})));
  EXPECT_EQ(write.exitCode(20), 7) << write.err();
  EXPECT_TRUE(has(write.err(), "serial number 07 77 70"));
  EXPECT_TRUE(has(write.err(), "serial number 01 23 45 may be half-written"));
  EXPECT_FALSE(has(write.out(), "verified"));
  EXPECT_EQ(writesStored(), 0);  // not one byte of the first one's file
}

TEST_F(CliSafetyTest, SignalsStopReadsAtOnceAndLetAWriteFinish) {
  // A read, info or monitor waiting on a silent regulator stops at once,
  // whatever the time-out (a huge one must not expire at once either).
  device.faults().silent = true;
  serve(device, false);
  for (const char* timeout : {"1e10", "1e19"}) {
    Running read(dir, {"read", "--port", tty, "--out", dir + "/x.txt", "--timeout", timeout});
    ASSERT_TRUE(waitUntil([&] { return bytesReceived() > 0; }, 5));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(read.running()) << timeout << ": " << read.err();
    read.signal(SIGINT);
    EXPECT_EQ(read.exitCode(2), 130) << read.err();
  }
  EXPECT_NE(::access((dir + "/x.txt").c_str(), F_OK), 0);
  for (const char* command : {"info", "monitor"}) {
    const long seen = quietBytesReceived();
    Running r(dir, {command, "--port", tty});
    ASSERT_TRUE(waitUntil([&] { return bytesReceived() > seen; }, 5));
    r.signal(SIGTERM);
    EXPECT_EQ(r.exitCode(2), 130) << command << ": " << r.err();
  }

  // A write interrupted once runs to its verified end, and says so.
  server->stop();
  serve(another());
  const std::string conf = changedConfiguration(0x4B);
  {
    Running write(dir, {"write", "--port", tty, "--in", conf, "--access", "4"});
    ASSERT_TRUE(waitUntil([&] { return writesStored() >= 1; }, 20));
    write.signal(SIGINT);
    EXPECT_EQ(write.exitCode(20), 130) << write.err();
    EXPECT_TRUE(has(write.err(), "finishing the write first"));
    EXPECT_TRUE(has(write.out(), "every block read back and verified"));
    EXPECT_EQ(simImage(Area::Base)[0x60], 0x4B);
  }
  // Twice: it stops at once and says the regulator may be half-written.
  const std::string conf2 = changedConfiguration(0x4C);
  const long before = writesStored();
  Running write(dir, {"write", "--port", tty, "--in", conf2, "--access", "4"});
  ASSERT_TRUE(waitUntil([&] { return writesStored() >= before + 3; }, 20));
  write.signal(SIGINT);
  ASSERT_TRUE(waitUntil([&] { return has(write.err(), "finishing"); }, 2));
  write.signal(SIGINT);
  EXPECT_EQ(write.exitCode(2), 130);
  EXPECT_TRUE(has(write.err(), "may be half-written; write it again"));
  EXPECT_NE(simImage(Area::Base)[0x60], 0x4C);
}

// A killed client leaves the port free for the next; inputs that cannot be
// written are refused before the port is opened.
TEST_F(CliSafetyTest, KilledClientLeavesThePortFreeAndBadInputsAreRefusedBeforeThePort) {
  serve(device, false);
  {
    Running monitor(dir, {"monitor", "--port", tty, "--period", "0.1"});
    ASSERT_TRUE(waitUntil([&] { return has(monitor.out(), ";bar;"); }, 10));
    monitor.signal(SIGKILL);
    EXPECT_EQ(monitor.exitCode(5), 128 + SIGKILL);
  }
  Running info(dir, {"info", "--port", tty, "--timeout", "10"});
  EXPECT_EQ(info.exitCode(15), 0) << info.err();
  EXPECT_TRUE(has(info.out(), "Serial number: 01 23 45"));

  const long seen = quietBytesReceived();
  const std::string fifo = dir + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::ofstream(dir + "/empty.txt").flush();
  std::ofstream(dir + "/blank-first.txt") << "\r\n00000AA\r\n";
  std::ofstream(dir + "/bad.txt") << "000000102\r\n10000abcd\r\n";
  for (const auto& [in, says] : std::vector<std::pair<std::string, std::string>>{
           {fifo, "not a regular file"},
           {dir + "/empty.txt", "nothing to write"},
           {dir + "/blank-first.txt", "nothing to write"},
           {dir + "/bad.txt", "TRAME is not valid\n" + dir + "/bad.txt: line 2"}}) {
    Running write(dir, {"write", "--port", tty, "--in", in, "--timeout", "3"});
    EXPECT_EQ(write.exitCode(2), 2) << in << ": " << write.err();
    EXPECT_TRUE(has(write.err(), says)) << in;
  }
  EXPECT_EQ(bytesReceived(), seen);

  // A file with the OPTION area only is written, with a warning naming
  // what it did not supply.
  Image option = simImage(Area::Option);
  option[0x10] = 0x5C;
  std::ofstream(dir + "/option.txt") << config_file::optionBlock(option);
  Running write(dir, {"write", "--port", tty, "--in", dir + "/option.txt", "--access", "4"});
  EXPECT_EQ(write.exitCode(20), 0) << write.err();
  EXPECT_TRUE(has(write.err(), "does not supply BASE 0x00..0x6F"));
  EXPECT_EQ(simImage(Area::Option)[0x10], 0x5C);
}

}  // namespace
}  // namespace vrx4
