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

// Natural ordering of names: digit runs compare by value.
bool naturalLess(const std::string& a, const std::string& b);

}  // namespace vrx4
