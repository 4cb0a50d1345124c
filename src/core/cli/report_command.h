// vrx4ctl report: the commissioning report of a regulator or a
// configuration file as a PDF, without a display. The contents are the
// core's (report_contents.h); the PDF is drawn by the helper program
// vrx4-report-pdf next to vrx4ctl, so that vrx4ctl itself links no Qt.
#pragma once

#include <string>

#include "core/cli/cli_args.h"

namespace vrx4::cli {

inline constexpr const char* kReportHelper = "vrx4-report-pdf";

// The helper's path: next to the running vrx4ctl. Empty when the running
// program's own path cannot be found.
std::string reportHelperPath();

int cmdReport(const Args& a);

}  // namespace vrx4::cli
