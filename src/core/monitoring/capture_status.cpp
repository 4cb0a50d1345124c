#include "core/monitoring/capture_status.h"

namespace vrx4::capture {

void CaptureClock::run(std::uint64_t nowMs) {
  if (m_running) return;
  m_running = true;
  m_started = true;
  m_since = nowMs;
}

void CaptureClock::pause(std::uint64_t nowMs) {
  if (!m_running) return;
  m_counted = elapsedMs(nowMs);
  m_running = false;
}

void CaptureClock::reset() { *this = CaptureClock(); }

std::uint64_t CaptureClock::elapsedMs(std::uint64_t nowMs) const {
  return m_counted + (m_running && nowMs > m_since ? nowMs - m_since : 0);
}

std::string elapsedText(std::uint64_t ms) {
  const std::uint64_t s = ms / 1000;
  const std::uint64_t minutes = s / 60 % 60, seconds = s % 60;
  std::string out = std::to_string(s / 3600);
  out += minutes < 10 ? ":0" : ":";
  out += std::to_string(minutes);
  out += seconds < 10 ? ":0" : ":";
  out += std::to_string(seconds);
  return out;
}

std::string fill(std::string_view text, std::initializer_list<std::string_view> values) {
  std::string out;
  const auto* value = values.begin();
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t p = text.find('%', at);
    if (p == std::string_view::npos || p + 1 >= text.size()) break;
    out.append(text.substr(at, p - at));
    const char kind = text[p + 1];
    if ((kind == 'd' || kind == 's') && value != values.end()) out.append(*value++);
    else out.append(text.substr(p, 2));
    at = p + 2;
  }
  if (at < text.size()) out.append(text.substr(at));
  return out;
}

std::string statusLine(const StatusTexts& texts, CaptureState state, std::uint64_t elapsedMs,
                       std::uint64_t rowsWritten) {
  const std::string& what = state == CaptureState::Writing ? texts.writing
                            : state == CaptureState::Paused ? texts.paused
                                                            : texts.ready;
  return what + "   " + elapsedText(elapsedMs) + "   " + fill(texts.rowsWritten, {std::to_string(rowsWritten)});
}

}  // namespace vrx4::capture
