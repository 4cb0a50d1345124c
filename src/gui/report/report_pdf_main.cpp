// vrx4-report-pdf: draws a commissioning report, handed over as the text
// file of report_file.h, as a PDF. `vrx4ctl report` runs it; it needs no
// display (Qt's offscreen platform, whatever QT_QPA_PLATFORM says).
#include <QGuiApplication>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

#include "core/base/text_file.h"
#include "core/pages/report_file.h"
#include "gui/report/report_painter.h"

namespace {

constexpr const char* kUsage =
    "Usage: vrx4-report-pdf --in CONTENTS --out FILE.pdf\n"
    "Draws a VRX4 commissioning report as a PDF file for vrx4ctl report.\n\n"
    "vrx4ctl report computes what the report says and runs this program, installed next\n"
    "to it, with the contents in a text file. It draws A4 pages and needs no display.\n\n"
    "  --in CONTENTS   the report's contents (the format vrx4ctl writes), - for standard input\n"
    "  --out FILE      the PDF file; written whole or not at all\n"
    "  --help          this text\n\n"
    "Exit codes:\n"
    "  0  the PDF was written\n"
    "  1  usage error, or CONTENTS is not a report's contents\n"
    "  2  the PDF could not be written\n";

// Qt's remarks (no XDG_RUNTIME_DIR on a production PC's service account)
// would only be noise in a script's output; its errors still show.
void qtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "vrx4-report-pdf: %s\n", qPrintable(text));
}

bool readContents(const std::string& path, std::string& text) {
  if (path == "-") {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    return true;
  }
  std::string detail;
  if (vrx4::text_file::load(path, text, detail, vrx4::report::kMaxFileBytes)) return true;
  std::fprintf(stderr, "vrx4-report-pdf: cannot read %s: %s\n", path.c_str(), detail.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::string in, out;
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word == "--help" || word == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if ((word == "--in" || word == "--out") && i + 1 < argc) {
      (word == "--in" ? in : out) = argv[++i];
      continue;
    }
    std::fprintf(stderr, "vrx4-report-pdf: unexpected argument '%s'\n%s", argv[i], kUsage);
    return 1;
  }
  if (in.empty() || out.empty()) {
    std::fprintf(stderr, "vrx4-report-pdf: --in and --out are required\n%s", kUsage);
    return 1;
  }
  std::string text;
  if (!readContents(in, text)) return 1;
  std::string why;
  const auto contents = vrx4::report::decode(text, &why);
  if (!contents) {
    std::fprintf(stderr, "vrx4-report-pdf: %s is not a report's contents: %s\n", in.c_str(), why.c_str());
    return 1;
  }
  // The pages are drawn off screen: a production PC may have no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(qtMessages);
  QGuiApplication app(argc, argv);
  QString error;
  if (!vrx4::writeReportPdf(*contents, QString::fromLocal8Bit(out.c_str()), &error)) {
    std::fprintf(stderr, "vrx4-report-pdf: %s: %s\n", out.c_str(), qPrintable(error));
    return 2;
  }
  return 0;
}
