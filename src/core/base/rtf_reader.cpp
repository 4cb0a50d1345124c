#include "core/base/rtf_reader.h"

#include <cctype>
#include <cstdint>

#include "core/base/text_encoding.h"

namespace vrx4 {
namespace {

constexpr int kMaxDepth = 100;

struct Style {
  bool bold = false, italic = false, underline = false;
  int halfPoints = 24;
  bool skip = false;   // a destination whose text is not shown
  int fallback = 1;    // \ucN: characters that stand in for a \uN
};

class Reader {
 public:
  explicit Reader(std::string_view t) : m_t(t) {}

  std::vector<RtfParagraph> run(std::string* error) {
    if (m_t.substr(0, 5) != "{\\rtf") {
      if (error) *error = "not a rich-text document";
      return {};
    }
    while (m_at < m_t.size()) {
      const char c = m_t[m_at];
      if (c == '{') {
        ++m_at;
        if (m_stack.size() >= kMaxDepth) {
          fail("groups nested too deeply");
          break;
        }
        m_stack.push_back(m_style);
        m_groupStart = true;
        continue;
      }
      if (c == '}') {
        ++m_at;
        if (m_stack.empty()) {
          fail("unbalanced braces");
          break;
        }
        m_style = m_stack.back();
        m_stack.pop_back();
        m_groupStart = false;
        continue;
      }
      if (c == '\\') {
        controlWord();
        m_groupStart = false;
        continue;
      }
      ++m_at;
      m_groupStart = false;
      if (c == '\r' || c == '\n') continue;
      if (m_pendingFallback > 0) {
        --m_pendingFallback;
        continue;
      }
      text(std::string(1, c));
    }
    if (!m_stack.empty() && m_error.empty()) fail("document cut short");
    if (!m_current.runs.empty()) m_paragraphs.push_back(std::move(m_current));
    if (error) *error = m_error;
    return std::move(m_paragraphs);
  }

 private:
  void fail(const char* why) {
    if (m_error.empty()) m_error = why;
  }

  void text(const std::string& utf8) {
    if (m_style.skip) return;
    RtfRun run;
    run.bold = m_style.bold;
    run.italic = m_style.italic;
    run.underline = m_style.underline;
    run.halfPoints = m_style.halfPoints;
    if (!m_current.runs.empty() && m_current.runs.back().sameStyle(run)) {
      m_current.runs.back().text += utf8;
    } else {
      run.text = utf8;
      m_current.runs.push_back(std::move(run));
    }
  }

  void endParagraph() {
    if (m_style.skip) return;
    m_paragraphs.push_back(std::move(m_current));
    m_current = {};
  }

  void controlWord() {
    ++m_at;  // the backslash
    if (m_at >= m_t.size()) {
      fail("document cut short");
      return;
    }
    const char c = m_t[m_at];
    if (!std::isalpha(static_cast<unsigned char>(c))) {
      ++m_at;
      switch (c) {
        case '\\': case '{': case '}': text(std::string(1, c)); break;
        case '~': text("\xC2\xA0"); break;
        case '*': if (m_groupStart) m_style.skip = true; break;
        case '\'': hexCharacter(); break;
        case '\n': case '\r': endParagraph(); break;
        default: break;  // \- and the other symbols
      }
      return;
    }
    const std::size_t start = m_at;
    while (m_at < m_t.size() && std::isalpha(static_cast<unsigned char>(m_t[m_at])) && m_at - start < 32) ++m_at;
    const std::string_view word = m_t.substr(start, m_at - start);
    bool hasNumber = false;
    bool negative = false;
    long number = 0;
    if (m_at < m_t.size() && m_t[m_at] == '-') {
      negative = true;
      ++m_at;
    }
    std::size_t digits = 0;
    while (m_at < m_t.size() && std::isdigit(static_cast<unsigned char>(m_t[m_at]))) {
      if (digits++ < 9) number = number * 10 + (m_t[m_at] - '0');
      hasNumber = true;
      ++m_at;
    }
    if (negative) number = -number;
    if (m_at < m_t.size() && m_t[m_at] == ' ') ++m_at;  // the delimiter belongs to the word
    apply(word, hasNumber, number);
  }

  void hexCharacter() {
    auto hex = [](char h) -> int {
      if (h >= '0' && h <= '9') return h - '0';
      if (h >= 'a' && h <= 'f') return h - 'a' + 10;
      if (h >= 'A' && h <= 'F') return h - 'A' + 10;
      return -1;
    };
    if (m_at + 1 >= m_t.size() || hex(m_t[m_at]) < 0 || hex(m_t[m_at + 1]) < 0) {
      fail("bad \\' character");
      m_at = std::min(m_at + 2, m_t.size());
      return;
    }
    const char byte = static_cast<char>(hex(m_t[m_at]) * 16 + hex(m_t[m_at + 1]));
    m_at += 2;
    if (m_pendingFallback > 0) {
      --m_pendingFallback;
      return;
    }
    text(windows1252ToUtf8(std::string_view(&byte, 1)));
  }

  void apply(std::string_view w, bool hasNumber, long n) {
    const bool on = !hasNumber || n != 0;
    if (w == "par") endParagraph();
    else if (w == "line") text("\n");
    else if (w == "tab") text("\t");
    else if (w == "b") m_style.bold = on;
    else if (w == "i") m_style.italic = on;
    else if (w == "ul") m_style.underline = on;
    else if (w == "ulnone") m_style.underline = false;
    else if (w == "fs") m_style.halfPoints = hasNumber && n > 0 && n < 1000 ? static_cast<int>(n) : 24;
    else if (w == "plain") {
      m_style.bold = m_style.italic = m_style.underline = false;
      m_style.halfPoints = 24;
    } else if (w == "uc") m_style.fallback = hasNumber && n >= 0 && n < 10 ? static_cast<int>(n) : 1;
    else if (w == "u" && hasNumber) {
      long cp = n < 0 ? n + 65536 : n;
      if (cp < 0 || cp > 0xFFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
      std::string utf8;
      appendUtf8(utf8, static_cast<std::uint32_t>(cp));
      text(utf8);
      m_pendingFallback = m_style.fallback;
    } else if (m_groupStart && (w == "fonttbl" || w == "colortbl" || w == "stylesheet" || w == "info" ||
                                w == "pict" || w == "header" || w == "footer")) {
      m_style.skip = true;
    }
  }

  std::string_view m_t;
  std::size_t m_at = 0;
  Style m_style;
  std::vector<Style> m_stack;
  bool m_groupStart = false;
  int m_pendingFallback = 0;
  RtfParagraph m_current;
  std::vector<RtfParagraph> m_paragraphs;
  std::string m_error;
};

}  // namespace

std::vector<RtfParagraph> parseRtf(std::string_view text, std::string* error) {
  return Reader(text).run(error);
}

}  // namespace vrx4
