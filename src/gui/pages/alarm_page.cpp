#include "gui/pages/alarm_page.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPainter>

#include "gui/controls/dialog_units.h"
#include "gui/controls/bitmap_painter.h"
#include "gui/controls/colour_edit.h"
#include "gui/controls/colour_radio.h"
#include "gui/controls/control_id.h"
#include "core/pages/alarm_settings.h"

namespace vrx4 {
namespace {

constexpr const char* kCurveBitmap = "Courbe_alarm_setting.bmp";
// The radios of this page are dark blue.
constexpr ColourWord kRadioText = colour::kDarkBlue;

// The picture control the curve bitmap is drawn on: the file is read again
// at every paint, from the data folder or else the current directory; a
// missing file leaves the area empty.
class CurvePicture : public QWidget {
 public:
  CurvePicture(std::string dataDir, QWidget* parent) : QWidget(parent), m_dataDir(std::move(dataDir)) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    DrawBitmapFile(resolveBitmapPath(kCurveBitmap, m_dataDir), p);
  }

 private:
  std::string m_dataDir;
};

// A row of a limits group: number, caption, edit and unit (dialog units).
struct Row {
  int edit;
  const char* number;
  int captionId;
  const char* caption;
  int unitId;  // 0: a plain "s"
  int y;
};

// Static texts without a control id of their own.
constexpr int kNoId = -1;

}  // namespace

CAlarmPage::CAlarmPage(const PageHost& host, QWidget* parent)
    : CEditPage(dialog::kAlarm, host, alarm_id::kButtons, parent) {
  createControls();
}

void CAlarmPage::createControls() {
  using namespace alarm_id;
  auto* picture = new CurvePicture(host().dataDir, this);
  setControlId(picture, kCurvePicture);
  picture->setGeometry(dluX(5), dluY(20), dluX(250), dluY(290));

  groupBox(kLogicGroup, QRect(261, 26, 134, 48));
  caption(kLogicTitle, "LOGIC", QRect(268, 31, 120, 10), true);
  caption(kLogicLabel, "ALARM", QRect(268, 52, 52, 10));
  m_logicGroup = new QButtonGroup(this);
  m_logicGroup->addButton(radio(kLogicPlus, "+", QRect(322, 51, 28, 12), kRadioText), alarm_logic::kPlus);
  m_logicGroup->addButton(radio(kLogicMinus, "-", QRect(354, 51, 28, 12), kRadioText), alarm_logic::kMinus);
  connect(m_logicGroup, &QButtonGroup::idClicked, this, [this](int logic) { onLogicClicked(logic); });

  groupBox(kOutputGroup, QRect(402, 26, 116, 107));
  caption(kOutputTitle, "ACTUAL OUTPUTS", QRect(409, 31, 104, 10), true);
  caption(kOutputLabel, "ALARM", QRect(409, 56, 60, 10));
  m_outputGroup = new QButtonGroup(this);
  m_outputGroup->addButton(radio(kOutputOn, "ON", QRect(420, 76, 40, 12), kRadioText), 0);
  m_outputGroup->addButton(radio(kOutputOff, "OFF", QRect(420, 98, 40, 12), kRadioText), 1);
  // The output radios only show what the device reports: a click is undone.
  connect(m_outputGroup, &QButtonGroup::idClicked, this, [this] { UpdateData(false); });

  groupBox(kLimitsGroup, QRect(261, 94, 134, 89));
  caption(kLimitsTitle, "PRESSURE LIMITS", QRect(268, 99, 120, 10), true);
  groupBox(kTimesGroup, QRect(261, 198, 134, 101));
  caption(kTimesTitle, "TIMMING LIMITS", QRect(268, 203, 120, 10), true);
  const Row rows[] = {{kErrorPlus, "1-", kErrorPlusCaption, "Error +", kLimitUnitPlus, 122},
                      {kErrorMinus, "2-", kErrorMinusCaption, "Error -", kLimitUnitMinus, 152},
                      {kDelayOn, "3-", kDelayOnCaption, "Delay ON", 0, 224},
                      {kTonMin, "4-", kTonMinCaption, "Ton min", 0, 249},
                      {kDelayOff, "5-", kDelayOffCaption, "Delay OFF", 0, 274}};
  for (const Row& r : rows) {
    // Inside the group's frame, with room between number, caption, field
    // and unit: the times' unit is one letter, so their captions get what
    // the limits' units ("[MPa]") take, for the longest ones ("Verzögerung
    // AUS").
    const bool time = r.unitId == 0;
    const int captionWidth = time ? 73 : 59;
    const int fieldWidth = time ? 27 : 32;  // "50.000" kPa in SETTING PRO
    const int fieldX = 277 + captionWidth;
    caption(kNoId, r.number, QRect(265, r.y + 2, 8, 10));
    caption(r.captionId, r.caption, QRect(275, r.y + 2, captionWidth, 10));
    pageEdit(r.edit, QRect(fieldX, r.y, fieldWidth, 12))->setAlignment(Qt::AlignRight);
    caption(time ? kNoId : r.unitId, time ? "s" : "bar", QRect(fieldX + fieldWidth + 2, r.y + 2, time ? 12 : 24, 10));
  }

  createButtons(QRect(402, 145, 116, 18), QRect(402, 168, 116, 18));
}

