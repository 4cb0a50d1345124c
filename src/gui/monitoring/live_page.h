// The LIVE page: inputs, measurements and outputs of the regulator, the
// device's messages, and in the setting modes the test panel whose values
// the link engine sends as the live command.
#pragma once

#include <QString>
#include <cstdint>

#include "core/base/control_ids.h"
#include "core/link/live_test_fields.h"
#include "gui/pages/page.h"

class QButtonGroup;
class QFrame;
class QPlainTextEdit;

namespace vrx4 {

class CColourEdit;
class CColourLabel;
class CShownNote;

namespace live_id {
// Panels and their titles.
constexpr int kInputsBox = 1198, kMeasuresBox = 1199, kOutputsBox = 1200, kOtherBox = 1007;
constexpr int kInputsTitle = 1041, kMeasuresTitle = 1042, kOutputsTitle = 1081, kOtherTitle = 1084;
// Captions.
constexpr int kCtrlCaption = 1033, kAuxinCaption = 1034, kCtrlUnit = 1046, kAuxinUnit = 1050;
constexpr int kP2Caption = 1043, kSupplyCaption = 1044, kP2SourceCaption = 1012;
constexpr int kUoutCaption = 1048, kIoutCaption = 1049, kAlarmCaption = 1052, kErrorCaption = 1000;
// Value edits.
constexpr int kCtrl = 1006, kAuxin = 1009, kP2 = 1025, kSupply = 1026, kUout = 1035, kIout = 1036, kError = 1032;
// Display radios.
constexpr int kCtrlU = 1001, kCtrlI = 1002, kAuxinU = 1003, kAuxinI = 1004;
constexpr int kP2Internal = 1021, kP2Auxin = 1022, kAlarmOn = 1087, kAlarmOff = 1088;
// Test panel.
constexpr int kInputTestBox = 1008, kOutputTestBox = 1011, kInputTestTitle = 1047, kOutputTestTitle = 1051;
constexpr int kTestCtrl = 1014, kTestAuxin = 1015, kTestUout = 1037, kTestIout = 1038, kTestAlarm = 1024;
constexpr int kTestCtrlEdit = 1016, kTestAuxinEdit = 1017, kTestUoutEdit = 1039, kTestIoutEdit = 1040;
constexpr int kTestCtrlU = 1005, kTestCtrlI = 1018, kTestAuxinU = 1019, kTestAuxinI = 1020;
constexpr int kTestAlarmOn = 1091, kTestAlarmOff = 1092;
// The unit each test value is sent in, right of its field.
constexpr int kTestCtrlUnit = 10160, kTestAuxinUnit = 10170, kTestUoutUnit = 10390, kTestIoutUnit = 10400;
// Messages.
constexpr int kMessageCaption = 1083, kMessages = 1013;
constexpr int kHiddenDefault = 1045;
}  // namespace live_id

class CLivePage : public CPage {
 public:
  explicit CLivePage(QWidget* parent);
  bool built() const override { return true; }

  // The test fields the engine reads: published from the members below at
  // every data exchange, before the live command is asked for.
  LiveTestFields& testFields() { return m_testFields; }

  // Lays the page out for an access mode (what is shown, what is writable).
  void ApplyAccessMode(std::uint32_t mode);
  std::uint32_t layoutMode() const { return m_nAccessMode; }
  // Clears every test value and switch: nothing is forced any more.
  void ResetTests();
  // save = true: controls into the members; false: members into the
  // controls. Both publish the test fields.
  void UpdateData(bool save) override;
  // While the lamp is red the values are the last ones read: grey, with a
  // note that says so. In file mode they are grey too.
  void ShowFreshness(Shown images, bool liveSilent) override;

  // The input types the regulator reports (0 voltage, 1 current): shown by
  // the display radios, and the unit of a test value whose test is off.
  void setReportedInputTypes(int ctrl, int auxin);
  // Display values written by the live value display.
  void setValueTexts(const QString& ctrl, const QString& auxin, const QString& p2, const QString& supply,
                     const QString& uout, const QString& iout, const QString& error);
  void setUnitCaptions(const QString& ctrl, const QString& auxin);
  QString controlText(int id) const;

  // Members, as the device and the user set them (0/1 flags and units).
  int m_bTestCtrl = 0;
  int m_bTestAuxin = 0;
  int m_bTestSpare1 = 0;
  int m_bTestSpare2 = 0;
  int m_bTestUout = 0;
  int m_bTestIout = 0;
  int m_bTestAlarm = 0;
  int m_nAuxinUnit = 0;
  int m_nTestAuxinUnit = 0;
  int m_nP2Source = 0;
  int m_nTestCtrlUnit = 0;
  int m_nAlarmState = 1;
  int m_nTestAlarmState = 1;
  int m_nCtrlUnit = 0;
  std::uint32_t m_nAccessMode = 0;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct TestRow {
    int check;
    int* flag;
    CColourEdit* edit;      // null for the alarm row
    QButtonGroup* radios;   // null for Uout and Iout
    std::string sent;       // the field's last text that was a value
  };

  void createControls();
  QFrame* panel(int id, QRect r);
  CColourLabel* caption(int id, const char* text, QRect r, ColourWord colour);
  CColourEdit* valueEdit(int id, QRect r);
  CColourEdit* testEdit(int id, QRect r);
  QButtonGroup* radioPair(int firstId, int secondId, const char* first, const char* second, QPoint at,
                          int spacing, bool display);
  void onTestChecked(const TestRow& row);
  void applyTestRow(const TestRow& row);
  void setWritable(CColourEdit* edit, bool writable);
  void publish();
  void showTestUnits();
  void requestLiveCommand();

  CShownNote* m_note = nullptr;
  LiveTestFields m_testFields;
  TestRow m_rows[5] = {};
  QButtonGroup* m_ctrlUnit = nullptr;
  QButtonGroup* m_auxinUnit = nullptr;
  QButtonGroup* m_p2Source = nullptr;
  QButtonGroup* m_alarmState = nullptr;
  QButtonGroup* m_testCtrlUnit = nullptr;
  QButtonGroup* m_testAuxinUnit = nullptr;
  QButtonGroup* m_testAlarmState = nullptr;
  QPlainTextEdit* m_messages = nullptr;
  QFrame* m_messageFrame = nullptr;
};

}  // namespace vrx4
