#include "core/memory/eeprom_map.h"

#include <algorithm>
#include <vector>

#include "core/base/hex_text.h"
#include "core/base/line_ends.h"

namespace vrx4::eeprom_map {
namespace {

constexpr std::size_t kDumpLine = 50;     // 16 × "XX " + CR LF
constexpr std::size_t kBytesPerLine = 16;

// The lines of a text split at LF, a CR before each LF dropped.
std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (;;) {
    const std::size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    if (nl != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (nl == std::string_view::npos) return lines;
    text.remove_prefix(nl + 1);
  }
}

// The value of a field-list line: its name first, then spaces, then
// exactly the field's digits at the end; nothing when the line is not so.
std::optional<std::uint32_t> lineValue(std::string_view line, const ParamField& f) {
  const std::size_t digits = 2u * f.width;
  if (!line.starts_with(f.name) || line.size() < f.name.size() + digits) return std::nullopt;
  const std::string_view pad = line.substr(f.name.size(), line.size() - f.name.size() - digits);
  if (pad.find_first_not_of(' ') != std::string_view::npos) return std::nullopt;
  std::uint32_t v = 0;
  for (char c : line.substr(line.size() - digits)) {
    const int h = hex_text::digitValue(c);
    if (h < 0) return std::nullopt;
    v = (v << 4) | static_cast<std::uint32_t>(h);
  }
  return v;
}

Parsed fault(std::size_t line, std::size_t column) {
  Parsed p;
  p.line = line;
  p.column = column;
  return p;
}

}  // namespace

std::string fieldValue(const ParamField& f, const Image& image) {
  std::string out;
  for (std::size_t i = 0; i < f.width; ++i) hex_text::append(out, image[f.offset + i], 2);
  return out;
}

std::string fieldLine(const ParamField& f, const Image& image) {
  std::string line(f.name);
  line.resize(kFieldLineWidth - 2u * f.width, ' ');
  return line + fieldValue(f, image);
}

std::string fieldList(Area area, const Image& image) {
  std::string out;
  for (const ParamField& f : fields(area)) {
    out += fieldLine(f, image);
    out += "\r\n";
  }
  return out;
}

std::size_t listLineCount(Area area) { return fields(area).size() + 1; }

std::size_t editLineCount(std::string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}

Parsed parseFieldList(Area area, std::string_view text, const Image& shown) {
  const auto list = fields(area);
  const std::vector<std::string_view> lines = splitLines(text);
  if (lines.size() != listLineCount(area)) return fault(0, 0);
  Image edit = shown;
  for (std::size_t k = 0; k < list.size(); ++k) {
    const auto value = lineValue(lines[k], list[k]);
    if (!value) return fault(k + 1, 0);
    writeField(edit, list[k], static_cast<std::int32_t>(*value));
  }
  // The line after the last line break is empty in the list as shown.
  if (!lines.back().empty()) return fault(lines.size(), 0);
  Parsed p;
  p.edit = edit;
  return p;
}

std::size_t dumpBytes(Area area) { return area == Area::Base ? kBaseImageBytes : kOptionImageBytes; }

std::string dumpText(Area area, const Image& image) {
  std::string out;
  const std::size_t n = dumpBytes(area);
  for (std::size_t i = 0; i < n; ++i) {
    hex_text::append(out, image[i], 2);
    out.push_back(' ');
    if (i % kBytesPerLine == kBytesPerLine - 1) out += "\r\n";
  }
  return out;
}

Parsed parseDump(Area area, std::string_view text, const Image& shown) {
  std::vector<std::size_t> from;
  const std::string t = toCrLf(text, &from);
  // Where a character of the normalised text lies in the text as given.
  auto at = [&](std::size_t i) {
    const std::size_t original = i < from.size() ? from[i] : text.size();
    const std::string_view before = text.substr(0, original);
    const std::size_t lineStart = before.rfind('\n');
    const std::size_t line = static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')) + 1;
    return fault(line, lineStart == std::string_view::npos ? original : original - lineStart - 1);
  };
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const std::size_t p = i % kDumpLine;
    const char c = t[i];
    bool good;
    if (p == kDumpLine - 3) good = c == ' ';
    else if (p == kDumpLine - 2) good = c == '\r';
    else if (p == kDumpLine - 1) good = c == '\n';
    else if (p % 3 == 2) good = c == ' ';
    else good = hex_text::digitValue(c) >= 0;
    if (!good) return at(i);
    if (p < kDumpLine - 3 && p % 3 == 1)
      bytes.push_back(static_cast<std::uint8_t>(hex_text::digitValue(t[i - 1]) << 4 | hex_text::digitValue(c)));
  }
  // A lone digit at the end, or fewer or more bytes than the area has.
  if (!t.empty() && t.size() % kDumpLine < kDumpLine - 3 && t.size() % kDumpLine % 3 == 1) return at(t.size() - 1);
  if (bytes.size() != dumpBytes(area)) return at(t.size());
  Parsed p;
  p.edit = shown;
  std::copy(bytes.begin(), bytes.end(), p.edit->begin());
  return p;
}

