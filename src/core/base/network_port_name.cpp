#include "core/base/network_port_name.h"

#include <charconv>

namespace vrx4 {
namespace {

constexpr const char* kRawScheme = "tcp://";
constexpr const char* kTelnetScheme = "rfc2217://";

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

std::nullopt_t fail(std::string* error, std::string text) {
  if (error != nullptr) *error = std::move(text);
  return std::nullopt;
}

}  // namespace

bool isNetworkPortName(const std::string& name) {
  return startsWith(name, kRawScheme) || startsWith(name, kTelnetScheme);
}

std::optional<NetworkPortName> parseNetworkPortName(const std::string& name, std::string* error) {
  if (error != nullptr) error->clear();
  NetworkPortName n;
  std::string rest;
  if (startsWith(name, kRawScheme)) {
    rest = name.substr(6);
  } else if (startsWith(name, kTelnetScheme)) {
    n.protocol = NetworkPortName::Protocol::Rfc2217;
    rest = name.substr(10);
  } else {
    return std::nullopt;
  }
  const std::string usage = std::string("write ") + (n.protocol == NetworkPortName::Protocol::Raw ? kRawScheme : kTelnetScheme) +
                            "HOST:PORT";
  std::string portText;
  if (startsWith(rest, "[")) {
    const auto close = rest.find(']');
    if (close == std::string::npos) return fail(error, "no closing bracket after the IPv6 address: " + usage);
    n.host = rest.substr(1, close - 1);
    if (close + 1 >= rest.size() || rest[close + 1] != ':') return fail(error, "no port number: " + usage);
    portText = rest.substr(close + 2);
  } else {
    const auto colon = rest.rfind(':');
    if (colon == std::string::npos) return fail(error, "no port number: " + usage);
    n.host = rest.substr(0, colon);
    portText = rest.substr(colon + 1);
    if (n.host.find(':') != std::string::npos)
      return fail(error, "an IPv6 address goes in brackets: " + std::string(name, 0, name.size() - rest.size()) +
                             "[ADDRESS]:PORT");
  }
  if (n.host.empty()) return fail(error, "no host name or address: " + usage);
  if (n.host.find_first_of("/ \t") != std::string::npos) return fail(error, "'" + n.host + "' is not a host name: " + usage);
  if (portText.empty()) return fail(error, "no port number: " + usage);
  unsigned port = 0;
  const auto [end, ec] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
  if (ec != std::errc() || end != portText.data() + portText.size() || port < 1 || port > 65535)
    return fail(error, "'" + portText + "' is not a port number (1 to 65535)");
  n.port = port;
  return n;
}

std::string portNameProblem(const std::string& name) {
  std::string error;
  if (isNetworkPortName(name)) (void)parseNetworkPortName(name, &error);
  return error;
}

}  // namespace vrx4
