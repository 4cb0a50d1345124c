#include "core/monitoring/graph_recording.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "core/monitoring/capture_row.h"

namespace vrx4 {
namespace {

// Writes all of `text`; false on any error.
bool writeAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

bool CCaptureFile::Create(std::string_view header, std::string* error) {
  m_rowsWritten = 0;
  m_rowsLost = 0;
  std::string line(header);
  line += "\r\n";
  int err = 0;
  const int fd = ::open(m_strPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    err = errno;
  } else {
    if (!writeAll(fd, line)) err = errno != 0 ? errno : EIO;
    if (::close(fd) != 0 && err == 0) err = errno;
  }
  if (err != 0 && error != nullptr) *error = std::strerror(err);
  return err == 0;
}

bool CCaptureFile::WriteRow(const GraphSample& sample, float pressureFactor, unsigned unit) {
  std::string line = capture::row(sample, pressureFactor, unit);
  line += "\r\n";
  const int fd = ::open(m_strPath.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) {
    ++m_rowsLost;
    return false;
  }
  struct stat before {};
  const bool sized = ::fstat(fd, &before) == 0;
  bool ok = writeAll(fd, line);
  if (!ok && sized) {
    // A full disk takes part of a row: cut it off, so the next row starts
    // on a line of its own.
    [[maybe_unused]] const int cut = ::ftruncate(fd, before.st_size);
  }
  ok = (::close(fd) == 0) && ok;
  if (ok) ++m_rowsWritten;
  else ++m_rowsLost;
  return ok;
}

RecordOutcome GraphRecording::record(const GraphSample& sample, std::uint32_t sampleMs, std::uint32_t msSinceStart,
                                     float pressureFactor, unsigned unit) {
  RecordOutcome out;
  if (!g_graphRunning) return out;
  if (m_hasLast && sampleMs == m_lastSampleMs) return out;
  if (sampleMs > msSinceStart) return out;
  m_hasLast = true;
  m_lastSampleMs = sampleMs;

  m_store.Append(sample);
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
