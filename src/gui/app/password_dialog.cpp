#include "gui/app/password_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/base/control_ids.h"
#include "gui/controls/control_id.h"

namespace vrx4 {

CPasswordDialog::CPasswordDialog(QWidget* parent, const QString& caption, const QString& prompt,
                                 const QString& okText, const QString& cancelText)
    : QDialog(parent) {
  setControlId(this, dialog::kPassword);
  setWindowTitle(caption.isEmpty() ? QStringLiteral("Password") : caption);
  setModal(true);
  auto* promptLabel = new QLabel(prompt, this);
  setControlId(promptLabel, password_id::kPrompt);
  promptLabel->setWordWrap(true);
  m_edit = new QLineEdit(this);
  setControlId(m_edit, password_id::kEdit);
  m_edit->setEchoMode(QLineEdit::Password);
  auto* ok = new QPushButton(okText.isEmpty() ? QStringLiteral("OK") : okText, this);
  setControlId(ok, common_id::kOk);
  ok->setDefault(true);
  auto* cancel = new QPushButton(cancelText.isEmpty() ? QStringLiteral("Cancel") : cancelText, this);
  setControlId(cancel, common_id::kCancel);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(promptLabel);
  layout->addWidget(m_edit);
  layout->addLayout(buttons);
  setMinimumWidth(320);
}

void CPasswordDialog::accept() {
  m_code = m_edit->text().toStdString();
  QDialog::accept();
}

}  // namespace vrx4
