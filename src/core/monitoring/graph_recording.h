// What the live value display feeds while the graph records: the sample
// store the trend chart draws, and the capture file that gets one row per
// sample. Used on the GUI thread; the store may also be read elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/monitoring/graph_sample.h"
#include "core/monitoring/sample_store.h"

namespace vrx4 {

// The capture file: opened, appended to and closed for every line, so that
// it is complete on disk after each row. A row that cannot be written is
// counted, never silently lost. Only a regular file (or a new one) is taken:
// a FIFO would block the open until some reader came, a device never ends,
// so anything else is refused before it is opened, without waiting.
class CCaptureFile {
 public:
  std::string m_strPath;

  // Creates (or empties) the file and writes the header line; the row
  // counts start again. False with the reason in *error when it cannot be
  // written.
  bool Create(std::string_view header, std::string* error = nullptr);
  // Appends one row to the existing file (never creates it: a capture file
  // that was deleted stays deleted). False, counting the row as lost and
  // keeping the reason, when the file cannot be opened or the whole row
  // cannot be written; a row written in part is cut off again, so the file
  // never holds half a line.
  bool WriteRow(const GraphSample& sample, float pressureFactor, unsigned unit);
  // Whether the file is still where it was created, as a regular file.
  bool Present() const;

  std::uint64_t m_rowsWritten = 0;
  std::uint64_t m_rowsLost = 0;
  // Why the last lost row could not be written (the system's text, e.g.
  // "No space left on device"); empty while no row was lost.
  std::string m_lostReason;

  // The write call; tests stand in one that fills the disk part-way.
  using WriteCall = long (*)(int fd, const void* data, std::size_t size);
  WriteCall m_write = nullptr;  // null: the system's write

 private:
  void rowLost(std::string reason);
};

// What one capture sample led to.
struct RecordOutcome {
  bool stored = false;       // appended to the store
  bool refreshDue = false;   // a new second of sample time: refresh the chart
  bool rowLost = false;      // capturing, and the row could not be written
  bool oldestLeft = false;   // the store is full: samples began to leave (once per recording)
};

struct GraphRecording {
  bool g_graphRunning = false;  // samples are appended only while set
  bool g_captureOn = false;     // rows are written only while set
  float g_secondsPerDivision = 5.0f;
  // Seconds per sample the link takes samples at: decides which samples
  // lie across a gap (chart::isGap).
  float m_samplePeriod = 0.1f;
  CCaptureFile g_captureFile;
  CSampleStore m_store;
  // Whole seconds of sample time the chart was last asked to refresh at.
  double m_lastRefreshTime = 0;
  // The tick (ms) of the last RE-START. The link's capture clock starts
  // there too, but starts again at 0 when the link is restarted (the
  // RE-CONNEXION button): sampleMs() counts from the RE-START whatever the
  // link did, so times go on increasing and show the time the link was
  // away.
  std::uint32_t m_startTick = 0;

  // A sample's time on the recording's clock, from the link's start tick
  // and its capture clock.
  std::uint32_t sampleMs(std::uint32_t linkStartTick, std::uint32_t linkSampleMs) const {
    return linkStartTick + linkSampleMs - m_startTick;
  }

  // One capture sample stamped sampleMs on the recording's clock, which
  // has run msSinceStart since the recording (re)started. While running:
  // into the store (with a break before it when it lies across a gap from
  // the one before) and, while capturing, a row of the file. A sample
  // posted twice (the display fell behind the link) is taken once; a
  // sample stamped later than the clock allows was measured before a
  // restart and is not taken.
  RecordOutcome record(const GraphSample& sample, std::uint32_t sampleMs, std::uint32_t msSinceStart,
                       float pressureFactor, unsigned unit);
  void clear();

 private:
  bool m_hasLast = false;
  std::uint32_t m_lastSampleMs = 0;
  bool m_toldOldestLeft = false;
};

}  // namespace vrx4
