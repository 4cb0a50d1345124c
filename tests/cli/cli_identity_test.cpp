// vrx4ctl writes only to the regulator it has just read: another one
// answering between the read and the write gets nothing.
#include <algorithm>

#include "cli_harness.h"
#include "core/link/frames.h"
#include "core/memory/config_file.h"

namespace vrx4 {
namespace {

TEST_F(CliFixture, WriteToARegulatorSwappedAfterTheReadWritesNothing) {
  serve(device);
  Image option = simImage(Area::Option), base = simImage(Area::Base);
  base[0x2B] ^= 0x55;  // a PID gain the write would change
  const std::string conf = dir + "/conf.txt";
  ASSERT_EQ(config_file::saveText(conf, config_file::wholeConfiguration(option, base)), config_file::SaveStatus::Saved);

  Running write(dir, {"write", "--port", tty, "--in", conf});
  // Once the read has passed the serial number, another regulator takes
  // the first one's place.
  const TxFrame frame = buildMemoryRead(Area::Base, 0x28, 4);
  const auto next = frame.bytes();
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
  const std::string err = write.err();
  EXPECT_NE(err.find("serial number 07 77 70"), std::string::npos) << err;
  EXPECT_NE(err.find("(serial number 01 23 45); nothing was written"), std::string::npos) << err;
  EXPECT_EQ(writesStored(), 0);
  EXPECT_NE(simImage(Area::Base)[0x2B], base[0x2B]);
}

}  // namespace
}  // namespace vrx4
