#include "monitoring/graph_recording.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>

#include "monitoring/capture_row.h"

namespace vrx4 {

bool CCaptureFile::Create(std::string_view header, std::string* error) {
  std::ofstream out(m_strPath, std::ios::binary | std::ios::trunc);
  if (out) out << header << "\r\n";
  if (out) out.close();
  if (!out) {
    if (error) *error = std::strerror(errno);
    return false;
  }
  return true;
}

bool CCaptureFile::WriteRow(const GraphSample& sample, float pressureFactor, unsigned unit) {
  // Never creates the file: a capture file that was deleted stays deleted.
  std::ofstream out(m_strPath, std::ios::binary | std::ios::in | std::ios::out | std::ios::ate);
  if (!out) return false;
  out << capture::row(sample, pressureFactor, unit) << "\r\n";
  out.close();
  return static_cast<bool>(out);
}

bool GraphRecording::append(const GraphSample& sample, std::uint32_t sampleMs) {
  if (!g_graphRunning) return false;
  m_samples.push_back(sample);
  while (m_samples.size() > m_maxSamples && !m_samples.empty()) m_samples.pop_front();
  const double seconds = sampleMs / 1000;
  if (seconds - std::trunc(m_lastRefreshTime) < 1) return false;
  m_lastRefreshTime = seconds;
  return true;
}

void GraphRecording::clear() {
  m_samples.clear();
  m_lastRefreshTime = 0;
}

}  // namespace vrx4
