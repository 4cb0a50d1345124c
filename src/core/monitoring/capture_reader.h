// Reading a capture file back into the graph's sample store, so that a
// recording (of the GRAPH page or of vrx4ctl monitor --out, which write the
// same format) can be looked at on the chart like live data.
//
// The file is only read: opened without blocking or locking, and only when
// it is a regular file. It is streamed in blocks, never held whole, and
// read twice: the first pass checks the header, counts the rows and finds
// the interval the samples were taken at; the second fills the store. The
// store is only cleared once the first pass found rows to show, so a file
// that is refused leaves the store as it was.
//
// Rows are read as the writer writes them (capture_row.h): a '.' decimal
// point whatever the locale, CR LF or LF line ends, the last ';' optional.
// A row that cannot be read is skipped and its line number kept. P2 is
// stored in bar, converted from the row's own Punit, so that the chart
// shows it in whatever unit is chosen now, as for live data.
//
// Samples further apart than chart::gapAfter(the file's sample interval)
// get a break before them, as in a live recording. A Time column that goes
// back (RE-START pressed while the capture was written) starts a new part
// of the recording: its times are moved on to follow the part before,
// across a break, so that nothing is drawn over the earlier part.
//
// A file with more rows than the store keeps is thinned, not cut: every
// rowsPerPair rows (never across a gap) become two samples, the first at
// the time of the group's first row and the second at its last row's, that
// carry each channel's lowest and highest value in the order they came. A
// fault anywhere in the night thus stays on the chart as the spike it was,
// whatever the chart's resolution, and the whole night fits in the store.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/monitoring/sample_store.h"

namespace vrx4::capture {

enum class ReadStatus {
  Shown,       // the rows are in the store
  CannotOpen,  // not there, not readable, not a regular file: `detail` says why
  NotCapture,  // empty, or its first line is not the capture header
  NoRows,      // the header and not one readable row
  ReadFailed,  // the second pass failed: the store holds the rows read before
};

struct ReadOutcome {
  ReadStatus status = ReadStatus::CannotOpen;
  std::string detail;             // the system's reason (CannotOpen, ReadFailed)
  std::uint64_t rows = 0;         // rows read
  std::uint64_t samples = 0;      // samples put into the store
  std::vector<std::uint64_t> damagedLines;  // line numbers (the header is line 1)
  unsigned unit = 0;              // the first row's Punit (0 bar .. 3 MPa)
  std::uint64_t otherUnitRows = 0;  // rows in another unit, converted
  double firstTime = 0;           // the first and last sample's time on the chart
  double lastTime = 0;            // (the file's Time, moved on after a restart)
  double samplePeriod = 0.1;      // the usual interval between rows, s
  std::uint32_t rowsPerPair = 1;  // 1: a sample for every row; else see above
  std::uint64_t gaps = 0;         // breaks put into the store
  std::uint64_t timeRestarts = 0;  // rows whose Time went back
  std::uint64_t firstRestartLine = 0;
};

// Reads the capture file at `path` into `store` (see above).
ReadOutcome readCapture(const std::string& path, CSampleStore& store);

// One row of a capture file; false when it cannot be read. P2 comes back
// in bar.
bool parseRow(std::string_view line, GraphSample& out, unsigned& unit);

// Whether a line is the capture file's header.
bool isHeader(std::string_view line);

}  // namespace vrx4::capture
