// The transfer op table: which frame each op sends for block k, and what a
// memory reply to it means (store, compare, next block, next op, end).
#pragma once

#include <array>
#include <cstdint>

#include "core/link/device_state.h"
#include "core/link/frames.h"

namespace vrx4::transfer_ops {

// Blocks of the whole-area ops.
constexpr int kOptionReadBlocks = 16;   // 10 bytes each: OPTION 0..159
constexpr int kBaseBlocks = 29;         // 4 bytes each: BASE 0..115
constexpr int kOptionWriteBlocks = 12;  // 10 bytes each: OPTION 0..119
constexpr int kOptionBlockBytes = 10;
constexpr int kBaseBlockBytes = 4;

bool isWrite(std::uint32_t op);
// 4 -> 20, 5 -> 8, 6 -> 7, 10 -> 9, 12 -> 11, 14 -> 15, 16 -> 17, 18 -> 19.
std::uint32_t readBackOf(std::uint32_t op);

// The frame of one step: area, 8-bit address (block addresses wrap at
// 256), byte count and direction.
struct Step {
  Area area = Area::Option;
  std::uint8_t address = 0;
  int count = 0;
  bool read = true;
};
Step stepFor(std::uint32_t op, int block, std::int8_t start, std::int8_t count);

// The bytes a write step sends (or a read-back step expects), from the
// edit images, the scratch bytes or the single-byte values.
std::array<std::uint8_t, kMaxMemoryCount> writeSource(const DeviceState& state, std::uint32_t op,
                                                      const Step& step);

enum class Outcome {
  NextBlock,      // same op, block + 1
  NextArea,       // full read: OPTION done, BASE from block 0
  Write,          // write nextOp at nextBlock (again or the next block)
  WriteNextArea,  // OPTION written (0x466 wParam), BASE write follows
  Done,           // the transfer ends: 0x466 wParam, with or without box
  ImagesReplaced, // full read: file mode replaced the images, nothing stored
};
struct Verdict {
  Outcome outcome = Outcome::NextBlock;
  std::uint32_t nextOp = 0;
  int nextBlock = 0;
  std::uintptr_t wParam = 0;
  bool messageBox = false;
};

// Acts on the memory reply to op at block k: stores what a read brought or
// a verified block confirmed in the device images, and says what follows.
Verdict judge(DeviceState& state, std::uint32_t op, int block, const MemoryData& reply);

}  // namespace vrx4::transfer_ops
