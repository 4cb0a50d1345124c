// What the GRAPH page says about a running capture: whether rows are being
// written, for how long, how many went to the file and how many were lost,
// and the summary when the capture ends. The texts come from the language
// file; these functions only put the numbers in.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vrx4::capture {

// The time spent writing rows: runs from the record button to the pause
// button and again from the next record, so that a pause shows as a clock
// that stands still.
class CaptureClock {
 public:
  void run(std::uint64_t nowMs);
  void pause(std::uint64_t nowMs);
  void reset();
  bool running() const { return m_running; }
  // Whether it ran at all since the reset.
  bool started() const { return m_started; }
  std::uint64_t elapsedMs(std::uint64_t nowMs) const;

 private:
  bool m_running = false;
  bool m_started = false;
  std::uint64_t m_since = 0;    // when it last started running
  std::uint64_t m_counted = 0;  // ms counted before that
};

// "H:MM:SS" (hours as many as it takes).
std::string elapsedText(std::uint64_t ms);

// Each "%d" and "%s" of a text in turn gets the next value; a placeholder
// inside a value (a file name) stays as it is, and placeholders beyond the
// values stay as they are.
std::string fill(std::string_view text, std::initializer_list<std::string_view> values);

// The state of a capture whose file was created.
enum class CaptureState { Ready, Writing, Paused };

// The texts of the language file the status line is made of.
struct StatusTexts {
  std::string ready;        // a file was chosen and no row is written yet
  std::string writing;      // rows are being written
  std::string paused;       // the pause button is down
  std::string rowsWritten;  // "%d": rows in the file
};

// "<state>  H:MM:SS  <rows written>".
std::string statusLine(const StatusTexts& texts, CaptureState state, std::uint64_t elapsedMs,
                       std::uint64_t rowsWritten);

}  // namespace vrx4::capture
