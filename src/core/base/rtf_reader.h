// A small reader for the subset of Rich Text Format the terms documents
// use: paragraphs, bold, italic, underline, font size, "\'hh" (Windows-1252)
// and "\uN" characters. Other control words are ignored and the usual
// header groups (font and colour tables, information) are skipped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vrx4 {

struct RtfRun {
  std::string text;  // UTF-8
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int halfPoints = 24;
  bool sameStyle(const RtfRun& o) const {
    return bold == o.bold && italic == o.italic && underline == o.underline && halfPoints == o.halfPoints;
  }
};

struct RtfParagraph {
  std::vector<RtfRun> runs;
};

// Never reads past the text; a document that is not rich text, or is cut
// short, gives what could be read and a reason in *error.
std::vector<RtfParagraph> parseRtf(std::string_view text, std::string* error = nullptr);

}  // namespace vrx4
