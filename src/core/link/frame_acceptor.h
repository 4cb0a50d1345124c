// Takes the device's reply one byte at a time and tells when a complete,
// sound frame of the awaited kind has formed. Bytes that cannot start the
// frame are dropped; a full-length candidate with a wrong end byte or
// checksum loses its first byte, so reception resynchronises on the next
// header byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/link/frames.h"

namespace vrx4 {

enum class ReplyKind : int { Measurement = 0, Information = 1, Memory = 2 };

class FrameAcceptor {
 public:
  // Starts awaiting a reply; memoryCount is the n of a memory frame (1..31).
  // Empties the buffer.
  void expect(ReplyKind kind, int memoryCount = 0);
  ReplyKind kind() const { return m_kind; }
  std::size_t expectedLength() const { return m_length; }

  // Appends one byte; true when a complete sound frame is ready. The frame
  // stays available through frame() until the next push or clear.
  bool push(std::uint8_t byte);
  std::span<const std::uint8_t> frame() const { return {m_frame.data(), m_frameLength}; }
  std::size_t buffered() const { return m_size; }
  void clear();

 private:
  void dropFirst();
  std::uint8_t header() const;

  ReplyKind m_kind = ReplyKind::Measurement;
  std::size_t m_length = kMeasurementFrameLength;
  std::array<std::uint8_t, kMaxFrameLength> m_rx{};
  std::size_t m_size = 0;
  std::array<std::uint8_t, kMaxFrameLength> m_frame{};
  std::size_t m_frameLength = 0;
};

}  // namespace vrx4
