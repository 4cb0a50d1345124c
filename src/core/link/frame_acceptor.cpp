#include "core/link/frame_acceptor.h"

#include <algorithm>

namespace vrx4 {

void FrameAcceptor::expect(ReplyKind kind, int memoryCount) {
  m_kind = kind;
  switch (kind) {
    case ReplyKind::Measurement:
      m_length = kMeasurementFrameLength;
      break;
    case ReplyKind::Information:
      m_length = kInformationFrameLength;
      break;
    case ReplyKind::Memory:
      m_length = static_cast<std::size_t>(std::clamp(memoryCount, 1, kMaxMemoryCount)) + 5;
      break;
  }
  clear();
}

void FrameAcceptor::clear() {
  m_size = 0;
  m_frameLength = 0;
}

std::uint8_t FrameAcceptor::header() const {
  switch (m_kind) {
    case ReplyKind::Information:
      return kInformationHeader;
    case ReplyKind::Memory:
      return kMemoryHeader;
    case ReplyKind::Measurement:
      break;
  }
  return kMeasurementHeader;
}

void FrameAcceptor::dropFirst() {
  std::copy(m_rx.begin() + 1, m_rx.begin() + static_cast<std::ptrdiff_t>(m_size), m_rx.begin());
  --m_size;
}

bool FrameAcceptor::push(std::uint8_t byte) {
  m_frameLength = 0;
  m_rx[m_size++] = byte;
  for (;;) {
    while (m_size > 0 && m_rx[0] != header()) dropFirst();
    if (m_size < m_length) return false;
    const std::span<const std::uint8_t> candidate(m_rx.data(), m_length);
    if (frameIsSound(candidate)) {
      std::copy(candidate.begin(), candidate.end(), m_frame.begin());
      m_frameLength = m_length;
      m_size = 0;
      return true;
    }
    // Not a frame: slide by one byte and look for the next header.
    dropFirst();
  }
}

}  // namespace vrx4
