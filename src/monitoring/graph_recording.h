// What the live value display feeds while the graph records: the sample
// store the trend chart draws, and the capture file that gets one row per
// sample. Used on the GUI thread only.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "monitoring/graph_sample.h"

namespace vrx4 {

// The capture file: opened, written and closed for every line, so that it
// is complete on disk after each row.
class CCaptureFile {
 public:
  std::string m_strPath;

  // Creates (or empties) the file and writes the header line. False with
  // the reason in *error when it cannot be written.
  bool Create(std::string_view header, std::string* error = nullptr);
  // Appends one row to an existing file; false when it cannot be opened
  // or written (the row is then lost, the file stays as it was).
  bool WriteRow(const GraphSample& sample, float pressureFactor, unsigned unit);
};

struct GraphRecording {
  bool g_graphRunning = false;  // samples are appended only while set
  bool g_captureOn = false;     // rows are written only while set
  CCaptureFile g_captureFile;
  std::deque<GraphSample> m_samples;
  // Whole seconds of sample time the chart was last refreshed at.
  double m_lastRefreshTime = 0;
  // The store keeps at most this many samples (the oldest go first).
  std::size_t m_maxSamples = 65535;

  // Appends one sample (while running); true when the chart should be
  // refreshed because a new second of sample time has begun.
  bool append(const GraphSample& sample, std::uint32_t sampleMs);
  void clear();
};

}  // namespace vrx4
