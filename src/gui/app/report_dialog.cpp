#include "gui/app/report_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/memory/memory_host.h"

namespace vrx4 {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CReportDialog::CReportDialog(QWidget* parent, const report::Labels& labels) : QDialog(parent) {
  setWindowTitle(qs(labels.title));
  auto* form = new QFormLayout;
  m_note = new QLineEdit(this);
  m_note->setObjectName(QString::fromLatin1(kNote));
  m_note->setMaxLength(200);
  m_note->setMinimumWidth(420);
  form->addRow(qs(labels.note), m_note);
  m_golden = new QLineEdit(this);
  m_golden->setObjectName(QString::fromLatin1(kGolden));
  auto* choose = new QPushButton(qs(labels.open), this);
  connect(choose, &QPushButton::clicked, this, [this, title = qs(labels.goldenFile)] {
    const QString path = chooseConfigFile(this, FileDialogKind::Open, title);
    if (!path.isEmpty()) m_golden->setText(path);
  });
  auto* goldenRow = new QHBoxLayout;
  goldenRow->addWidget(m_golden, 1);
  goldenRow->addWidget(choose);
  form->addRow(qs(labels.goldenFile), goldenRow);

  auto* pdf = new QPushButton(qs(labels.savePdf), this);
  pdf->setObjectName(QString::fromLatin1(kPdf));
  pdf->setDefault(true);
  auto* print = new QPushButton(qs(labels.print), this);
  print->setObjectName(QString::fromLatin1(kPrint));
  auto* cancel = new QPushButton(qs(labels.cancel), this);
  connect(pdf, &QPushButton::clicked, this, [this] {
    m_print = false;
    accept();
  });
  connect(print, &QPushButton::clicked, this, [this] {
    m_print = true;
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(pdf);
  buttons->addWidget(print);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
}

ReportRequest CReportDialog::request() const { return {m_note->text(), m_golden->text().trimmed(), m_print}; }

std::optional<ReportRequest> askReport(QWidget* parent, const report::Labels& labels) {
  CReportDialog dialog(parent, labels);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.request();
}

}  // namespace vrx4