void CAlarmPage::Refresh(int) {
  const AlarmView v = showAlarm(images(), units());
  m_limitPlus = v.values.limitPlus;
  m_limitMinus = v.values.limitMinus;
  m_delayOn = v.values.delayOn;
  m_tonMin = v.values.tonMin;
  m_delayOff = v.values.delayOff;
  if (m_editing == 0) {
    m_shown = v;
    m_logic = v.values.logic;
    UpdateData(false);
    using namespace alarm_id;
    const std::pair<int, const std::string*> order[] = {{kDelayOff, &v.texts.delayOff},
                                                        {kDelayOn, &v.texts.delayOn},
                                                        {kTonMin, &v.texts.tonMin},
                                                        {kErrorPlus, &v.texts.errorPlus},
                                                        {kErrorMinus, &v.texts.errorMinus}};
    for (auto [id, text] : order) findControl<QLineEdit>(this, id)->setText(QString::fromStdString(*text));
  }
  EnableModifyRestore(1);
}

void CAlarmPage::UpdateData(bool save) {
  if (save) {
    m_logic = m_logicGroup->checkedId() == alarm_logic::kMinus ? alarm_logic::kMinus : alarm_logic::kPlus;
    return;
  }
  m_logicGroup->button(m_logic == alarm_logic::kMinus ? alarm_logic::kMinus : alarm_logic::kPlus)->setChecked(true);
  m_outputGroup->button(m_alarmOutput == 0 ? 0 : 1)->setChecked(true);
}

bool CAlarmPage::setControlText(int id, const QString& text) {
  // The limits' unit stands right after its field: no blank before it.
  const bool unit = id == alarm_id::kLimitUnitPlus || id == alarm_id::kLimitUnitMinus;
  return CEditPage::setControlText(id, unit ? text.trimmed() : text);
}

void CAlarmPage::onLogicClicked(int logic) {
  if (m_editing == 1) m_logic = logic;
  UpdateData(false);  // outside Modify mode the click is undone
}

std::string CAlarmPage::editText(int id) const {
  return findControl<QLineEdit>(const_cast<CAlarmPage*>(this), id)->text().toStdString();
}

SaveOutcome CAlarmPage::buildSave() {
  using namespace alarm_id;
  UpdateData(true);
  AlarmEdits e;
  e.logic = m_logic;
  e.errorPlus = editText(kErrorPlus);
  e.errorMinus = editText(kErrorMinus);
  e.delayOn = editText(kDelayOn);
  e.tonMin = editText(kTonMin);
  e.delayOff = editText(kDelayOff);
  return saveAlarm(images(), changedAlarmFields(e, m_shown), units());
}

QString CAlarmPage::fieldName(const Refusal& refusal) const {
  using namespace alarm_id;
  const std::pair<int, int> captions[] = {{kErrorPlus, kErrorPlusCaption},
                                          {kErrorMinus, kErrorMinusCaption},
                                          {kDelayOn, kDelayOnCaption},
                                          {kTonMin, kTonMinCaption},
                                          {kDelayOff, kDelayOffCaption}};
  for (auto [edit, caption] : captions) {
    if (edit != refusal.controlId) continue;
    if (auto* label = findControl<QLabel>(const_cast<CAlarmPage*>(this), caption); label && !label->text().isEmpty())
      return label->text();
  }
  return CEditPage::fieldName(refusal);
}

SaveOutcome CAlarmPage::buildRestore() { return restoreAlarm(images()); }

}  // namespace vrx4
