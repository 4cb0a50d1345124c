// A PDF as a test reads it: its text (pdftotext, blanks squeezed, one line
// per printed line) and its pages as PNG images to look at (pdftoppm), both
// from poppler-utils.
#pragma once

#include <cstdlib>
#include <string>

#include "test_files.h"

namespace vrx4::testing {

inline bool pdfToolsInstalled() {
  return std::system("command -v pdftotext >/dev/null 2>&1 && command -v pdftoppm >/dev/null 2>&1") == 0;
}

// The text of every page, laid out as printed, runs of blanks made one.
inline std::string pdfText(const std::string& pdf) {
  const std::string out = pdf + ".txt";
  if (std::system(("pdftotext -layout '" + pdf + "' '" + out + "'").c_str()) != 0) return {};
  std::string text, raw = readFile(out);
  for (char c : raw)
    if (c != ' ' || (!text.empty() && text.back() != ' ' && text.back() != '\n')) text += c == '\f' ? '\n' : c;
  return text;
}

// Renders the pages as PREFIX-1.png, PREFIX-2.png...; true when it worked.
inline bool pdfToPng(const std::string& pdf, const std::string& prefix) {
  return std::system(("pdftoppm -png -r 70 '" + pdf + "' '" + prefix + "'").c_str()) == 0;
}

}  // namespace vrx4::testing
