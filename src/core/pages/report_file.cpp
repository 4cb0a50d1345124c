#include "core/pages/report_file.h"

#include <charconv>
#include <vector>

namespace vrx4::report {
namespace {

constexpr std::string_view kFirstLine = "VRX4 report 1";

std::string escaped(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

class Writer {
 public:
  Writer& record(std::string_view kind) {
    m_text += kind;
    return *this;
  }
  Writer& field(std::string_view s) {
    m_text += '\t';
    m_text += escaped(s);
    return *this;
  }
  Writer& number(long long n) { return field(std::to_string(n)); }
  void end() { m_text += '\n'; }
  std::string take() { return std::move(m_text); }

 private:
  std::string m_text;
};

// One line split at its tabs, each field unescaped; nothing when a
// backslash starts no known escape.
std::optional<std::vector<std::string>> fieldsOf(std::string_view line) {
  std::vector<std::string> fields(1);
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\t') {
      fields.emplace_back();
    } else if (c == '\\') {
      if (++i == line.size()) return std::nullopt;
      switch (line[i]) {
        case '\\': fields.back() += '\\'; break;
        case 't': fields.back() += '\t'; break;
        case 'n': fields.back() += '\n'; break;
        case 'r': fields.back() += '\r'; break;
        default: return std::nullopt;
      }
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

bool toInt(const std::string& s, int& out) {
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc{} && end == s.data() + s.size();
}

bool toColour(const std::string& s, ColourWord& out) {
  if (s.size() != 8) return false;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out, 16);
  return ec == std::errc{} && end == s.data() + s.size();
}

std::string colourText(ColourWord c) {
  char text[9];
  const auto r = std::to_chars(text, text + sizeof text, c, 16);
  return std::string(8 - static_cast<std::size_t>(r.ptr - text), '0') + std::string(text, r.ptr);
}

constexpr std::size_t kDiagramFields = 1 + 4 + 5 + 4 + 4;

std::optional<Diagram> diagramOf(const std::vector<std::string>& f) {
  Diagram d;
  d.title = f[1];
  if (!toColour(f[2], d.colour)) return std::nullopt;
  d.xCaption = f[3];
  d.yCaption = f[4];
  for (std::size_t i = 0; i < 5; ++i) d.yNumbers[i] = f[5 + i];
  for (std::size_t i = 0; i < 4; ++i) d.xNumbers[i] = f[10 + i];
  if (!toInt(f[14], d.x1) || !toInt(f[15], d.y1) || !toInt(f[16], d.x2) || !toInt(f[17], d.y2))
    return std::nullopt;
  return d;
}

}  // namespace

std::string encode(const Contents& c) {
  Writer w;
  w.record(kFirstLine).end();
  w.record("title").field(c.title).end();
  w.record("footer").field(c.footer).end();
  for (const Row& r : c.header) w.record("header").field(r.label).field(r.value).end();
  if (!c.notice.empty()) w.record("notice").field(c.notice).end();
  for (const Section& s : c.sections) {
    w.record("section").field(s.title).end();
    for (const Row& r : s.rows) w.record("row").field(r.label).field(r.value).end();
    if (const auto& d = s.diagram) {
      w.record("diagram").field(d->title).field(colourText(d->colour)).field(d->xCaption).field(d->yCaption);
      for (const std::string& n : d->yNumbers) w.field(n);
      for (const std::string& n : d->xNumbers) w.field(n);
      w.number(d->x1).number(d->y1).number(d->x2).number(d->y2).end();
    }
  }
  if (const auto& d = c.differences) {
    w.record("differences").field(d->title).field(d->golden).field(d->none);
    for (const std::string& col : d->columns) w.field(col);
    w.end();
    for (const auto& row : d->rows) {
      w.record("difference");
      for (const std::string& cell : row) w.field(cell);
      w.end();
    }
  }
  w.record("end").end();
  return w.take();
}

std::optional<Contents> decode(std::string_view text, std::string* error) {
  auto fail = [error](std::size_t line, const std::string& why) -> std::optional<Contents> {
    if (error) *error = line ? "line " + std::to_string(line) + ": " + why : why;
    return std::nullopt;
  };
  if (text.size() > kMaxFileBytes) return fail(0, "more than " + std::to_string(kMaxFileBytes) + " bytes");
  Contents c;
  bool titled = false, ended = false;
  std::size_t number = 0;
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t eol = text.find('\n', from);
    std::string_view line = text.substr(from, eol == std::string_view::npos ? std::string_view::npos : eol - from);
    from = eol == std::string_view::npos ? text.size() : eol + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // a file saved with CR LF
    ++number;
    if (number == 1) {
      if (line != kFirstLine) return fail(1, "not a VRX4 report file");
      continue;
    }
    if (ended) return fail(number, "text after the end");
    const auto parsed = fieldsOf(line);
    if (!parsed) return fail(number, "a backslash that starts no \\\\, \\t, \\n or \\r");
    const std::vector<std::string>& f = *parsed;
    const std::string& kind = f[0];
    auto wants = [&](std::size_t n) { return f.size() == n + 1; };
    if (kind == "title" && wants(1) && !titled) {
      c.title = f[1];
      titled = true;
    } else if (kind == "footer" && wants(1)) {
      c.footer = f[1];
    } else if (kind == "header" && wants(2)) {
      c.header.push_back({f[1], f[2]});
    } else if (kind == "notice" && wants(1)) {
      c.notice = f[1];
    } else if (kind == "section" && wants(1)) {
      c.sections.push_back({f[1], {}, std::nullopt});
    } else if (kind == "row" && wants(2) && !c.sections.empty()) {
      c.sections.back().rows.push_back({f[1], f[2]});
    } else if (kind == "diagram" && wants(kDiagramFields - 1) && !c.sections.empty() &&
               !c.sections.back().diagram) {
      auto d = diagramOf(f);
      if (!d) return fail(number, "a diagram whose colour or line ends are not numbers");
      c.sections.back().diagram = std::move(*d);
    } else if (kind == "differences" && wants(8) && !c.differences) {
      c.differences = Differences{f[1], f[2], {f[4], f[5], f[6], f[7], f[8]}, {}, f[3]};
    } else if (kind == "difference" && wants(5) && c.differences) {
      c.differences->rows.push_back({f[1], f[2], f[3], f[4], f[5]});
    } else if (kind == "end" && wants(0)) {
      ended = true;
    } else {
      return fail(number, "'" + kind + "' with " + std::to_string(f.size() - 1) + " fields is no record here");
    }
  }
  if (number == 0) return fail(0, "empty");
  if (!titled) return fail(0, "no title");
  if (!ended) return fail(0, "cut short: no end line");
  return c;
}

}  // namespace vrx4::report
