// vrx4ctl on a regulator behind ser2net: the file read through the network
// is the file read on the port itself, and a network port that cannot be
// used is a usage error or a port error as a local one is.
#include "../ser2net_harness.h"
#include "cli_harness.h"

namespace vrx4 {
namespace {

using testing::Ser2net;

TEST_F(CliTest, ReadThroughSer2netGivesTheDirectFileAndNetworkFailuresArePortFailures) {
  VRX4_SKIP_WITHOUT_SER2NET();
  ASSERT_EQ(run("read " + port() + " --out " + dir + "/direct.txt").code, 0);
  const std::string direct = readFile(dir + "/direct.txt");
  ASSERT_FALSE(direct.empty());
  for (Ser2net::Mode mode : {Ser2net::Mode::Raw, Ser2net::Mode::Rfc2217}) {
    Ser2net bridge(tty, mode, dir);
    ASSERT_TRUE(bridge.start());
    const Outcome r = run("read --port " + bridge.url() + " --out " + dir + "/net.txt");
    EXPECT_EQ(r.code, 0) << bridge.url() << ": " << r.err;
    EXPECT_EQ(readFile(dir + "/net.txt"), direct) << bridge.url();
  }

  // A malformed name is a usage error (its reasons: network_port_name_test).
  Outcome r = run("read --port tcp://127.0.0.1 --out " + dir + "/x.txt");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("--port tcp://127.0.0.1: no port number: write tcp://HOST:PORT"), std::string::npos) << r.err;

  const std::string refused = "tcp://127.0.0.1:" + std::to_string(testing::freeTcpPort());
  r = run("info --port " + refused);
  EXPECT_EQ(r.code, 4);
  EXPECT_NE(r.err.find("Error Port " + refused + "\nconnection refused"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace vrx4
