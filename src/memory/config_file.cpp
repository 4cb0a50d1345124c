// The configuration text file codec: writers that build the text in memory,
// an atomic save, and a parser that never writes outside its buffers.
#include "memory/config_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>
#include <system_error>

namespace vrx4::config_file {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::size_t kBytesPerLine = 16;
constexpr std::size_t kHeaderChars = 5;  // area digit + four address digits
constexpr std::uint32_t kBaseHeader = 0x10000;

std::string systemReason(int err) { return std::error_code(err, std::generic_category()).message(); }

// ---- writers ----

// `digits` upper-case hexadecimal digits of `value`, most significant first.
void appendHex(std::string& out, std::uint32_t value, int digits) {
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out.push_back(kDigits[(value >> shift) & 0xFu]);
}

// One block: a five-character header before every 16th byte, a line break
// after every 16th byte, and one more line break after the block (it ends
// a short last line, or leaves an empty line after a full one).
void appendBlock(std::string& out, const Image& image, std::size_t count, std::uint32_t headerOffset) {
  for (std::size_t i = 0; i < count; ++i) {
    if (i % kBytesPerLine == 0) appendHex(out, static_cast<std::uint32_t>(i) + headerOffset, 5);
    appendHex(out, image[i], 2);
    if (i % kBytesPerLine == kBytesPerLine - 1) out += kLineEnd;
  }
  out += kLineEnd;
}

// ---- reader ----

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isValidLine(std::string_view line) {
  if (line.size() < kHeaderChars) return false;
  return std::all_of(line.begin(), line.end(), [](char c) { return hexValue(c) >= 0; });
}

std::uint8_t byteAt(std::string_view digits, std::size_t pos) {
  return static_cast<std::uint8_t>((hexValue(digits[pos]) << 4) | hexValue(digits[pos + 1]));
}

// Stores the data pairs of a valid line at start, start+1, ... and cut at
// the end of `target`, marking each address in `supplied`. Returns the
// number of bytes stored.
std::size_t storeLine(std::string_view line, std::span<std::uint8_t> target, std::bitset<kImageSize>& supplied) {
  std::size_t start = 0;
  for (std::size_t k = 1; k < kHeaderChars; ++k) start = (start << 4) | static_cast<std::size_t>(hexValue(line[k]));
  if (start >= target.size()) return 0;
  const std::string_view data = line.substr(kHeaderChars);
  const std::size_t count = std::min(data.size() / 2, target.size() - start);  // a lone last digit is ignored
  for (std::size_t j = 0; j < count; ++j) {
    target[start + j] = byteAt(data, 2 * j);
    if (start + j < supplied.size()) supplied.set(start + j);
  }
  return count;
}

// ---- file access ----

// Reads a whole regular file of at most kMaxFileBytes bytes.
bool loadFile(const std::string& path, std::string& text, std::string& detail) {
  // Non-blocking, so that opening a FIFO with no writer returns at once and
  // is refused below instead of waiting for ever; a regular file reads the
  // same either way.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    detail = systemReason(errno);
    return false;
  }
  bool ok = true;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    detail = systemReason(errno);
    ok = false;
  } else if (S_ISDIR(st.st_mode)) {
    detail = systemReason(EISDIR);
    ok = false;
  } else if (!S_ISREG(st.st_mode)) {
    // A pipe or device could block or never end.
    detail = "not a regular file";
    ok = false;
  } else if (static_cast<std::uintmax_t>(st.st_size) > kMaxFileBytes) {
    detail = "file larger than 16 MiB";
    ok = false;
  }
  std::string buffer;
  if (ok) {
    // The size may change while we read; never take more than the limit.
    buffer.resize(kMaxFileBytes + 1);
    std::size_t have = 0;
    while (have < buffer.size()) {
      const ssize_t n = ::read(fd, buffer.data() + have, buffer.size() - have);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        detail = systemReason(errno);
        ok = false;
        break;
      }
      if (n == 0) break;
      have += static_cast<std::size_t>(n);
    }
    if (ok && have > kMaxFileBytes) {
      detail = "file larger than 16 MiB";
      ok = false;
    }
    buffer.resize(have);
  }
  ::close(fd);
  if (ok) text = std::move(buffer);
  return ok;
}

ReadOutcome couldNotOpen(std::string detail) {
  ReadOutcome r;
  r.status = ReadStatus::CouldNotOpen;
  r.detail = std::move(detail);
  return r;
}