Merge mergeEdit(Area area, const Images& shown, const Image& typed, const Images& now) {
  constexpr std::ptrdiff_t kSerial = 0x25, kSerialBytes = 3;
  const auto serial = [](const Images& im) { return im.g_baseDevice.begin() + kSerial; };
  const bool sameSource = std::equal(serial(shown), serial(shown) + kSerialBytes, serial(now));
  const Image& before = shown.device(area);
  const auto list = fields(area);
  Merge m;
  m.edit = now.device(area);
  for (std::size_t at = 0; at < dumpBytes(area);) {
    const auto field = std::find_if(list.begin(), list.end(), [at](const ParamField& f) { return f.offset == at; });
    const std::size_t width = field != list.end() ? field->width : 1;
    const auto from = static_cast<std::ptrdiff_t>(at), to = static_cast<std::ptrdiff_t>(at + width);
    const auto same = [&](const Image& a, const Image& b) {
      return std::equal(a.begin() + from, a.begin() + to, b.begin() + from);
    };
    if (!same(typed, before)) {
      if (sameSource && (same(m.edit, before) || same(m.edit, typed)))
        std::copy(typed.begin() + from, typed.begin() + to, m.edit.begin() + from);
      else
        m.conflicts.emplace_back(field != list.end() ? std::string(field->name)
                                                     : "0x" + hex_text::byte(static_cast<std::uint8_t>(at)));
    }
    at += width;
  }
  return m;
}

std::string conflictList(const Merge& merge) {
  std::string out;
  for (const std::string& c : merge.conflicts) out += (out.empty() ? "" : ", ") + c;
  return out;
}

std::uint32_t writeOp(Area area) { return area == Area::Base ? op::kWriteBase : op::kWriteOption; }

Image restored(Area area, const Image& device) {
  Image edit = device;
  if (area == Area::Base) std::copy_n(device.begin() + 0x10, 0x10, edit.begin());
  else std::copy_n(device.begin() + 0x30, 0x30, edit.begin());
  return edit;
}

std::optional<Image> exported(Area area, const Image& device, const config_file::MapBuffer& file,
                              const config_file::ReadOutcome& outcome, std::uint32_t accessMode) {
  if (outcome.status != config_file::ReadStatus::Read || !outcome.anyAreaLine) return std::nullopt;
  const auto& supplied = area == Area::Base ? outcome.baseSupplied : outcome.optionSupplied;
  Image edit = device;
  for (std::size_t i = 0; i < dumpBytes(area); ++i)
    if (supplied.test(i)) edit[i] = file[i];
  if (accessMode != 4) {
    // The device's backup copy of its settings is written from a file in
    // access mode 4 only.
    const std::size_t first = area == Area::Base ? 0x10 : 0x30;
    const std::size_t count = area == Area::Base ? 0x10 : 0x30;
    std::copy_n(device.begin() + static_cast<std::ptrdiff_t>(first), count,
                edit.begin() + static_cast<std::ptrdiff_t>(first));
  }
  return edit;
}

}  // namespace vrx4::eeprom_map
