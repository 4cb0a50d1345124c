#include "core/link/transfer_progress.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/link/device_state.h"
#include "core/link/frames.h"
#include "core/link/transfer_ops.h"

namespace vrx4::transfer_progress {
namespace {

constexpr int kReplyBytes = static_cast<int>(kMeasurementFrameLength);  // the answer to most bytes
constexpr int kFrameOverhead = 5;  // 'D', address, control, checksum, '~'

// One area's part of a request: `blocks` blocks of `bytes` bytes, read
// (one step each) or written and read back (two steps each).
struct Segment {
  std::uint32_t writeOp = 0;  // the read op for a read segment
  std::uint32_t readBackOp = 0;
  int blocks = 0;
  int bytes = 0;
  bool read = false;

  bool holds(std::uint32_t op) const { return op == writeOp || (!read && op == readBackOp); }
  int steps() const { return read ? blocks : 2 * blocks; }
  double blockSeconds() const {
    return read ? stepSeconds(StepKind::Read, bytes)
                : stepSeconds(StepKind::Write, bytes) + stepSeconds(StepKind::ReadBack, bytes);
  }
};

struct Plan {
  std::array<Segment, 2> segments{};
  int size = 0;
};

Plan planOf(std::uint32_t requested, std::int8_t count) {
  const int n = std::clamp<int>(count, 1, kMaxMemoryCount);
  const int singles = std::clamp<int>(count, 1, static_cast<int>(kScratchSize));
  using namespace transfer_ops;
  const Segment optionRead{op::kReadOption, 0, kOptionReadBlocks, kOptionBlockBytes, true};
  const Segment baseRead{op::kReadBase, 0, kBaseBlocks, kBaseBlockBytes, true};
  const Segment optionWrite{op::kWriteOption, readBackOf(op::kWriteOption), kOptionWriteBlocks, kOptionBlockBytes, false};
  const Segment optionWriteOfBoth{op::kWriteOptionThenBase, readBackOf(op::kWriteOptionThenBase), kOptionWriteBlocks,
                                  kOptionBlockBytes, false};
  const Segment baseWrite{op::kWriteBase, readBackOf(op::kWriteBase), kBaseBlocks, kBaseBlockBytes, false};
  const Segment optionRange{op::kWriteOptionRange, readBackOf(op::kWriteOptionRange), 1, n, false};
  const Segment baseRange{op::kWriteBaseRange, readBackOf(op::kWriteBaseRange), 2, n, false};
  switch (requested) {
    case op::kReadOption:
    case op::kReadBase:
      return {{optionRead, baseRead}, 2};
    case op::kWriteOptionThenBase: return {{optionWriteOfBoth, baseWrite}, 2};
    case op::kWriteBase: return {{baseWrite}, 1};
    case op::kWriteOption: return {{optionWrite}, 1};
    case op::kWriteOptionRange: return {{optionRange}, 1};
    case op::kWriteOptionBytes:
      return {{Segment{op::kWriteOptionBytes, readBackOf(op::kWriteOptionBytes), singles, 1, false}}, 1};
    case op::kWriteBaseRange: return {{baseRange}, 1};
    case op::kWriteFlagThenOptionRange:
      return {{Segment{op::kWriteFlagThenOptionRange, readBackOf(op::kWriteFlagThenOptionRange), 1, 1, false},
               optionRange},
              2};
    case op::kWriteSetpointThenBaseRange:
      return {{Segment{op::kWriteSetpointThenBaseRange, readBackOf(op::kWriteSetpointThenBaseRange), 1, 1, false},
               baseRange},
              2};
    default:
      return {};
  }
}

}  // namespace

double stepSeconds(StepKind kind, int n) {
  int byteTimes = 0;
  switch (kind) {
    case StepKind::Identity:  // 5 frame bytes
      byteTimes = 4 * (1 + kReplyBytes) + 1 + (4 + kFrameOverhead);
      break;
    case StepKind::Read:  // 'R', 'R', 5 frame bytes
      byteTimes = 6 * (1 + kReplyBytes) + 1 + (n + kFrameOverhead);
      break;
    case StepKind::Write:  // 'R', n + 5 frame bytes, 'R'
      byteTimes = (n + kFrameOverhead + 2) * (1 + kReplyBytes);
      break;
    case StepKind::ReadBack:  // 'R', 5 frame bytes
      byteTimes = 5 * (1 + kReplyBytes) + 1 + (n + kFrameOverhead);
      break;
  }
  return byteTimes * kByteSeconds;
}

Position position(const Where& w) {
  Plan plan = planOf(w.requestedOp, w.count);
  auto find = [&](const Plan& p) {
    for (int i = 0; i < p.size; ++i)
      if (p.segments[static_cast<std::size_t>(i)].holds(w.op)) return i;
    return -1;
  };
  int at = find(plan);
  if (at < 0) {
    // An op the request does not lead to: counted as the request it
    // belongs to (the shortest one that holds it).
    for (std::uint32_t r : {1u, 5u, 6u, 10u, 12u, 14u, 4u, 16u, 18u}) {
      plan = planOf(r, w.count);
      at = find(plan);
      if (at >= 0) break;
    }
    if (at < 0) return {};
  }

  Position r;
  if (w.identityFirst) {
    r.total = 1;
    if (w.identityDone) r.done = 1;
    else r.wireSecondsLeft += stepSeconds(StepKind::Identity, 4);
  }
  for (int i = 0; i < plan.size; ++i) {
    const Segment& s = plan.segments[static_cast<std::size_t>(i)];
    r.total += s.steps();
    if (i < at) {
      r.done += s.steps();
    } else if (i > at) {
      r.wireSecondsLeft += s.blocks * s.blockSeconds();
    } else {
      const int k = std::clamp(w.block, 0, s.blocks);
      const bool written = !s.read && (w.op == s.readBackOp || w.verify);
      r.done += (s.read ? k : 2 * k) + (written && k < s.blocks ? 1 : 0);
      r.wireSecondsLeft += (s.blocks - k) * s.blockSeconds();
      if (written && k < s.blocks) r.wireSecondsLeft -= stepSeconds(StepKind::Write, s.bytes);
    }
  }
  return r;
}

Position wholeRequest(std::uint32_t requestedOp, std::int8_t count, bool identityFirst) {
  return position({requestedOp, requestedOp, 0, false, count, identityFirst, false});
}

int Progress::percent() const {
  if (stage == Stage::Finished) return 100;
  if (total <= 0) return 0;
  return std::clamp(done * 100 / total, 0, 99);
}

std::uintptr_t wParamOf(const Progress& p) {
  const auto done = static_cast<std::uintptr_t>(std::clamp(p.done, 0, 0xFFFF));
  const auto total = static_cast<std::uintptr_t>(std::clamp(p.total, 0, 0xFFFF));
  return done | (total << 16);
}

std::intptr_t lParamOf(const Progress& p) {
  // Kept within 31 bits: at most 8388 s, far more than any transfer.
  const std::uint32_t ms = std::min<std::uint32_t>(p.msLeft, 0x7FFFFF);
  return static_cast<std::intptr_t>(static_cast<std::uint32_t>(p.stage) | (p.writing ? 0x10u : 0u) | (ms << 8));
}

Progress fromMessage(std::uintptr_t wParam, std::intptr_t lParam) {
  Progress p;
  p.done = static_cast<int>(wParam & 0xFFFF);
  p.total = static_cast<int>((wParam >> 16) & 0xFFFF);
  const auto l = static_cast<std::uint32_t>(lParam);
  const std::uint32_t stage = l & 0x0F;
  p.stage = stage <= static_cast<std::uint32_t>(Stage::Dropped) ? static_cast<Stage>(stage) : Stage::Running;
  p.writing = (l & 0x10) != 0;
  p.msLeft = l >> 8;
  return p;
}

void Tracker::begin(bool writing, std::uint32_t nowMs) {
  *this = Tracker{};
  m_begun = true;
  m_writing = writing;
  m_lastMs = nowMs;
}

Progress Tracker::update(const Position& where, bool waiting, std::uint32_t nowMs) {
  // Time counts towards the pace only while the regulator answers.
  if (!waiting && !m_lastWaiting) m_runningMs += nowMs - m_lastMs;
  m_lastMs = nowMs;
  m_lastWaiting = waiting;
  if (m_wireLeft >= 0 && where.wireSecondsLeft < m_wireLeft) m_wireDone += m_wireLeft - where.wireSecondsLeft;
  m_wireLeft = where.wireSecondsLeft;

  // A position behind the one shown is a step being repeated: it is added
  // to the steps in all rather than taken from the steps done.
  const int done = where.done + m_extra;
  if (done < m_done) m_extra += m_done - done;
  m_done = std::max(m_done, done);
  m_total = std::max(m_total, where.total + m_extra);

  Progress p;
  p.writing = m_writing;
  p.stage = waiting ? Stage::Waiting : Stage::Running;
  p.total = m_total;
  // The last step is done when the transfer ends.
  p.done = std::min(m_done, std::max(0, m_total - 1));
  double pace = 1.0;
  constexpr double kPaceAfterWireSeconds = 0.2;
  if (m_wireDone >= kPaceAfterWireSeconds) pace = std::clamp(m_runningMs / 1000.0 / m_wireDone, 1.0, 50.0);
  p.msLeft = static_cast<std::uint32_t>(std::ceil(std::max(0.0, where.wireSecondsLeft) * pace * 1000.0));
  return p;
}

Progress Tracker::finish(bool completed) const {
  Progress p;
  p.writing = m_writing;
  p.total = m_total;
  p.done = completed ? m_total : std::min(m_done, m_total);
  p.stage = completed ? Stage::Finished : Stage::Dropped;
  return p;
}

bool Tracker::due(const Progress& p, std::uint32_t nowMs) {
  const bool post = !m_posted || p.ended() || p.stage != m_lastPosted.stage ||
                    (p.done != m_lastPosted.done && nowMs - m_lastPostMs >= kPostIntervalMs);
  if (post) {
    m_posted = true;
    m_lastPosted = p;
    m_lastPostMs = nowMs;
  }
  return post;
}

std::string describe(const Progress& p, const std::string& reading, const std::string& writing,
                     const std::string& waiting) {
  std::string text = p.stage == Stage::Waiting ? waiting : p.writing ? writing : reading;
  const int values[] = {std::min(p.done + 1, std::max(p.total, 1)), p.total, p.secondsLeft()};
  std::size_t at = 0;
  for (int v : values) {
    at = text.find("%d", at);
    if (at == std::string::npos) break;
    const std::string number = std::to_string(v);
    text.replace(at, 2, number);
    at += number.size();
  }
  return text;
}

}  // namespace vrx4::transfer_progress
