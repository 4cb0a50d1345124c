// The configuration text file: hexadecimal lines of an area digit, a
// four-digit start address and data bytes, 16 bytes a line, CR LF line ends.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/link/device_state.h"

namespace vrx4::config_file {

// Message texts of the file commands.
inline constexpr std::string_view kMsgCouldNotOpen = "le fichier n'a pas été correctement ouvert";
inline constexpr std::string_view kMsgInvalidLine = "TRAME is not valid";

// ---- writers: the text, built in memory ----
std::string optionBlock(const Image& optionDevice);  // 115 bytes, 8 lines
std::string baseBlock(const Image& baseDevice);      // 112 bytes, 7 lines + empty line
std::string wholeConfiguration(const Image& optionDevice, const Image& baseDevice);

enum class SaveStatus { Saved, CouldNotOpen };
// Writes `text` to `path` through a temporary file in the same directory
// that is renamed over the target, so a failed save leaves the previous
// file as it was. `detail` gets the system's reason on failure.
SaveStatus saveText(const std::string& path, std::string_view text, std::string* detail = nullptr);

// ---- readers ----
enum class ReadStatus { Read, CouldNotOpen, InvalidLine };

struct ReadOutcome {
  ReadStatus status = ReadStatus::Read;
  int invalidLine = 0;          // 1-based line number of the invalid line
  bool anyAreaLine = false;     // a valid line of a collected area was seen
  // 1-based number of the first line after the empty line that ended the
  // data and that holds more than blanks (0: none). The readers leave such
  // lines out; Open refuses a file that has one, since a Save would drop it.
  int lineAfterEnd = 0;
  std::string detail;           // the system's reason when it could not open
  // The addresses of each collected area the file put a byte at.
  std::bitset<kImageSize> optionSupplied;
  std::bitset<kImageSize> baseSupplied;
};

// Where the lines of each area go; a null buffer means the area is skipped.
struct ReadTargets {
  std::span<std::uint8_t> option;
  std::span<std::uint8_t> base;
};

// Parses text line by line until an empty line or the end, storing bytes
// of the collected areas at start+j, cut at the end of each buffer. Stops
// at the first invalid line; bytes of earlier lines stay stored.
// A UTF-8 byte order mark at the start is skipped. anyAreaLine is set only
// by a line that stored at least one byte: a line with no data pairs, or
// one that lies wholly past the end of its buffer, puts nothing from the
// file into the buffer, so it does not count.
ReadOutcome parse(std::string_view text, ReadTargets targets);

// Files are read whole; a larger one (a real file is under 1 KiB) is
// refused as CouldNotOpen, and so is anything that is not a regular file
// (found out before the first read, so a FIFO never blocks the caller).
constexpr std::size_t kMaxFileBytes = std::size_t{16} << 20;

// Reads a file and parses it (CR LF and LF line ends both work).
ReadOutcome readFile(const std::string& path, ReadTargets targets);

// Tools page Open: only a file read whole becomes file mode's file. The
// file is parsed into zeroed images first; when every line was valid and
// nothing follows the empty line that ends the data, file mode starts on
// the path with those images. Otherwise nothing changes (the images, file
// mode and its path stay as they were), so a file that was read only in
// part never becomes the target of a Save. A line after the end is
// reported as InvalidLine with its number.
ReadOutcome readForOpen(const std::string& path, DeviceState& state);
// The same for a text already read: file mode on `path` with the text's
// bytes, only when the whole text is a configuration.
ReadOutcome openText(std::string_view text, const std::string& path, DeviceState& state);

// Tools page Export to VRX: both buffers preloaded with the device images.
struct ExportBuffers {
  Image option{};
  Image base{};
};
ReadOutcome readForExport(const std::string& path, const DeviceState& state, ExportBuffers& out);

// Map page Exporters: a 200-byte zeroed buffer, one area's lines only.
// For Export and Map the buffers are filled only once the file is read, so
// a file that cannot be opened leaves them as they were.
constexpr std::size_t kMapBufferSize = 200;
using MapBuffer = std::array<std::uint8_t, kMapBufferSize>;
ReadOutcome readForMap(const std::string& path, Area area, MapBuffer& out);

}  // namespace vrx4::config_file
