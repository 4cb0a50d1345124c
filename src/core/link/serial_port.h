// One serial line on POSIX termios: 38400 baud 8N1, raw, no flow control,
// DTR and RTS inactive, opened exclusively; or the same line reached over
// the network ("tcp://HOST:PORT", "rfc2217://HOST:PORT", see
// TcpTransport). Only the link thread uses it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stop_token>
#include <string>

namespace vrx4 {

enum class ReadResult { Byte, Nothing, Failed };

// Why a port could not be opened.
struct PortOpenError {
  std::string portName;  // as configured ("COM3", "/dev/ttyUSB0", "tcp://10.0.0.5:4001")
  std::string path;      // the device path tried
  int errorNumber = 0;   // errno of the failing call
  bool permissionDenied = false;
  bool busy = false;     // held by another program
  std::string reason;    // one line for the user
  std::string group;     // for a permission refusal: the group to join, e.g. "dialout"
};

class TcpTransport;

class SerialPort {
 public:
  SerialPort();
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // A stop request ends a network port's pending open at once.
  void setStopToken(std::stop_token stop) { m_stop = std::move(stop); }

  // Opens and configures the named port ("COMn", a device path or a
  // network port name).
  // On failure returns false, fills `error` when given, and holds nothing.
  bool open(const std::string& name, PortOpenError* error = nullptr);
  // Clears RTS, releases the lock and closes. Safe to call when closed.
  void close();
  bool isOpen() const { return m_fd >= 0 || network(); }
  const std::string& path() const { return m_path; }

  // Reads one byte. With nothing waiting, waits up to waitMs (0 = return at
  // once) for a byte to arrive. A line that has hung up, reports EIO, or
  // whose device has gone is Failed (and gone() turns true), never Nothing.
  ReadResult readByte(std::uint8_t& out, int waitMs = 0);
  // Writes one byte and waits until it has left. True when it was written.
  bool writeByte(std::uint8_t byte);
  // Bytes already read from the line and not yet handed out.
  std::size_t buffered() const;
  // Drops whatever is queued in both directions.
  void purge();

  // True once the line has hung up or the device node has disappeared; the
  // port must then be closed and opened again.
  bool gone() const;

 private:
  bool network() const;  // a network port is open

  int m_fd = -1;
  std::string m_path;
  bool m_hungUp = false;
  bool m_exclusive = false;  // we set the tty's exclusive flag and clear it at close
  // A pseudo-terminal hands a written byte to its other end within the
  // write: there is nothing to drain.
  bool m_pseudoTerminal = false;
  // Bytes read from the line but not yet handed out.
  std::array<std::uint8_t, 64> m_rxBuf{};
  std::size_t m_rxPos = 0;
  std::size_t m_rxLen = 0;
  std::uint64_t m_device = 0;  // st_rdev of the open node, to notice a replaced node
  std::unique_ptr<TcpTransport> m_net;  // the network transport, once a network port was opened
  std::stop_token m_stop;
};

}  // namespace vrx4
