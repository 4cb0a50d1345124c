// The question before a commissioning report: a free line for the
// technician and the machine, an optional golden configuration file to
// compare with, and whether the report goes to a PDF file or a printer.
#pragma once

#include <QDialog>
#include <QString>
#include <optional>

#include "core/pages/report_contents.h"

class QLineEdit;

namespace vrx4 {

struct ReportRequest {
  QString note;
  QString golden;  // empty: no comparison
  bool print = false;  // the print dialog instead of a PDF file
};

class CReportDialog : public QDialog {
 public:
  CReportDialog(QWidget* parent, const report::Labels& labels);
  ReportRequest request() const;

  // Object names of the fields and buttons, for tests.
  static constexpr const char* kNote = "report-note";
  static constexpr const char* kGolden = "report-golden";
  static constexpr const char* kPdf = "report-pdf";
  static constexpr const char* kPrint = "report-print";

 private:
  QLineEdit* m_note;
  QLineEdit* m_golden;
  bool m_print = false;
};

// Shows the dialog; nothing when it was cancelled.
std::optional<ReportRequest> askReport(QWidget* parent, const report::Labels& labels);

}  // namespace vrx4
