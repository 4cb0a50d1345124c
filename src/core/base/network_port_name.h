// Port names that reach a regulator over the network, through a serial
// device server or ser2net: "tcp://HOST:PORT" carries the line's bytes as
// they are, "rfc2217://HOST:PORT" wraps them in Telnet with the serial
// settings of the COM-PORT-OPTION. HOST may be a name, an IPv4 address or
// an IPv6 address in brackets ("tcp://[::1]:4001").
#pragma once

#include <optional>
#include <string>

namespace vrx4 {

struct NetworkPortName {
  enum class Protocol { Raw, Rfc2217 };
  Protocol protocol = Protocol::Raw;
  std::string host;  // without the brackets of an IPv6 address
  unsigned port = 0;  // 1..65535
};

// True when the name starts with one of the network schemes (well formed
// or not); every other name is a local serial port.
bool isNetworkPortName(const std::string& name);

// The parts of a network port name. Nothing for a local port name, and
// nothing with `error` filled in (one line for the user) for a network
// name that cannot be used: no host, no port, a port that is not a number
// from 1 to 65535.
std::optional<NetworkPortName> parseNetworkPortName(const std::string& name, std::string* error = nullptr);

// Why a port name cannot be used, empty when it can (every local name can:
// whether the device exists is only known when it is opened).
std::string portNameProblem(const std::string& name);

}  // namespace vrx4
