#include "gui/app/range_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/base/control_ids.h"
#include "core/base/pressure_units.h"
#include "gui/app/vrx4_app.h"
#include "gui/controls/control_id.h"

namespace vrx4 {

CPressureRangeDialog::CPressureRangeDialog(QWidget* parent, std::uint8_t unit, bool autoScale, std::uint8_t scale,
                                           const QString& caption, const QString& okText,
                                           const QString& cancelText)
    : QDialog(parent), m_index(autoScale ? kRangeAuto : scale) {
  setControlId(this, dialog::kPressureRange);
  setWindowTitle(caption);
  setModal(true);
  m_list = new QComboBox(this);
  setControlId(m_list, range_id::kList);
  for (const char* entry : rangeEntries(unit)) m_list->addItem(QString::fromLatin1(entry));
  m_list->setCurrentIndex(m_index >= 0 && m_index <= kRangeAuto ? m_index : 0);
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
  layout->addWidget(m_list);
  layout->addLayout(buttons);
  setMinimumWidth(260);
}

void CPressureRangeDialog::accept() {
  m_index = m_list->currentIndex();
  QDialog::accept();
}

void CPressureRangeDialog::apply(CVRX4App& app, int index) {
  Settings& s = app.settings();
  if (index == kRangeAuto) {
    s.m_bAutoScale = true;
    app.state().m_bAutoScale.store(true);
    s.m_nPressureScale = automaticRange(app.state().device(Area::Base)[0x6F]);
  } else if (index == 0 || index == 1) {
    s.m_bAutoScale = false;
    app.state().m_bAutoScale.store(false);
    s.m_nPressureScale = static_cast<std::uint8_t>(index);
  }
}

}  // namespace vrx4
