// The alarm page: the alarm output's logic, the two pressure-error limits
// and the three times (OPTION 9..27), the present state of the output, and
// the curve bitmap that explains the five numbered settings.
#pragma once

#include "core/base/control_ids.h"
#include "core/pages/alarm_settings.h"
#include "gui/pages/edit_page.h"

class QButtonGroup;

namespace vrx4 {

class CAlarmPage : public CEditPage {
 public:
  CAlarmPage(const PageHost& host, QWidget* parent);

  // The alarm page always ends its Refresh with Modify and Restore enabled.
  void Refresh(int keepButtons = 0) override;
  void UpdateData(bool save) override;
  bool setControlText(int controlId, const QString& text) override;

  // 0 logic "+", 1 logic "-".
  int m_logic = 0;
  // The alarm output as the device reports it: 0 ON, 1 OFF (the view
  // writes it at every live update).
  int m_alarmOutput = 1;
  // The five values in page units: times in seconds, limits in the
  // display pressure unit.
  double m_delayOff = 0.0;
  double m_delayOn = 0.0;
  double m_tonMin = 0.0;
  double m_limitPlus = 0.0;
  double m_limitMinus = 0.0;

 protected:
  SaveOutcome buildSave() override;
  SaveOutcome buildRestore() override;
  QString fieldName(const Refusal& refusal) const override;

 private:
  void createControls();
  void onLogicClicked(int logic);
  std::string editText(int id) const;

  // What the edits and the logic radios last showed of the device: a Save
  // passes on only what the user changed.
  AlarmView m_shown;
  QButtonGroup* m_logicGroup = nullptr;
  QButtonGroup* m_outputGroup = nullptr;
};

}  // namespace vrx4
