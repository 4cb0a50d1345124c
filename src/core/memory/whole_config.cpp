#include "core/memory/whole_config.h"

#include <algorithm>
#include <bitset>
#include <span>

#include "core/base/hex_text.h"
#include "core/memory/eeprom_map.h"

namespace vrx4::whole_config {
namespace {

void copyRange(const Image& from, Image& to, std::size_t first, std::size_t last) {
  std::copy(from.begin() + static_cast<std::ptrdiff_t>(first),
            from.begin() + static_cast<std::ptrdiff_t>(last + 1),
            to.begin() + static_cast<std::ptrdiff_t>(first));
}

// The full write sends more bytes than the file ranges cover (OPTION up to
// 0x77, BASE up to 0x73); the edit images start as the device holds them so
// that those bytes are written back unchanged instead of as stale edits.
void startFromDevice(Images& im) {
  im.g_optionEdit = im.g_optionDevice;
  im.g_baseEdit = im.g_baseDevice;
}

std::string hexBytes(const Image& im, std::size_t at, std::size_t n) {
  return hex_text::bytes(std::span(im).subspan(at, n));
}

struct Range {
  Area area;
  std::size_t first, last;
};

// Appends "AREA 0xAA..0xBB" for each run of addresses in [first, last]
// that `supplied` lacks.
void appendGaps(std::vector<std::string>& out, const Range& r, const std::bitset<kImageSize>& supplied) {
  const char* name = r.area == Area::Option ? "OPTION 0x" : "BASE 0x";
  for (std::size_t a = r.first; a <= r.last; ++a) {
    if (supplied.test(a)) continue;
    std::size_t end = a;
    while (end < r.last && !supplied.test(end + 1)) ++end;
    std::string text = name + hex_text::byte(static_cast<std::uint8_t>(a));
    if (end != a) text += "..0x" + hex_text::byte(static_cast<std::uint8_t>(end));
    out.push_back(std::move(text));
    a = end;
  }
}

}  // namespace

std::vector<std::string> unsuppliedRanges(const config_file::ReadOutcome& outcome, std::uint32_t accessMode) {
  // What Export takes from the file: everything of both written ranges in
  // access mode 4, else the setpoint byte, the command scaling, the PID
  // gains and OPTION 0x00..0x2F.
  static constexpr Range kAll[] = {{Area::Option, 0x00, 0x72}, {Area::Base, 0x00, 0x6F}};
  static constexpr Range kSettings[] = {
      {Area::Option, 0x00, 0x2F}, {Area::Base, 0x00, 0x0F}, {Area::Base, 0x2B, 0x2E}};
  std::vector<std::string> out;
  const std::span<const Range> ranges = accessMode == 4 ? std::span<const Range>(kAll) : std::span<const Range>(kSettings);
  for (const Range& r : ranges)
    appendGaps(out, r, r.area == Area::Option ? outcome.optionSupplied : outcome.baseSupplied);
  return out;
}

void applyExport(Images& im, const config_file::ExportBuffers& file, std::uint32_t accessMode) {
  startFromDevice(im);
  copyRange(file.option, im.g_optionEdit, 0x00, 0x72);
  copyRange(file.base, im.g_baseEdit, 0x00, 0x6F);
  if (accessMode != 4) {
    copyRange(im.g_optionDevice, im.g_optionEdit, 0x30, 0x72);
    copyRange(im.g_baseDevice, im.g_baseEdit, 0x10, 0x2A);
    copyRange(im.g_baseDevice, im.g_baseEdit, 0x2F, 0x6F);
  }
}

void applyExport(DeviceState& state, const config_file::ExportBuffers& file, std::uint32_t accessMode) {
  state.withImages([&](Images& im) { applyExport(im, file, accessMode); });
}

void applyRestore(Images& im) {
  im.g_optionEdit = eeprom_map::restored(Area::Option, im.g_optionDevice);
  im.g_baseEdit = eeprom_map::restored(Area::Base, im.g_baseDevice);
}

void applyRestore(DeviceState& state) {
  state.withImages([](Images& im) { applyRestore(im); });
}

EditWrite writeEdits(DeviceState& state, std::uint32_t op, const std::function<void(Images&)>& fill) {
  // Only the GUI thread (or the command line's one thread) publishes, so
  // no request can appear between this check and the publication below.
  if (state.requestPending()) return EditWrite::Busy;
  state.withImages(fill);
  TransferRequest r;
  r.op = op;
  if (state.g_fileMode.load() == 1) {
    state.applyInFileMode(r);
    return EditWrite::Applied;
  }
  return state.publishRequest(r) == DeviceState::Publish::Accepted ? EditWrite::Requested : EditWrite::Busy;
}

void commitEditsInFileMode(DeviceState& state) {
  state.withImages([](Images& im) {
    copyRange(im.g_optionEdit, im.g_optionDevice, 0x00, 0x72);
    copyRange(im.g_baseEdit, im.g_baseDevice, 0x00, 0x6F);
  });
}

Identity identity(const Images& im) {
  return {hexBytes(im.g_baseDevice, 0x25, 3), hexBytes(im.g_baseDevice, 0x20, 3),
          hexBytes(im.g_baseDevice, 0x23, 1), hexBytes(im.g_optionDevice, 0x60, 3),
          hexBytes(im.g_optionDevice, 0x63, 1)};
}

}  // namespace vrx4::whole_config
