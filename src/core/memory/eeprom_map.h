// The texts of the two EEPROM map pages and what an edit of them writes:
// the Calibration page's field lists (one 24-character line per dictionary
// field) and the After-Sales page's hexadecimal dumps. Each parse returns
// the image the text stands for: the image the text was made from with
// the text's values in place. mergeEdit then puts what the user changed
// in it over the device image as it is at the write, and that is the
// edit image written with op 5 (BASE) or op 6 (OPTION).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/device_state.h"
#include "core/link/param_dictionary.h"
#include "core/memory/config_file.h"

namespace vrx4::eeprom_map {

// ---- field lists (Calibration) --------------------------------------------

constexpr std::size_t kFieldLineWidth = 24;

// "KPHG                  7F": the name, padded with spaces, and the value
// right-aligned in 2, 4 or 6 upper-case hexadecimal digits.
std::string fieldLine(const ParamField& field, const Image& image);
// The value alone: "7F", "0400", "01A20F".
std::string fieldValue(const ParamField& field, const Image& image);
// Every field of the area in dictionary order, each line ended by CR LF.
std::string fieldList(Area area, const Image& image);
// Lines as a multi-line edit counts them: the line breaks plus one (the
// fields and the empty line after the last CR LF): 42 BASE, 28 OPTION.
std::size_t listLineCount(Area area);
std::size_t editLineCount(std::string_view text);

// The outcome of parsing an edited text: the edit image to write, or
// where the text is at fault (nothing is to be written then).
struct Parsed {
  std::optional<Image> edit;
  // Where the text is at fault: the 1-based line (0 when a field list has
  // the wrong number of lines) and the 0-based column in it.
  std::size_t line = 0;
  std::size_t column = 0;
  bool ok() const { return edit.has_value(); }
};

// A field list with exactly listLineCount(area) lines (CR LF or LF line
// ends), line k holding field k: its name, spaces, and its value in its
// own number of hexadecimal digits. A line that does not name its field
// or whose value is not hexadecimal is refused, so a deleted, swapped or
// mistyped line never shifts values into other fields.
Parsed parseFieldList(Area area, std::string_view text, const Image& shown);

// ---- dumps (After-Sales) --------------------------------------------------

// Bytes the dump of an area shows: BASE 0x00..0x6F, OPTION 0x00..0x72.
std::size_t dumpBytes(Area area);
// Each byte as "%02X ", CR LF after every 16th: lines of 50 characters.
std::string dumpText(Area area, const Image& image);

// Checks the dump character by character (CR LF line ends; LF alone is
// read as CR LF): within each 50-character line positions 47..49 are
// space, CR, LF, the other positions p with p mod 3 = 2 are spaces and the
// rest are 0..9 or A..F. The dump must hold every byte of the area, so a
// deleted or repeated line is refused rather than moving the bytes after
// it to other addresses.
Parsed parseDump(Area area, std::string_view text, const Image& shown);

// ---- an edit over the device image as it is now -------------------------

// A map page's text can be older than the device image: a dump being
// edited is kept across refreshes, and another page may have written the
// area meanwhile. Only what the user changed goes over the device image.
// The unit of a change is a dictionary field (a byte outside every field
// is a unit of its own), so a value is never made of bytes of two writes.
struct Merge {
  Image edit{};  // the device image now, with every unit the user changed
  // Units the user changed that the device image changed too, to another
  // value, since the text was shown: field names, "0x1C" for other bytes.
  // When there are any, nothing is to be written.
  std::vector<std::string> conflicts;
  bool ok() const { return conflicts.empty(); }
};
// `shown`: the device images the text was made from; `typed`: the parse
// of the text (on top of shown's image of the area); `now`: the device
// images at the write. An edit made on the images of another regulator or
// file (BASE serial number SN differs) is never written elsewhere: every
// unit the user changed is then a conflict.
Merge mergeEdit(Area area, const Images& shown, const Image& typed, const Images& now);
// The conflicts as the message lists them: "KPHG, 0x1C".
std::string conflictList(const Merge& merge);

// ---- writes ------------------------------------------------------------------

// The whole-area write of a map page: op 5 for BASE, op 6 for OPTION.
std::uint32_t writeOp(Area area);

// Restore of one area from the device's backup copy: BASE 0x00..0x0F
// from 0x10..0x1F, OPTION 0x00..0x2F from 0x30..0x5F, everything else as
// the device holds it.
Image restored(Area area, const Image& device);

// Exporter: the bytes a BASE or OPTION file supplied (BASE 0x00..0x6F,
// OPTION 0x00..0x72) over the device image. Outside access mode 4 the
// device's backup copy (BASE 0x10..0x1F, OPTION 0x30..0x5F) is taken back
// from the device. Bytes the file did not supply keep the device's value
// instead of becoming 0. Nothing when the file had an invalid line or no
// line of the area: such a file writes nothing.
std::optional<Image> exported(Area area, const Image& device, const config_file::MapBuffer& file,
                              const config_file::ReadOutcome& outcome, std::uint32_t accessMode);

}  // namespace vrx4::eeprom_map
