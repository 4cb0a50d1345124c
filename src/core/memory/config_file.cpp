// The configuration text file codec: writers that build the text in memory,
// and a parser that never writes outside its buffers. Files are read and
// saved through the safe whole-file helpers.
#include "core/memory/config_file.h"

#include <algorithm>
#include <climits>

#include "core/base/hex_text.h"
#include "core/base/text_file.h"

namespace vrx4::config_file {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::size_t kBytesPerLine = 16;
constexpr std::size_t kHeaderChars = 5;  // area digit + four address digits
constexpr std::uint32_t kBaseHeader = 0x10000;

// ---- writers ----

// One block: a five-character header before every 16th byte, a line break
// after every 16th byte, and one more line break after the block (it ends
// a short last line, or leaves an empty line after a full one).
void appendBlock(std::string& out, const Image& image, std::size_t count, std::uint32_t headerOffset) {
  for (std::size_t i = 0; i < count; ++i) {
    if (i % kBytesPerLine == 0) hex_text::append(out, static_cast<std::uint32_t>(i) + headerOffset, 5);
    hex_text::append(out, image[i], 2);
    if (i % kBytesPerLine == kBytesPerLine - 1) out += kLineEnd;
  }
  out += kLineEnd;
}

// ---- reader ----

bool isValidLine(std::string_view line) {
  if (line.size() < kHeaderChars) return false;
  return std::all_of(line.begin(), line.end(), [](char c) { return hex_text::digitValue(c) >= 0; });
}

std::uint8_t byteAt(std::string_view digits, std::size_t pos) {
  return static_cast<std::uint8_t>((hex_text::digitValue(digits[pos]) << 4) | hex_text::digitValue(digits[pos + 1]));
}

// Stores the data pairs of a valid line at start, start+1, ... and cut at
// the end of `target`, marking each address in `supplied`. Returns the
// number of bytes stored.
std::size_t storeLine(std::string_view line, std::span<std::uint8_t> target, std::bitset<kImageSize>& supplied) {
  std::size_t start = 0;
  for (std::size_t k = 1; k < kHeaderChars; ++k) start = (start << 4) | static_cast<std::size_t>(hex_text::digitValue(line[k]));
  if (start >= target.size()) return 0;
  const std::string_view data = line.substr(kHeaderChars);
  const std::size_t count = std::min(data.size() / 2, target.size() - start);  // a lone last digit is ignored
  for (std::size_t j = 0; j < count; ++j) {
    target[start + j] = byteAt(data, 2 * j);
    if (start + j < supplied.size()) supplied.set(start + j);
  }
  return count;
}

// The number of the first line of `rest` with more than blanks in it,
// counting on from `lineNumber`; 0 when there is none.
int firstFilledLine(std::string_view rest, int lineNumber) {
  while (!rest.empty()) {
    const std::size_t newline = rest.find('\n');
    const std::string_view line = rest.substr(0, newline);
    rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
    if (lineNumber < INT_MAX) ++lineNumber;
    if (line.find_first_not_of(" \t\r") != std::string_view::npos) return lineNumber;
  }
  return 0;
}

ReadOutcome couldNotOpen(std::string detail) {
  ReadOutcome r;
  r.status = ReadStatus::CouldNotOpen;
  r.detail = std::move(detail);
  return r;
}

}  // namespace

std::string optionBlock(const Image& optionDevice) {
  std::string out;
  appendBlock(out, optionDevice, kOptionImageBytes, 0);
  return out;
}

std::string baseBlock(const Image& baseDevice) {
  std::string out;
  appendBlock(out, baseDevice, kBaseImageBytes, kBaseHeader);
  return out;
}

std::string wholeConfiguration(const Image& optionDevice, const Image& baseDevice) {
  return optionBlock(optionDevice) + baseBlock(baseDevice);
}

SaveStatus saveText(const std::string& path, std::string_view text, std::string* detail) {
  return text_file::save(path, text, detail) ? SaveStatus::Saved : SaveStatus::CouldNotOpen;
}

ReadOutcome parse(std::string_view text, ReadTargets targets) {
  ReadOutcome outcome;
  if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    if (lineNumber < INT_MAX) ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) {  // an empty line ends the data
      outcome.lineAfterEnd = firstFilledLine(text, lineNumber);
      break;
    }
    if (!isValidLine(line)) {
      outcome.status = ReadStatus::InvalidLine;
      outcome.invalidLine = lineNumber;
      return outcome;
    }
    const bool option = line[0] == '0';
    const std::span<std::uint8_t> target = option ? targets.option : targets.base;
    if (target.empty()) continue;  // an area this reader does not collect
    if (storeLine(line, target, option ? outcome.optionSupplied : outcome.baseSupplied) > 0)
      outcome.anyAreaLine = true;
  }
  return outcome;
}

ReadOutcome readFile(const std::string& path, ReadTargets targets) {
  std::string text, detail;
  if (!text_file::load(path, text, detail, kMaxFileBytes)) return couldNotOpen(std::move(detail));
  return parse(text, targets);
}

ReadOutcome readForOpen(const std::string& path, DeviceState& state) {
  std::string text, detail;
  if (!text_file::load(path, text, detail, kMaxFileBytes)) return couldNotOpen(std::move(detail));
  return openText(text, path, state);
}

ReadOutcome openText(std::string_view text, const std::string& path, DeviceState& state) {
  // The text is parsed whole before anything changes: a text that was read
  // only in part leaves the images, file mode and its path as they were.
  Image option{};
  Image base{};
  ReadOutcome outcome = parse(text, {option, base});
  if (outcome.status == ReadStatus::Read && outcome.lineAfterEnd != 0) {
    outcome.status = ReadStatus::InvalidLine;
    outcome.invalidLine = outcome.lineAfterEnd;
  }
  if (outcome.status != ReadStatus::Read) return outcome;
  state.openFileMode(path);
  state.withImages([&](Images& images) {
    images.g_optionDevice = option;
    images.g_baseDevice = base;
  });
  return outcome;
}

ReadOutcome readForExport(const std::string& path, const DeviceState& state, ExportBuffers& out) {
  std::string text, detail;
  if (!text_file::load(path, text, detail, kMaxFileBytes)) return couldNotOpen(std::move(detail));
  state.withImages([&](const Images& images) {
    out.option = images.g_optionDevice;
    out.base = images.g_baseDevice;
  });
  return parse(text, {out.option, out.base});
}

ReadOutcome readForMap(const std::string& path, Area area, MapBuffer& out) {
  std::string text, detail;
  if (!text_file::load(path, text, detail, kMaxFileBytes)) return couldNotOpen(std::move(detail));
  out.fill(0);
  ReadTargets targets;
  (area == Area::Option ? targets.option : targets.base) = out;
  return parse(text, targets);
}

}  // namespace vrx4::config_file
