// Network port names: what a technician may type after --port, in the
// settings file or in the port dialog.
#include <gtest/gtest.h>

#include "core/base/app_options.h"
#include "core/base/network_port_name.h"

namespace vrx4 {
namespace {

TEST(NetworkPortName, HostAndPortOfEachSchemeAndAClearReasonForAMalformedName) {
  auto raw = parseNetworkPortName("tcp://line3-server.plant:4001");
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->protocol, NetworkPortName::Protocol::Raw);
  EXPECT_EQ(raw->host, "line3-server.plant");
  EXPECT_EQ(raw->port, 4001u);
  auto telnet = parseNetworkPortName("rfc2217://[fe80::1%eth0]:65535");
  ASSERT_TRUE(telnet);
  EXPECT_EQ(telnet->protocol, NetworkPortName::Protocol::Rfc2217);
  EXPECT_EQ(telnet->host, "fe80::1%eth0");
  EXPECT_EQ(telnet->port, 65535u);

  for (const char* local : {"COM1", "/dev/ttyUSB0", "tcp:/x:1", "TCP://x:1"}) {
    EXPECT_FALSE(isNetworkPortName(local)) << local;
    EXPECT_EQ(portNameProblem(local), "") << local;
  }
  const std::pair<const char*, const char*> bad[] = {
      {"tcp://10.0.0.5", "no port number: write tcp://HOST:PORT"},
      {"rfc2217://host:", "no port number: write rfc2217://HOST:PORT"},
      {"tcp://:4001", "no host name or address: write tcp://HOST:PORT"},
      {"tcp://host:0", "'0' is not a port number (1 to 65535)"},
      {"tcp://host:65536", "'65536' is not a port number (1 to 65535)"},
      {"tcp://host:40x1", "'40x1' is not a port number (1 to 65535)"},
      {"tcp://host:-1", "'-1' is not a port number (1 to 65535)"},
      {"tcp://::1:4001", "an IPv6 address goes in brackets: tcp://[ADDRESS]:PORT"},
      {"tcp://[::1:4001", "no closing bracket after the IPv6 address: write tcp://HOST:PORT"},
      {"tcp://[::1]4001", "no port number: write tcp://HOST:PORT"},
  };
  for (const auto& [name, why] : bad) {
    std::string error;
    EXPECT_FALSE(parseNetworkPortName(name, &error)) << name;
    EXPECT_EQ(error, why) << name;
    EXPECT_EQ(portNameProblem(name), why) << name;
  }
  // The desktop program refuses such a --port before it opens a window.
  EXPECT_EQ(parseAppOptions({"--port", "tcp://10.0.0.5"}).error,
            "--port tcp://10.0.0.5: no port number: write tcp://HOST:PORT");
  EXPECT_EQ(parseAppOptions({"--port=rfc2217://10.0.0.5:4001"}).error, "");
}

}  // namespace
}  // namespace vrx4
