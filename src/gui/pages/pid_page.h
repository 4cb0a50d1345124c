// The PID page: the regulator's four gains (BASE 43..46) as whole numbers
// 0..255, with the warning that the regulator is guaranteed to perform as
// documented only with their initial values. It has no Restore.
#pragma once

#include <cstdint>

#include "core/base/control_ids.h"
#include "core/pages/pid_gains.h"
#include "gui/pages/edit_page.h"

namespace vrx4 {

class CPidPage : public CEditPage {
 public:
  CPidPage(const PageHost& host, QWidget* parent);

  void Refresh(int keepButtons) override;

  unsigned m_kpHigh = 0;
  unsigned m_kpLow = 0;
  unsigned m_ki = 0;
  unsigned m_kd = 0;

 protected:
  SaveOutcome buildSave() override;
  SaveOutcome buildRestore() override;
  void beforeWrite(const SaveOutcome& outcome) override;
  bool hasRestore() const override { return false; }
  bool eventFilter(QObject* watched, QEvent* event) override;
  QString fieldName(const Refusal& refusal) const override;

 private:
  void showGains(const std::uint8_t (&bytes)[4]);

  // The gains as the last Refresh showed them: a Save passes on only the
  // ones the user changed.
  PidTexts m_shown;
};

}  // namespace vrx4
