// How far a transfer has come, as the user is told: the steps of the
// requested op (its blocks, each written block's read-back, the byte-0
// step of ops 16 and 18, the identity read a write starts with), the step
// the link engine is at, the wire time the rest takes at 38400 baud, and
// the message that carries it to the window and to vrx4ctl.
#pragma once

#include <cstdint>
#include <string>

namespace vrx4::transfer_progress {

// One byte on the wire at 38400 baud, 8N1, in seconds.
constexpr double kByteSeconds = 10.0 / 38400.0;
// Progress is posted at most this often while steps go by; a change of
// stage and the end are posted at once.
constexpr std::uint32_t kPostIntervalMs = 250;

// What one step sends: the identity read (4 BASE bytes), a block read, a
// block write or the read-back of a written block.
enum class StepKind : std::uint8_t { Identity, Read, Write, ReadBack };
// Wire seconds of one step of n data bytes. One byte goes out per cycle
// and each is answered by a measurement frame (17 bytes), except the last
// byte of a read, answered by the memory frame (n + 5 bytes). A read or a
// read-back starts with 'R'; a read that follows another read sends a
// second 'R' first; a write is framed by two 'R'.
double stepSeconds(StepKind kind, int n);

// Where the link engine is in a transfer, from the request block.
struct Where {
  std::uint32_t requestedOp = 0;  // the op the request was published with
  std::uint32_t op = 0;           // g_xferOp now: a write op, its read-back op, or the next area's
  int block = 0;                  // g_xferBlock
  bool verify = false;            // g_xferVerify: this block's write frame has gone out
  std::int8_t count = 0;          // g_xferCount
  bool identityFirst = false;     // a write on a regulator: the serial number is read first
  bool identityDone = false;      // ... and has been
};

struct Position {
  int done = 0;   // steps finished
  int total = 0;  // steps of the whole request
  double wireSecondsLeft = 0;
};
Position position(const Where& where);

// Steps and wire seconds of a whole request, from its first step.
Position wholeRequest(std::uint32_t requestedOp, std::int8_t count, bool identityFirst);

enum class Stage : std::uint8_t {
  Running,   // steps go by
  Waiting,   // the regulator does not answer, or its identity is being checked again
  Finished,  // the transfer ended; done == total
  Dropped,   // ended before its last step: a read cancelled or given up for file mode, or the link stopped
};

struct Progress {
  int done = 0;
  int total = 0;
  std::uint32_t msLeft = 0;
  Stage stage = Stage::Running;
  bool writing = false;

  bool ended() const { return stage == Stage::Finished || stage == Stage::Dropped; }
  // 0..100; 100 only once the transfer has finished.
  int percent() const;
  // Whole seconds left, rounded up.
  int secondsLeft() const { return static_cast<int>((msLeft + 999) / 1000); }
};

// The progress message (msg::kTransferProgress): wParam carries the steps
// (done in the low 16 bits, total above), lParam the stage (bits 0..3),
// the direction (bit 4) and the milliseconds left (from bit 8).
std::uintptr_t wParamOf(const Progress& p);
std::intptr_t lParamOf(const Progress& p);
Progress fromMessage(std::uintptr_t wParam, std::intptr_t lParam);

// Follows one request from its first step to its end, so that what is
// shown never runs backwards: a step that has to be repeated (a read-back
// that differs) adds to the total instead of taking from the steps done,
// and the last step is shown done only when the transfer has ended.
// Seconds left are the wire time of the steps left, stretched by the pace
// the line has actually kept while it answered (an adapter's latency, a
// busy regulator), never shortened below the wire time.
class Tracker {
 public:
  void begin(bool writing, std::uint32_t nowMs);
  Progress update(const Position& where, bool waiting, std::uint32_t nowMs);
  Progress finish(bool completed) const;
  // True when p should be posted now (and notes it as posted): the first
  // progress of the request, a change of stage, an end, or new steps done
  // at least kPostIntervalMs after the last post.
  bool due(const Progress& p, std::uint32_t nowMs);
  bool begun() const { return m_begun; }

 private:
  bool m_begun = false;
  bool m_writing = false;
  int m_done = 0;
  int m_extra = 0;  // steps added by repeats
  int m_total = 0;
  double m_wireLeft = -1;
  double m_wireDone = 0;
  std::uint32_t m_runningMs = 0;
  std::uint32_t m_lastMs = 0;
  bool m_lastWaiting = false;
  bool m_posted = false;
  Progress m_lastPosted;
  std::uint32_t m_lastPostMs = 0;
};

// The bar's text in the chosen language: the reading or writing template
// (three "%d": the step it is on, steps in all, seconds left), or the
// waiting one (two: the step, in all). The step on is the one after those
// done, the last once all are.
std::string describe(const Progress& p, const std::string& reading, const std::string& writing,
                     const std::string& waiting);

}  // namespace vrx4::transfer_progress
