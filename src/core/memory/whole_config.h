// Rules that act on the whole configuration: what Export to VRX takes from
// a file, what Restore takes from the device's backup areas, and the
// identity of the connected regulator as the information page prints it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/link/device_state.h"
#include "core/memory/config_file.h"

namespace vrx4::whole_config {

// Fills the edit images from a file read for export. Outside access mode 4
// only BASE 0x00..0x0F (setpoint byte and command scaling), BASE 0x2B..0x2E
// (PID gains) and OPTION 0x00..0x2F come from the file; every other byte of
// the written ranges is taken back from the device images, so a file never
// changes the calibration, the software numbers, the serial number or the
// device's own backup copies.
void applyExport(DeviceState& state, const config_file::ExportBuffers& file, std::uint32_t accessMode);
void applyExport(Images& images, const config_file::ExportBuffers& file, std::uint32_t accessMode);

// The ranges that Export to VRX takes from a file in `accessMode` and that
// the file read into `outcome` did not supply, e.g. "OPTION 0x30..0x72";
// the regulator keeps its own values there.
std::vector<std::string> unsuppliedRanges(const config_file::ReadOutcome& outcome, std::uint32_t accessMode);

// Fills the edit images from the device's backup areas: OPTION 0x00..0x2F
// from 0x30..0x5F, BASE 0x00..0x0F from 0x10..0x1F, every other byte of
// the written ranges as the device holds it.
void applyRestore(DeviceState& state);
void applyRestore(Images& images);

// After applyExport / applyRestore in file mode: the edit images become
// the device images (OPTION 0x00..0x72, BASE 0x00..0x6F).
void commitEditsInFileMode(DeviceState& state);

// How a whole-area write (op 4, 5 or 6) was taken.
enum class EditWrite { Applied, Requested, Busy };
// Fills the edit images with `fill` and writes them with `op`: in file
// mode at once into the device images, else as a transfer request. While
// a transfer is requested nothing changes and the answer is Busy: the
// running transfer may be writing from the edit images.
EditWrite writeEdits(DeviceState& state, std::uint32_t op, const std::function<void(Images&)>& fill);

struct Identity {
  std::string serialNumber;  // "01 23 45"
  std::string baseType;      // SOFT, three bytes
  std::string baseVersion;   // REV_SOFT, one byte
  std::string optionType;    // NUMERO_SOFT
  std::string optionVersion; // REVISION_SOFT
};
Identity identity(const Images& images);

}  // namespace vrx4::whole_config
