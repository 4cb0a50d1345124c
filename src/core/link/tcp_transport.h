// The regulator's line carried over TCP to a serial device server or
// ser2net: raw (the line's bytes as they are) or Telnet with the
// COM-PORT-OPTION of RFC 2217. It offers what SerialPort offers, so that the
// link engine never knows which of the two carries its bytes. Only the link
// thread uses it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

#include "core/base/network_port_name.h"
#include "core/link/rfc2217.h"
#include "core/link/serial_port.h"

namespace vrx4 {

class TcpTransport {
 public:
  // Opening gives up after this long: host name lookup, connection and,
  // for RFC 2217, the server's answer to the serial settings together.
  static constexpr int kOpenTimeoutMs = 5000;
  // Data sent and not acknowledged by the other end for this long means
  // the connection is dead (a cable pulled, a device server switched off)
  // even though no reset came: the line is then gone.
  static constexpr int kUnacknowledgedMs = 10000;

  TcpTransport() = default;
  ~TcpTransport();
  TcpTransport(const TcpTransport&) = delete;
  TcpTransport& operator=(const TcpTransport&) = delete;

  // Connects; `stop` ends a pending lookup or connection at once. On
  // failure returns false and fills `error` (portName and reason). The
  // object may be opened again after close(): a name lookup still running
  // from the attempt before is then waited for rather than started again.
  bool open(const std::string& name, const NetworkPortName& address, std::stop_token stop, PortOpenError* error);
  void close();
  bool isOpen() const { return m_fd >= 0; }

  ReadResult readByte(std::uint8_t& out, int waitMs);
  bool writeByte(std::uint8_t byte);
  std::size_t buffered() const { return m_rx.size() - m_rxPos; }
  void purge();
  bool gone() const { return m_gone; }

 private:
  struct Lookup;  // a host name lookup that may outlive the attempt that started it

  using TimePoint = std::chrono::steady_clock::time_point;
  std::shared_ptr<Lookup> resolve(TimePoint deadline, std::stop_token stop, std::string& reason);
  bool connectTo(TimePoint deadline, std::stop_token stop, std::string& reason);
  bool negotiate(TimePoint deadline, std::stop_token stop, std::string& reason);
  // Waits a moment before the next attempt; false when the time is up.
  bool pause(TimePoint deadline, std::stop_token stop);
  // Waits for `events` on the socket up to waitMs; the poll result.
  int waitSocket(short events, int waitMs, short* revents = nullptr);
  // Reads what is waiting and decodes it, keeping the line's bytes when
  // `keep`: the bytes read, 0 for none waiting, -1 when the connection ended.
  int receive(bool keep);
  bool sendPending();
  void lost() { m_gone = true; }

  NetworkPortName m_address;
  int m_fd = -1;
  bool m_gone = false;
  bool m_telnet = false;
  telnet::ClientCodec m_codec;
  std::vector<std::uint8_t> m_rx;  // decoded bytes of the line not yet handed out
  std::size_t m_rxPos = 0;
  std::vector<std::uint8_t> m_tx;  // bytes for the connection not yet sent
  std::shared_ptr<Lookup> m_lookup;  // the last lookup, reused while it still runs
};

}  // namespace vrx4
