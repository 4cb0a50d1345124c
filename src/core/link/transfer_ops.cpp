#include "core/link/transfer_ops.h"

#include <algorithm>

namespace vrx4::transfer_ops {
namespace {

std::uint8_t addr(int value) { return static_cast<std::uint8_t>(value & 0xFF); }

}  // namespace

bool isWrite(std::uint32_t op) {
  switch (op) {
    case 4: case 5: case 6: case 10: case 12: case 14: case 16: case 18:
      return true;
    default:
      return false;
  }
}

std::uint32_t readBackOf(std::uint32_t op) {
  switch (op) {
    case 4: return 20;
    case 5: return 8;
    case 6: return 7;
    case 10: return 9;
    case 12: return 11;
    case 14: return 15;
    case 16: return 17;
    case 18: return 19;
    default: return op;
  }
}

Step stepFor(std::uint32_t op, int k, std::int8_t start, std::int8_t count) {
  const int s = static_cast<std::uint8_t>(start);
  const int n = std::clamp<int>(count, 1, kMaxMemoryCount);
  switch (op) {
    case 1: case 7: case 20:
      return {Area::Option, addr(kOptionBlockBytes * k), kOptionBlockBytes, true};
    case 4: case 6:
      return {Area::Option, addr(kOptionBlockBytes * k), kOptionBlockBytes, false};
    case 2: case 8:
      return {Area::Base, addr(kBaseBlockBytes * k), kBaseBlockBytes, true};
    case 5:
      return {Area::Base, addr(kBaseBlockBytes * k), kBaseBlockBytes, false};
    case 9:
      return {Area::Option, addr(s), n, true};
    case 10:
      return {Area::Option, addr(s), n, false};
    case 11:
      return {Area::Option, addr(s + k), 1, true};
    case 12:
      return {Area::Option, addr(s + k), 1, false};
    case 15:
      return {Area::Base, addr(s + k * n), n, true};
    case 14:
      return {Area::Base, addr(s + k * n), n, false};
    case 17:
      return {Area::Option, 0, 1, true};
    case 16:
      return {Area::Option, 0, 1, false};
    case 19:
      return {Area::Base, 0, 1, true};
    case 18:
      return {Area::Base, 0, 1, false};
    default:
      return {Area::Option, 0, 1, true};
  }
}

std::array<std::uint8_t, kMaxMemoryCount> writeSource(const DeviceState& state, std::uint32_t op,
                                                      const Step& step) {
  std::array<std::uint8_t, kMaxMemoryCount> out{};
  const auto n = static_cast<std::size_t>(step.count);
  switch (op) {
    case 4: case 6: case 7: case 20: case 5: case 8: {
      const Area area = (op == 5 || op == 8) ? Area::Base : Area::Option;
      state.withImages([&](const Images& im) {
        const Image& edit = im.edit(area);
        for (std::size_t j = 0; j < n; ++j) out[j] = edit[(step.address + j) % kImageSize];
      });
      break;
    }
    case 9: case 10: case 11: case 12: case 14: case 15: {
      const auto scratch = state.scratch();
      // Offset of this step's bytes within the scratch block.
      std::size_t from = 0;
      const int k = state.g_xferBlock.load();
      if (op == 11 || op == 12) from = static_cast<std::size_t>(k);
      if (op == 14 || op == 15) from = static_cast<std::size_t>(k) * n;
      for (std::size_t j = 0; j < n && from + j < kScratchSize; ++j) out[j] = scratch[from + j];
      break;
    }
    case 16: case 17:
      out[0] = state.g_optionFlagValue.load();
      break;
    case 18: case 19:
      out[0] = state.g_baseSetpointValue.load();
      break;
    default:
      break;
  }
  return out;
}

Verdict judge(DeviceState& state, std::uint32_t op, int k, const MemoryData& reply) {
  const Step step = stepFor(op, k, state.g_xferStart.load(), state.g_xferCount.load());
  const std::span<const std::uint8_t> got = reply.bytes();
  Verdict v;

  if (op == 1 || op == 2) {
    if (!state.storeReadReply(step.area, reply.address, got)) {
      v.outcome = Outcome::ImagesReplaced;
      return v;
    }
    if (op == 1) {
      v.outcome = k < kOptionReadBlocks - 1 ? Outcome::NextBlock : Outcome::NextArea;
    } else if (k < kBaseBlocks - 1) {
      v.outcome = Outcome::NextBlock;
    } else {
      v.outcome = Outcome::Done;
      v.wParam = 1;
    }
    return v;
  }

  const auto expected = writeSource(state, op, step);
  const bool same = got.size() == static_cast<std::size_t>(step.count) &&
                    std::equal(got.begin(), got.end(), expected.begin());
  const std::uint32_t write = [op] {
    switch (op) {
      case 20: return 4u;
      case 8: return 5u;
      case 7: return 6u;
      case 9: return 10u;
      case 11: return 12u;
      case 15: return 14u;
      case 17: return 16u;
      case 19: return 18u;
      default: return 0u;
    }
  }();
  if (!same) {
    // Written wrong or not at all: the same block is written again.
    v.outcome = Outcome::Write;
    v.nextOp = write;
    v.nextBlock = k;
    return v;
  }

  switch (op) {
    case 7:
    case 20:
      if (k < kOptionWriteBlocks - 1) {
        v = {Outcome::Write, write, k + 1, 0, false};
      } else {
        state.withImages([](Images& im) {
          std::copy_n(im.g_optionEdit.begin(), kOptionImageBytes, im.g_optionDevice.begin());
        });
        if (op == 7) v = {Outcome::Done, 0, 0, 3, true};
        else v = {Outcome::WriteNextArea, op::kWriteBase, 0, 3, false};
      }
      break;
    case 8:
      if (k < kBaseBlocks - 1) {
        v = {Outcome::Write, write, k + 1, 0, false};
      } else {
        state.withImages([](Images& im) {
          std::copy_n(im.g_baseEdit.begin(), kBaseImageBytes, im.g_baseDevice.begin());
        });
        v = {Outcome::Done, 0, 0, 2, true};
      }
      break;
    case 9:
      state.writeDevice(Area::Option, step.address, got);
      v = {Outcome::Done, 0, 0, 1, true};
      break;
    case 11:
      state.writeDevice(Area::Option, step.address, got);
      if (k < state.g_xferCount.load() - 1) v = {Outcome::Write, write, k + 1, 0, false};
      else v = {Outcome::Done, 0, 0, 1, true};
      break;
    case 15:
      state.writeDevice(Area::Base, step.address, got);
      if (k < 1) v = {Outcome::Write, write, k + 1, 0, false};
      else v = {Outcome::Done, 0, 0, 1, true};
      break;
    case 17:
      state.writeDevice(Area::Option, 0, got);
      v = {Outcome::Write, op::kWriteOptionRange, 0, 0, false};
      break;
    case 19:
      state.writeDevice(Area::Base, 0, got);
      v = {Outcome::Write, op::kWriteBaseRange, 0, 0, false};
      break;
    default:
      // A memory reply to a write frame answers nothing that was asked:
      // the step is written again.
      v = {Outcome::Write, op, k, 0, false};
      break;
  }
  return v;
}

}  // namespace vrx4::transfer_ops
