#include "gui/pages/pid_page.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>

#include "gui/controls/colour_edit.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/control_id.h"
#include "core/pages/pid_gains.h"

namespace vrx4 {
namespace {

// The four edits in BASE order with their captions (1283..1286).
constexpr int kEdits[] = {pid_id::kKpHigh, pid_id::kKpLow, pid_id::kKi, pid_id::kKd};
constexpr const char* kCaptions[] = {"Kp High", "Kp Low", "Ki", "Kd"};

constexpr const char* kWarning =
    "Warning : regulators' specifications are guaranteed only with the initial values of PID parameters. "
    "These values are available in a table, paragrah \"PID settings\" of the Tarvo instruction manual";

}  // namespace

CPidPage::CPidPage(const PageHost& host, QWidget* parent) : CEditPage(dialog::kPid, host, pid_id::kButtons, parent) {
  groupBox(pid_id::kGroup, QRect(108, 34, 267, 184));
  for (int i = 0; i < 4; ++i) {
    const int y = 62 + i * 36;
    caption(pid_id::kFirstCaption + i, kCaptions[i], QRect(150, y + 2, 70, 10));
    CColourEdit* e = pageEdit(kEdits[i], QRect(230, y, 40, 12));
    e->setAlignment(Qt::AlignRight);
    // No filter on the keys: a filter would turn "25.5" into 255. Save
    // refuses what is not a whole number 0..255 and names the field.
    e->setMaxLength(12);
    e->installEventFilter(this);
  }
  CColourLabel* warning = caption(pid_id::kWarning, kWarning, QRect(108, 228, 267, 40));
  warning->setBackColour(colour::kWhite);
  warning->setWordWrap(true);
  warning->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  createButtons(QRect(215, 280, 78, 18), QRect(297, 280, 78, 18), pid_id::kDefaultButton);
}

bool CPidPage::eventFilter(QObject* watched, QEvent* event) {
  // An edit that gets the focus has its whole text selected, after the
  // click or key that brought the focus has been handled.
  if (event->type() == QEvent::FocusIn) {
    if (auto* e = qobject_cast<QLineEdit*>(watched)) QTimer::singleShot(0, e, [e] { e->selectAll(); });
  }
  return CEditPage::eventFilter(watched, event);
}

void CPidPage::showGains(const std::uint8_t (&bytes)[4]) {
  unsigned* fields[] = {&m_kpHigh, &m_kpLow, &m_ki, &m_kd};
  for (int i = 0; i < 4; ++i) {
    *fields[i] = bytes[i];
    findControl<QLineEdit>(this, kEdits[i])->setText(QString::number(bytes[i]));
  }
}

void CPidPage::Refresh(int keepButtons) {
  if (keepButtons != 1) EnableModifyRestore(1);
  const PidTexts t = showPid(images());
  m_shown = t;
  const std::string* texts[] = {&t.kpHigh, &t.kpLow, &t.ki, &t.kd};
  unsigned* fields[] = {&m_kpHigh, &m_kpLow, &m_ki, &m_kd};
  for (int i = 0; i < 4; ++i) {
    const QString text = QString::fromStdString(*texts[i]);
    *fields[i] = text.toUInt();
    findControl<QLineEdit>(this, kEdits[i])->setText(text);
  }
}

SaveOutcome CPidPage::buildSave() {
  auto text = [this](int id) { return findControl<QLineEdit>(this, id)->text().toStdString(); };
  PidEdits e;
  e.kpHigh = text(pid_id::kKpHigh);
  e.kpLow = text(pid_id::kKpLow);
  e.ki = text(pid_id::kKi);
  e.kd = text(pid_id::kKd);
  return savePid(images(), changedPidFields(e, m_shown));
}

QString CPidPage::fieldName(const Refusal& refusal) const {
  for (int i = 0; i < 4; ++i) {
    if (kEdits[i] != refusal.controlId) continue;
    auto* label = findControl<QLabel>(const_cast<CPidPage*>(this), pid_id::kFirstCaption + i);
    if (label != nullptr && !label->text().isEmpty()) return label->text();
  }
  return CEditPage::fieldName(refusal);
}

SaveOutcome CPidPage::buildRestore() { return refuse(pid_id::kButtons.restore, "", ""); }

void CPidPage::beforeWrite(const SaveOutcome& outcome) {
  // The gains as they will be written, back in the edits ("007" shows 7).
  const auto work = outcome.work();
  if (work.size() < 4) return;
  const std::uint8_t bytes[4] = {work[0], work[1], work[2], work[3]};
  showGains(bytes);
}

}  // namespace vrx4
