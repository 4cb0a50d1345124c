// vrx4ctl run as a program against the simulated regulator.
#include "cli_harness.h"

#include <sstream>

#include "core/memory/config_file.h"

namespace vrx4 {
namespace {

TEST_F(CliTest, ReadThenWriteRoundTripsAConfiguration) {
  Outcome r = run("read " + port() + " --out " + dir + "/conf.txt");
  ASSERT_EQ(r.code, 0) << r.err;
  Image option{}, base{};
  ASSERT_EQ(config_file::readFile(dir + "/conf.txt", {option, base}).status, config_file::ReadStatus::Read);
  const Image so = simImage(Area::Option), sb = simImage(Area::Base);
  EXPECT_TRUE(std::equal(so.begin(), so.begin() + 115, option.begin()));
  EXPECT_TRUE(std::equal(sb.begin(), sb.begin() + 112, base.begin()));

  // Change the PID gains and a serial byte in the file; access mode 2
  // takes the gains and keeps the device's serial number.
  base[0x2B] = 0x11;
  base[0x27] = 0x99;
  option[0x12] = 0x01;
  ASSERT_EQ(config_file::saveText(dir + "/new.txt", config_file::wholeConfiguration(option, base)),
            config_file::SaveStatus::Saved);
  r = run("write " + port() + " --in " + dir + "/new.txt");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(simImage(Area::Base)[0x2B], 0x11);
  EXPECT_EQ(simImage(Area::Base)[0x27], sb[0x27]);
  EXPECT_EQ(simImage(Area::Option)[0x12], 0x01);
  // Bytes past the file's blocks were written back as the device held them.
  EXPECT_EQ(simImage(Area::Option)[0x75], so[0x75]);
  EXPECT_EQ(simImage(Area::Base)[0x71], sb[0x71]);

  // Restore brings the backup copies back.
  r = run("restore " + port());
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(simImage(Area::Base)[0x2B], 0x11);  // not in the backup area
  EXPECT_EQ(simImage(Area::Option)[0x12], so[0x42]);
}

TEST_F(CliTest, InfoMonitorAndFailures) {
  server->withDevice([](sim::SimDevice& d) { d.setInfoCodes({3, 0, 0, 0, 0, 0, 0, 1}); });
  Outcome r = run("info " + port());
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("Serial number: 01 23 45"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Information codes: 3 0 0 0 0 0 0 1"), std::string::npos) << r.out;

  r = run("monitor " + port() + " --period 0.1 --count 3 --unit kPa");
  ASSERT_EQ(r.code, 0) << r.err;
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "Time;CTRL;AUXin;P2;24VDC;Uout;Iout;Alarm;Flag;Punit");
  int rows = 0;
  while (std::getline(lines, line)) {
    ++rows;
    EXPECT_EQ(line.substr(line.size() - 5), ";kPa;") << line;
    EXPECT_NE(line.find(";5.000;2.000;"), std::string::npos) << line;  // CTRL 5 V, AUXin 2 V
  }
  EXPECT_EQ(rows, 3);

  r = run("read --port " + dir + "/missing --out " + dir + "/x.txt");
  EXPECT_EQ(r.code, 4);
  EXPECT_NE(r.err.find("Error Port " + dir + "/missing"), std::string::npos) << r.err;

  server->withDevice([](sim::SimDevice& d) { d.faults().silent = true; });
  r = run("read " + port() + " --out " + dir + "/x.txt --timeout 1");
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find("timed out"), std::string::npos) << r.err;
  EXPECT_NE(::access((dir + "/x.txt").c_str(), F_OK), 0);  // nothing saved

  EXPECT_EQ(run("write " + port()).code, 1);  // --in missing
  EXPECT_EQ(run("info " + port() + " --timeout 0").code, 1);  // a time-out is more than 0 s
  EXPECT_EQ(run("read --help").code, 0);
}

}  // namespace
}  // namespace vrx4
