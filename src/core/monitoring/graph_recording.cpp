#include "core/monitoring/graph_recording.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>

#include "core/base/text_file.h"
#include "core/monitoring/capture_row.h"
#include "core/monitoring/chart_points.h"

namespace vrx4 {
namespace {

long systemWrite(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }

// Writes all of `text`; false with errno set on any error.
bool writeAll(CCaptureFile::WriteCall write, int fd, std::string_view text) {
  while (!text.empty()) {
    const long n = write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

constexpr const char* kNotRegular = "not a regular file";

// Opens `path` for writing without ever waiting. What is there already must
// be a regular file: checked before the open, so that a FIFO is never
// opened at all, and again on the open file in case it was swapped in
// meanwhile (the open does not block then either). -1 with the reason.
int openRegular(const std::string& path, int flags, std::string& why) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    why = S_ISDIR(st.st_mode) ? text_file::systemReason(EISDIR) : kNotRegular;
    return -1;
  }
  const int fd = ::open(path.c_str(), flags | O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    why = text_file::systemReason(errno);
    return -1;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    why = kNotRegular;
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

bool CCaptureFile::Create(std::string_view header, std::string* error) {
  m_rowsWritten = 0;
  m_rowsLost = 0;
  m_lostReason.clear();
  std::string why;
  const int fd = openRegular(m_strPath, O_CREAT, why);
  if (fd >= 0) {
    std::string line(header);
    line += "\r\n";
    // Emptied only now that it is known to be a regular file.
    if (::ftruncate(fd, 0) != 0 || !writeAll(m_write ? m_write : systemWrite, fd, line)) {
      why = text_file::systemReason(errno);
      [[maybe_unused]] const int cut = ::ftruncate(fd, 0);  // no half header
    }
    if (::close(fd) != 0 && why.empty()) why = text_file::systemReason(errno);
  }
  if (!why.empty() && error != nullptr) *error = why;
  return why.empty();
}

bool CCaptureFile::WriteRow(const GraphSample& sample, float pressureFactor, unsigned unit) {
  std::string line = capture::row(sample, pressureFactor, unit);
  line += "\r\n";
  std::string why;
  const int fd = openRegular(m_strPath, O_APPEND, why);
  if (fd < 0) {
    rowLost(std::move(why));
    return false;
  }
  struct stat before {};
  const bool sized = ::fstat(fd, &before) == 0;
  bool ok = writeAll(m_write ? m_write : systemWrite, fd, line);
  if (!ok) {
    why = text_file::systemReason(errno);
    // A full disk takes part of a row: cut it off, so the next row starts
    // on a line of its own.
    if (sized) {
      [[maybe_unused]] const int cut = ::ftruncate(fd, before.st_size);
    }
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    why = text_file::systemReason(errno);
  }
  if (ok) ++m_rowsWritten;
  else rowLost(std::move(why));
  return ok;
}

bool CCaptureFile::Present() const {
  struct stat st {};
  return ::stat(m_strPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void CCaptureFile::rowLost(std::string reason) {
  ++m_rowsLost;
  m_lostReason = std::move(reason);
}

RecordOutcome GraphRecording::record(const GraphSample& sample, std::uint32_t sampleMs, std::uint32_t msSinceStart,
                                     float pressureFactor, unsigned unit) {
  RecordOutcome out;
  if (!g_graphRunning) return out;
  if (m_hasLast && sampleMs == m_lastSampleMs) return out;
  if (sampleMs > msSinceStart) return out;
  const bool gap = m_hasLast && chart::isGap(m_lastSampleMs * 0.001, sampleMs * 0.001, m_samplePeriod);
  m_hasLast = true;
  m_lastSampleMs = sampleMs;

  m_store.Append(sample, gap);
  out.stored = true;
  if (!m_toldOldestLeft && m_store.droppedOldest() > 0) {
    m_toldOldestLeft = true;
    out.oldestLeft = true;
  }
  const double seconds = sampleMs / 1000;
  if (seconds - std::trunc(m_lastRefreshTime) >= 1) {
    m_lastRefreshTime = seconds;
    out.refreshDue = true;
  }
  if (g_captureOn) out.rowLost = !g_captureFile.WriteRow(sample, pressureFactor, unit);
  return out;
}

void GraphRecording::clear() {
  m_store.Clear();
  m_lastRefreshTime = 0;
  m_hasLast = false;
  m_lastSampleMs = 0;
  m_toldOldestLeft = false;
}

}  // namespace vrx4