bool writeAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Creates a new file next to `target` with a random suffix. The file is
// created with mode 0666 so that the kernel applies the umask (changing
// the process umask to read it would race with other threads).
int createTemporary(const std::string& target, std::string& tmpPath) {
  static constexpr char kSuffixChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device rd;
  std::mt19937 gen(rd());
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kSuffixChars - 2);
  for (int attempt = 0; attempt < 100; ++attempt) {
    tmpPath = target + ".";
    for (int k = 0; k < 6; ++k) tmpPath.push_back(kSuffixChars[pick(gen)]);
    const int fd = ::open(tmpPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

std::string directoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

std::string optionBlock(const Image& optionDevice) {
  std::string out;
  appendBlock(out, optionDevice, kOptionImageBytes, 0);
  return out;
}

std::string baseBlock(const Image& baseDevice) {
  std::string out;
  appendBlock(out, baseDevice, kBaseImageBytes, kBaseHeader);
  return out;
}

std::string wholeConfiguration(const Image& optionDevice, const Image& baseDevice) {
  return optionBlock(optionDevice) + baseBlock(baseDevice);
}

SaveStatus saveText(const std::string& path, std::string_view text, std::string* detail) {
  auto fail = [&](std::string what, int err) {
    if (detail) *detail = what + ": " + systemReason(err);
    return SaveStatus::CouldNotOpen;
  };

  // Saving through a symbolic link replaces the file it points to, not the link.
  std::string target = path;
  struct stat lst {};
  if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      target = resolved;
      std::free(resolved);
    }
  }

  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return fail(target, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);

  std::string tmpPath;
  const int fd = createTemporary(target, tmpPath);
  if (fd < 0) return fail("cannot create a temporary file next to " + target, errno);

  auto abandon = [&](std::string what) {
    const int err = errno;
    ::close(fd);
    ::unlink(tmpPath.c_str());
    return fail(std::move(what), err);
  };
  if (!writeAll(fd, text)) return abandon("cannot write " + tmpPath);
  if (exists && ::fchmod(fd, st.st_mode & 07777) != 0) return abandon("cannot set the permissions of " + tmpPath);
  if (::fsync(fd) != 0) return abandon("cannot flush " + tmpPath);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(tmpPath.c_str());
    return fail("cannot close " + tmpPath, err);
  }
  if (::rename(tmpPath.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(tmpPath.c_str());
    return fail("cannot replace " + target, err);
  }

  // Makes the rename itself durable. The new file is in place by now, so a
  // directory that cannot be flushed (some file systems refuse) is no failure.
  const int dfd = ::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return SaveStatus::Saved;
}

ReadOutcome parse(std::string_view text, ReadTargets targets) {
  ReadOutcome outcome;
  if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    if (lineNumber < INT_MAX) ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) break;  // an empty line ends the data
    if (!isValidLine(line)) {
      outcome.status = ReadStatus::InvalidLine;
      outcome.invalidLine = lineNumber;
      return outcome;
    }
    const bool option = line[0] == '0';
    const std::span<std::uint8_t> target = option ? targets.option : targets.base;
    if (target.empty()) continue;  // an area this reader does not collect
    if (storeLine(line, target, option ? outcome.optionSupplied : outcome.baseSupplied) > 0)
      outcome.anyAreaLine = true;
  }
  return outcome;
}

ReadOutcome readFile(const std::string& path, ReadTargets targets) {
  std::string text, detail;
  if (!loadFile(path, text, detail)) return couldNotOpen(std::move(detail));
  return parse(text, targets);
}

ReadOutcome readForOpen(const std::string& path, DeviceState& state) {
  // The file is read before anything changes, so a file that cannot be
  // read leaves the images and file mode as they were.
  std::string text, detail;
  if (!loadFile(path, text, detail)) return couldNotOpen(std::move(detail));
  Image option{};
  Image base{};
  const ReadOutcome outcome = parse(text, {option, base});
  state.openFileMode(path);
  state.withImages([&](Images& images) {
    images.g_optionDevice = option;
    images.g_baseDevice = base;
  });
  return outcome;
}

ReadOutcome readForExport(const std::string& path, const DeviceState& state, ExportBuffers& out) {
  std::string text, detail;
  if (!loadFile(path, text, detail)) return couldNotOpen(std::move(detail));
  state.withImages([&](const Images& images) {
    out.option = images.g_optionDevice;
    out.base = images.g_baseDevice;
  });
  return parse(text, {out.option, out.base});
}

ReadOutcome readForMap(const std::string& path, Area area, MapBuffer& out) {
  std::string text, detail;
  if (!loadFile(path, text, detail)) return couldNotOpen(std::move(detail));
  out.fill(0);
  ReadTargets targets;
  (area == Area::Option ? targets.option : targets.base) = out;
  return parse(text, targets);
}

}  // namespace vrx4::config_file
