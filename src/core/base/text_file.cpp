// Reading and saving whole text files without surprises: a read never
// blocks on a FIFO or a device and never takes more than it was allowed; a
// save goes through a temporary file renamed over the target, so a failed
// save leaves the previous file as it was.
#include "core/base/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <system_error>

namespace vrx4::text_file {

std::string systemReason(int err) { return std::error_code(err, std::generic_category()).message(); }

namespace {

std::string sizeText(std::size_t bytes) {
  if (bytes >= (std::size_t{1} << 20) && bytes % (std::size_t{1} << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + " bytes";
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


int openRegular(const std::string& path, std::string& detail) {
  // Non-blocking, so that opening a FIFO with no writer returns at once and
  // is refused below instead of waiting for ever; a regular file reads the
  // same either way.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    detail = systemReason(errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) detail = systemReason(errno);
  else if (S_ISDIR(st.st_mode)) detail = systemReason(EISDIR);
  else if (!S_ISREG(st.st_mode)) detail = "not a regular file";  // a pipe or device could block or never end
  else return fd;
  ::close(fd);
  return -1;
}

bool load(const std::string& path, std::string& text, std::string& detail, std::size_t maxBytes) {
  const int fd = openRegular(path, detail);
  if (fd < 0) return false;
  bool ok = true;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    detail = systemReason(errno);
    ok = false;
  } else if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
    detail = "file larger than " + sizeText(maxBytes);
    ok = false;
  }
  std::string buffer;
  if (ok) {
    // The size may change while we read; never take more than the limit.
    buffer.resize(maxBytes + 1);
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
    if (ok && have > maxBytes) {
      detail = "file larger than " + sizeText(maxBytes);
      ok = false;
    }
    buffer.resize(have);
  }
  ::close(fd);
  if (ok) text = std::move(buffer);
  return ok;
}

bool save(const std::string& path, std::string_view text, std::string* detail) {
  auto fail = [&](std::string what, int err) {
    if (detail) *detail = what + ": " + systemReason(err);
    return false;
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
  return true;
}

}  // namespace vrx4::text_file
