#include "gui/app/about_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/base/control_ids.h"
#include "gui/controls/control_id.h"

namespace vrx4 {

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent) {
  setControlId(this, dialog::kAbout);
  setWindowTitle(QStringLiteral("About Tarvo"));
  setModal(true);
  auto* text = new QLabel(QString::fromLatin1(kAboutText), this);
  setControlId(text, about_id::kVersionText);
  m_ok = new QPushButton(QStringLiteral("OK"), this);
  setControlId(m_ok, common_id::kOk);
  m_ok->setDefault(true);
  connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(m_ok);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addLayout(row);
  setMinimumWidth(280);
}

void CAboutBox::setTexts(const QString& caption, const QString& okText) {
  setWindowTitle(caption);
  m_ok->setText(okText.isEmpty() ? QStringLiteral("OK") : okText);
}

}  // namespace vrx4
