// Port names and the list of serial ports present on this machine.
#include "core/link/port_names.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace vrx4 {
namespace {

namespace fs = std::filesystem;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(const std::string& s, std::size_t from) {
  return from < s.size() &&
         std::all_of(s.begin() + static_cast<std::ptrdiff_t>(from), s.end(), isDigit);
}

// Virtual consoles and the console/ptmx multiplexers: terminals, not ports.
bool isVirtualTerminal(const std::string& name) {
  return name == "tty" || name == "console" || name == "ptmx" ||
         (name.rfind("tty", 0) == 0 && allDigits(name, 3));
}

// A platform serial port (ttyS*) is only real when the driver found a UART
// behind it: its `type` attribute is then a non-zero UART type. The kernel
// registers a fixed number of ttyS entries whether or not hardware exists.
bool hasUart(const fs::path& entry) {
  std::ifstream in(entry / "type");
  std::string type;
  if (!(in >> type)) return false;
  return type != "0";
}

std::string readLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
  return line;
}

// The USB device a tty belongs to: the first folder above its `device`
// that carries a vendor id (a ttyUSB sits two levels below it, a ttyACM
// one). Its manufacturer and product strings name the adapter.
std::string usbDescription(const fs::path& entry) {
  std::error_code ec;
  fs::path dir = fs::canonical(entry / "device", ec);
  if (ec) return {};
  for (int up = 0; up < 5 && !dir.empty() && dir != dir.root_path(); ++up, dir = dir.parent_path()) {
    if (!fs::exists(dir / "idVendor", ec)) continue;
    const std::string maker = readLine(dir / "manufacturer");
    const std::string product = readLine(dir / "product");
    if (product.empty() && maker.empty())
      return "USB device " + readLine(dir / "idVendor") + ":" + readLine(dir / "idProduct");
    if (maker.empty() || product.rfind(maker, 0) == 0) return product;
    return product.empty() ? maker : maker + " " + product;
  }
  return {};
}

// A platform port's UART by the kernel's type number.
std::string uartDescription(const fs::path& entry) {
  static constexpr const char* kUarts[] = {nullptr, "8250",    "16450",   "16550",    "16550A", "Cirrus", "16650",
                                           "16650V2", "16750", "Startech", "16C950", "16654", "16850"};
  const std::string type = readLine(entry / "type");
  unsigned n = 0;
  const auto [end, ec] = std::from_chars(type.data(), type.data() + type.size(), n);
  if (ec == std::errc() && end == type.data() + type.size() && n > 0 && n < std::size(kUarts))
    return std::string("Serial port ") + kUarts[n];
  return "Serial port";
}

std::string describe(const std::string& sysRoot, const std::string& name) {
  const fs::path entry = fs::path(sysRoot) / name;
  if (name.rfind("ttyS", 0) == 0) return uartDescription(entry);
  return usbDescription(entry);
}

}  // namespace

std::vector<SerialPortEntry> describeSerialPorts(const std::string& sysRoot, const std::string& devRoot,
                                                 const std::string& byIdRoot) {
  std::vector<SerialPortEntry> entries;
  for (const std::string& path : listSerialPorts(sysRoot, devRoot)) {
    const std::string node = fs::path(path).filename().string();
    SerialPortEntry e{path, path, describe(sysRoot, node)};
    if (node.rfind("ttyS", 0) == 0 && allDigits(node, 4)) e.name = "COM" + std::to_string(std::stoul(node.substr(4)) + 1);
    entries.push_back(std::move(e));
  }
  std::vector<SerialPortEntry> links;
  std::error_code ec;
  fs::directory_iterator it(byIdRoot, ec);
  for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    std::error_code linkEc;
    fs::path target = fs::read_symlink(it->path(), linkEc);
    if (linkEc) continue;
    if (target.is_relative()) target = (fs::path(byIdRoot) / target).lexically_normal();
    links.push_back({it->path().string(), target.string(), describe(sysRoot, target.filename().string())});
  }
  std::sort(links.begin(), links.end(), [](const auto& a, const auto& b) { return naturalLess(a.name, b.name); });
  entries.insert(entries.end(), links.begin(), links.end());
  return entries;
}

std::string entryText(const SerialPortEntry& e) {
  std::string text = e.description.empty() ? e.name : e.description + " \u2014 " + e.name;
  if (e.name != e.path && e.name.rfind("COM", 0) == 0) text += " (" + e.path + ")";
  return text;
}

int entryFor(const std::vector<SerialPortEntry>& entries, const std::string& port) {
  if (port.empty()) return -1;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].name.rfind(port, 0) == 0) return static_cast<int>(i);
  const std::string path = portDevicePath(port);
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].path.rfind(path, 0) == 0) return static_cast<int>(i);
  return -1;
}

std::string portDevicePath(const std::string& name) {
  if (name.rfind("COM", 0) != 0 || !allDigits(name, 3)) return name;
  unsigned long n = 0;
  const char* first = name.data() + 3;
  const char* last = name.data() + name.size();
  const auto [end, ec] = std::from_chars(first, last, n);
  if (ec != std::errc() || end != last || n < 1) return name;
  return "/dev/ttyS" + std::to_string(n - 1);
}

std::vector<std::string> listSerialPorts(const std::string& sysRoot, const std::string& devRoot) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(sysRoot, ec);
  if (ec) return {};
  for (const fs::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    const std::string name = it->path().filename().string();
    if (isVirtualTerminal(name)) continue;
    // A `device` link means a driver owns the entry; pure software ttys
    // (virtual consoles, ptys) have none.
    std::error_code linkEc;
    const fs::file_status link = fs::symlink_status(it->path() / "device", linkEc);
    if (linkEc || !fs::exists(link)) continue;
    if (name.rfind("ttyS", 0) == 0 && !hasUart(it->path())) continue;
    names.push_back(devRoot + "/" + name);
  }
  std::sort(names.begin(), names.end(), naturalLess);
  return names;
}

bool naturalLess(const std::string& a, const std::string& b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (isDigit(a[i]) && isDigit(b[j])) {
      // Compare the digit runs by value without converting: skip leading
      // zeros, then the longer run is larger, else compare digit by digit.
      std::size_t ai = i;
      std::size_t bj = j;
      while (ai < a.size() && a[ai] == '0') ++ai;
      while (bj < b.size() && b[bj] == '0') ++bj;
      std::size_t ae = ai;
      std::size_t be = bj;
      while (ae < a.size() && isDigit(a[ae])) ++ae;
      while (be < b.size() && isDigit(b[be])) ++be;
      if (ae - ai != be - bj) return ae - ai < be - bj;
      const int cmp = a.compare(ai, ae - ai, b, bj, be - bj);
      if (cmp != 0) return cmp < 0;
      i = ae;
      j = be;
    } else {
      if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
      ++i;
      ++j;
    }
  }
  // One is a prefix of the other: the shorter comes first.
  if (i < a.size() || j < b.size()) return i >= a.size();
  // Equal by value ("a01" and "a1"): fall back to plain text so the order
  // stays strict and deterministic.
  return a < b;
}

}  // namespace vrx4
