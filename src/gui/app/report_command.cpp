#include "gui/app/report_command.h"

#include <QDir>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <ctime>

#include "core/base/app_options.h"
#include "core/base/app_paths.h"
#include "core/memory/whole_config.h"
#include "core/sim/simulated_regulator.h"
#include "gui/app/message_box.h"
#include "gui/app/vrx4_app.h"
#include "gui/memory/memory_host.h"
#include "gui/memory/tools_page.h"
#include "gui/pages/page_registry.h"
#include "gui/report/report_painter.h"

namespace vrx4 {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QString savePdfDialog(QWidget* parent, const QString& title, const QString& suggested) {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  QFileDialog dialog(parent, title, QDir(folder).filePath(suggested), QStringLiteral("PDF (*.pdf)"));
  dialog.setDefaultSuffix(QStringLiteral("pdf"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

bool printDialog(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace

CReportCommand::CReportCommand(CVRX4App& app, QObject* parent)
    : QObject(parent), choosePdf(savePdfDialog), choosePrinter(printDialog), m_app(app) {}

report::Labels CReportCommand::labels() const {
  return report::labels(ProfileFile(m_app.GetProgramDir() + kLanguageFile), m_app.settings().m_nLanguage);
}

report::Contents CReportCommand::contents(const report::Labels& labels, const QString& note,
                                          std::optional<report::Golden> golden) const {
  const DeviceState& s = m_app.state();
  const Settings& st = m_app.settings();
  report::Inputs in;
  in.images = s.snapshot();
  in.units = PageUnits::of(st.m_nPressureUnit, st.m_nPressureScale, s.g_accessMode.load());
  in.units.factor = m_app.m_fPressureFactor;  // as the pages show them
  if (s.g_fileMode.load() == 1)
    in.source = {true, s.configFilePath(), g_pToolsPage != nullptr && g_pToolsPage->unsavedChanges()};
  else
    in.source = {false, m_app.linkPort(), false,
                 m_app.simulatedRegulator() != nullptr && m_app.linkPort() == m_app.simulatedRegulator()->portPath()};
  in.dateTime = report::dateTimeText(std::time(nullptr));
  in.version = kAppVersion;
  in.note = note.toStdString();
  in.golden = std::move(golden);
  in.labels = labels;
  return report::build(in);
}

void CReportCommand::run(QWidget* parent) {
  const report::Labels words = labels();
  const DeviceState& s = m_app.state();
  // A regulator's report needs its images read whole, and no transfer
  // changing them meanwhile.
  if (s.g_fileMode.load() != 1 && (s.g_eepromLoaded.load() != 1 || s.requestPending())) {
    messageBox(parent, qs(words.needsEeprom));
    return;
  }
  const auto request = ask ? ask(parent, words) : std::nullopt;
  if (!request) return;

  std::optional<report::Golden> golden;
  if (!request->golden.isEmpty()) {
    report::Golden g{request->golden.toStdString(), {}};
    const auto r = report::readGolden(g.path, g.images);
    if (r.status != config_file::ReadStatus::Read) {
      messageBox(parent, readFailure(r, g.path));
      return;
    }
    if (!r.anyAreaLine) {
      // It would compare as a configuration of zeros.
      messageBox(parent, QString::fromUtf8(config_file::kMsgInvalidLine.data(),
                                           static_cast<qsizetype>(config_file::kMsgInvalidLine.size())) +
                             QStringLiteral("\n%1: no configuration line").arg(request->golden));
      return;
    }
    golden = std::move(g);
  }

  const report::Contents c = contents(words, request->note, std::move(golden));
  if (request->print) {
    QPrinter printer(QPrinter::HighResolution);
    if (!choosePrinter || !choosePrinter(parent, printer)) return;
    if (paintReport(c, printer) == 0)
      messageBox(parent, fillIn(qs(words.notWritten), printer.printerName()));
    return;
  }
  const std::string serial = whole_config::identity(m_app.state().snapshot()).serialNumber;
  const QString suggested = QStringLiteral("VRX4-%1-%2.pdf")
                                .arg(qs(serial).remove(QLatin1Char(' ')))
                                .arg(qs(report::dateTimeText(std::time(nullptr))).left(10));
  const QString path = choosePdf ? choosePdf(parent, qs(words.savePdf), suggested) : QString();
  if (path.isEmpty()) return;
  const std::string open = m_app.state().g_fileMode.load() == 1 ? m_app.state().configFilePath() : std::string();
  if (report::wouldReplace(path.toStdString(), {open, request->golden.toStdString()})) {
    messageBox(parent, fillIn(qs(words.replacesConfiguration), path));
    return;
  }
  QString error;
  if (!writeReportPdf(c, path, &error)) messageBox(parent, fillIn(qs(words.notWritten), path + QStringLiteral(": ") + error));
}

}  // namespace vrx4
