// The commissioning report on paper: the contents the core computed
// (report_contents.h), laid out on A4 pages of a PDF file or a printer.
// Qt GUI only (QPainter, QPdfWriter), no widgets, so that the window and
// the helper program vrx4-report-pdf, which runs without a display, draw
// the same pages.
#pragma once

#include <QString>

#include "core/pages/report_contents.h"

class QPagedPaintDevice;

namespace vrx4 {

// Draws the report on `device` (a QPdfWriter, or a QPrinter set up by the
// print dialog), one page after another, within the device's page layout.
// The number of pages drawn; 0 when the device cannot be painted on.
int paintReport(const report::Contents& contents, QPagedPaintDevice& device);

// The report as a PDF file at `path` (A4 portrait). Written to a temporary
// file that replaces `path` only once it is complete, so a failed write
// leaves an earlier file as it was. False with the reason in `error`.
bool writeReportPdf(const report::Contents& contents, const QString& path, QString* error = nullptr);

}  // namespace vrx4
