#include "gui/app/port_dialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/base/control_ids.h"
#include "gui/controls/control_id.h"

namespace vrx4 {
namespace {
constexpr int kPortList = 1048;

bool sameEntries(const std::vector<SerialPortEntry>& a, const std::vector<SerialPortEntry>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
    return x.name == y.name && x.path == y.path && x.description == y.description;
  });
}
}  // namespace

CPortDialog::CPortDialog(QWidget* parent, Lister lister)
    : QDialog(parent), m_lister(lister ? std::move(lister) : Lister([] { return describeSerialPorts(); })) {
  setControlId(this, dialog::kPortSelection);
  setModal(true);
  m_list = new QComboBox(this);
  setControlId(m_list, kPortList);
  m_list->setEditable(true);
  m_list->setInsertPolicy(QComboBox::NoInsert);
  m_list->setMaxVisibleItems(16);
  m_list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  m_list->setMinimumWidth(420);
  m_ok = new QPushButton(QStringLiteral("OK"), this);
  setControlId(m_ok, common_id::kOk);
  m_ok->setDefault(true);
  m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
  setControlId(m_cancel, common_id::kCancel);
  connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_ok);
  buttons->addWidget(m_cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_list);
  layout->addLayout(buttons);
  m_timer = new QTimer(this);
  m_timer->setInterval(kRefreshMs);
  connect(m_timer, &QTimer::timeout, this, [this] { refresh(); });
}

void CPortDialog::setTexts(const QString& caption, const QString& okText, const QString& cancelText) {
  setWindowTitle(caption);
  m_ok->setText(okText.isEmpty() ? QStringLiteral("OK") : okText);
  m_cancel->setText(cancelText.isEmpty() ? QStringLiteral("Cancel") : cancelText);
}

void CPortDialog::fill(const std::vector<SerialPortEntry>& entries) {
  m_entries = entries;
  m_list->blockSignals(true);
  m_list->clear();
  for (const SerialPortEntry& e : m_entries)
    m_list->addItem(QString::fromStdString(entryText(e)), QString::fromStdString(e.name));
  m_list->blockSignals(false);
  // The drop-down shows every entry whole, even the long /dev/serial/by-id
  // names, however narrow the field is.
  QAbstractItemView* view = m_list->view();
  view->setMinimumWidth(view->sizeHintForColumn(0) + 2 * view->frameWidth() + 24);
}

void CPortDialog::showEvent(QShowEvent* event) {
  // The list of this moment, the configured port selected (by prefix), or
  // shown as typed when no entry begins with it.
  fill(m_lister());
  const int at = entryFor(m_entries, m_port);
  m_list->setCurrentIndex(at);
  if (at < 0) m_list->setEditText(QString::fromStdString(m_port));
  m_timer->start();
  // Wide enough for the longest entry, within the screen.
  adjustSize();
  QDialog::showEvent(event);
}

void CPortDialog::hideEvent(QHideEvent* event) {
  m_timer->stop();
  QDialog::hideEvent(event);
}

void CPortDialog::refresh() {
  std::vector<SerialPortEntry> now = m_lister();
  if (sameEntries(now, m_entries)) return;
  const int at = m_list->currentIndex();
  const QString text = m_list->currentText();
  const bool typed = at < 0 || m_list->itemText(at) != text;
  const std::string chosen = at >= 0 ? m_entries[static_cast<std::size_t>(at)].name : std::string();
  fill(now);
  int keep = -1;
  for (std::size_t i = 0; !typed && i < m_entries.size(); ++i)
    if (m_entries[i].name == chosen) keep = static_cast<int>(i);
  m_list->setCurrentIndex(keep);
  if (keep < 0) m_list->setEditText(text);
}

void CPortDialog::accept() {
  const int at = m_list->currentIndex();
  const QString text = m_list->currentText().trimmed();
  if (at >= 0 && m_list->itemText(at) == m_list->currentText()) m_port = m_entries[static_cast<std::size_t>(at)].name;
  else if (!text.isEmpty()) m_port = text.toStdString();
  QDialog::accept();
}

}  // namespace vrx4
