#include "gui/monitoring/graph_file_view.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <cmath>

#include "core/memory/config_file.h"
#include "core/monitoring/capture_status.h"
#include "core/monitoring/chart_points.h"
#include "core/monitoring/graph_recording.h"
#include "gui/controls/colour_button.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/control_id.h"
#include "gui/controls/plain_file_icons.h"
#include "gui/monitoring/graph_page.h"
#include "gui/monitoring/trend_chart.h"

namespace vrx4 {
namespace {

// Line numbers of damaged rows the page names; the reader keeps them all.
constexpr std::size_t kLinesNamed = 5;

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CGraphFileView::CGraphFileView(QWidget* page, const GraphPageHost& host, CTrendChart* chart, CColourLabel* notice)
    : QObject(page), m_page(page), m_host(host), m_chart(chart), m_notice(notice) {
  auto* b = new CColourButton(QStringLiteral("Open capture..."), page);
  setControlId(b, graph_id::kOpenCapture);
  b->setTextColour(colour::kBlack);
  b->setGeometry(graph_id::kOpenCaptureRect);
  m_button = b;

  m_line = new CColourLabel(QString(), page);
  setControlId(m_line, graph_id::kFileShown);
  m_line->setTextColour(colour::rgb(0, 0, 160));
  m_line->setBackColour(colour::kWhite);
  m_line->setGeometry(graph_id::kFileShownRect);
  m_line->hide();
}

QString CGraphFileView::text(GraphText t) const { return m_host.text ? m_host.text(t) : QString(); }

bool CGraphFileView::open() {
  QFileDialog dialog(m_page);
  PlainFileIcons icons;
  dialog.setIconProvider(&icons);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({QStringLiteral("(*.csv)"), QStringLiteral("(*)")});
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  return show(dialog.selectedFiles().first().toStdString());
}

bool CGraphFileView::show(const std::string& path) {
  GraphRecording* rec = m_host.recording;
  if (rec == nullptr) return false;
  const QString name = QFileInfo(qs(path)).fileName();
  capture::ReadOutcome o = capture::readCapture(path, rec->m_store);
  auto refuse = [&](const QString& message) {
    if (m_host.message) m_host.message(m_page, message);
    return false;
  };
  switch (o.status) {
    case capture::ReadStatus::CannotOpen: {
      // The file commands' message for a file that cannot be opened, then
      // the file and why (a FIFO or a device is refused at once).
      const std::string_view msg = config_file::kMsgCouldNotOpen;
      return refuse(QString::fromUtf8(msg.data(), static_cast<qsizetype>(msg.size())) + QStringLiteral("\n") +
                    qs(path + ": " + o.detail));
    }
    case capture::ReadStatus::NotCapture:
      return refuse(qs(capture::fill(text(GraphText::NotCaptureFile).toStdString(), {path})));
    case capture::ReadStatus::NoRows:
      return refuse(qs(capture::fill(text(GraphText::CaptureFileNoRows).toStdString(),
                                     {std::to_string(o.damagedLines.size()), path})));
    case capture::ReadStatus::ReadFailed:
      // The store holds the rows read before the failure: shown as such.
      if (m_host.message) m_host.message(m_page, qs(path + ": " + o.detail));
      break;
    case capture::ReadStatus::Shown:
      break;
  }

  // A file is shown: no live sample goes into the store meanwhile.
  rec->g_graphRunning = false;
  rec->g_captureOn = false;
  m_outcome = std::move(o);
  m_shown = true;
  const std::uint64_t spanMs = static_cast<std::uint64_t>(std::llround((m_outcome.lastTime - m_outcome.firstTime) * 1000));
  m_line->setText(qs(capture::fill(text(GraphText::FileShown).toStdString(),
                                   {name.toStdString(), chart::readoutTime(m_outcome.firstTime),
                                    chart::readoutTime(m_outcome.lastTime), capture::elapsedText(spanMs)})));
  m_line->setToolTip(qs(path));
  m_line->show();

  // Below the chart: what was skipped, and how a long file is drawn.
  QStringList notes;
  const auto& damaged = m_outcome.damagedLines;
  if (!damaged.empty()) {
    std::string lines;
    for (std::size_t i = 0; i < damaged.size() && i < kLinesNamed; ++i)
      lines += (i > 0 ? ", " : "") + std::to_string(damaged[i]);
    if (damaged.size() > kLinesNamed) lines += ", ...";
    notes << qs(capture::fill(text(GraphText::FileRowsDamaged).toStdString(), {std::to_string(damaged.size()), lines}));
  }
  if (m_outcome.timeRestarts > 0)
    notes << qs(capture::fill(text(GraphText::FileTimeRestarts).toStdString(),
                              {std::to_string(m_outcome.firstRestartLine)}));
  if (m_outcome.rowsPerPair > 1)
    notes << qs(capture::fill(text(GraphText::FileRowsThinned).toStdString(),
                              {std::to_string(m_outcome.rows), std::to_string(m_outcome.rowsPerPair)}));
  m_notice->setText(notes.join(QStringLiteral("  ")));
  m_notice->setVisible(!notes.isEmpty());

  m_chart->m_lastRefreshTime = 0;
  m_chart->showNewest();
  return true;
}

void CGraphFileView::leave() {
  if (!m_shown) return;
  m_shown = false;
  m_outcome = {};
  m_line->hide();
  m_notice->hide();
}

}  // namespace vrx4
