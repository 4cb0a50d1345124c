// Port names: "COMn" is the n-th platform serial port, anything else a path.
#pragma once

#include <string>
#include <vector>

namespace vrx4 {

// "COM1" -> "/dev/ttyS0", "COM12" -> "/dev/ttyS11"; any other name is
// returned unchanged (a device path such as /dev/ttyUSB0 or a pty).
std::string portDevicePath(const std::string& name);

// The serial ports that exist: platform serial ports with hardware behind
// them, USB and ACM adapters and other tty devices with a driver, as device
// paths in natural order (ttyS2 before ttyS10). sysRoot is the sysfs tty
// class directory, replaceable for tests.
std::vector<std::string> listSerialPorts(const std::string& sysRoot = "/sys/class/tty",
                                         const std::string& devRoot = "/dev");

// A serial port as the port selection dialog lists it.
struct SerialPortEntry {
  std::string name;         // what is stored and opened: "COM1" for /dev/ttyS0, else a device path
  std::string path;         // the device node: "/dev/ttyS0", "/dev/ttyUSB0"
  std::string description;  // what the system knows of it ("FTDI FT232R USB UART"); may be empty
};

// The ports of listSerialPorts, platform ports named COMn, each with what
// sysfs tells of it (a USB adapter's manufacturer and product, a platform
// port's UART), followed by the stable links of byIdRoot (named by the
// link, which keeps naming the same adapter whichever ttyUSB number it
// gets) in natural order.
std::vector<SerialPortEntry> describeSerialPorts(const std::string& sysRoot = "/sys/class/tty",
                                                 const std::string& devRoot = "/dev",
                                                 const std::string& byIdRoot = "/dev/serial/by-id");

// "FTDI FT232R USB UART — /dev/ttyUSB0", "Serial port 16550A — COM1 (/dev/ttyS0)".
std::string entryText(const SerialPortEntry& entry);

// The entry to select for a configured port: the first whose name begins
// with `port` (so "COM1" selects COM10 when COM1 is absent), else the
// first whose device begins with portDevicePath(port); -1 for none.
int entryFor(const std::vector<SerialPortEntry>& entries, const std::string& port);

// Natural ordering of names: digit runs compare by value.
bool naturalLess(const std::string& a, const std::string& b);

}  // namespace vrx4
