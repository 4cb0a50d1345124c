// The tools page's Report...: the commissioning report of the regulator
// (or, in file mode, of the open file) as a PDF file or on a printer. What
// it says comes from the core (report_contents.h), how it looks from the
// report's painter, which vrx4ctl's helper program draws with too.
//
// Owned by the main view, which hands the tools page its run(). The
// dialogs are members that tests replace.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "core/pages/report_contents.h"
#include "gui/app/report_dialog.h"

class QPrinter;
class QWidget;

namespace vrx4 {

class CVRX4App;

class CReportCommand : public QObject {
  Q_OBJECT

 public:
  CReportCommand(CVRX4App& app, QObject* parent);

  // Asks for the note and the golden file, then for the PDF file or the
  // printer, and makes the report. Refused, with a message, while the
  // regulator's images are not read whole; a golden file that cannot be
  // read, or a PDF that cannot be written, is said in a message too.
  void run(QWidget* parent);

  // The report's words in the program's current language.
  report::Labels labels() const;
  // What the report holds now.
  report::Contents contents(const report::Labels& labels, const QString& note,
                            std::optional<report::Golden> golden) const;

  // The dialogs: the note and golden file (nothing: cancelled), the PDF
  // file (empty: cancelled), the print dialog (false: cancelled).
  std::function<std::optional<ReportRequest>(QWidget*, const report::Labels&)> ask = askReport;
  std::function<QString(QWidget*, const QString& title, const QString& suggested)> choosePdf;
  std::function<bool(QWidget*, QPrinter&)> choosePrinter;

 private:
  CVRX4App& m_app;
};

}  // namespace vrx4
