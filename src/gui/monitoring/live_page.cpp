#include "gui/monitoring/live_page.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <iterator>
#include <utility>

#include "core/base/access_modes.h"
#include "core/monitoring/live_display.h"
#include "gui/controls/colour_edit.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/colour_radio.h"
#include "gui/controls/command_reason.h"
#include "gui/controls/shown_note.h"
#include "gui/controls/control_id.h"
#include "core/monitoring/channel_colours.h"

namespace vrx4 {
namespace {

using namespace live_id;

constexpr int kP2SourceGroup[] = {kP2SourceCaption, kP2Internal, kP2Auxin};
constexpr int kTestGroup[] = {kInputTestBox, kOutputTestBox, kTestCtrl,      kTestAuxin,     kTestCtrlEdit,
                              kTestAuxinEdit, kInputTestTitle, kTestCtrlU,  kTestCtrlI,     kTestAuxinU,
                              kTestAuxinI,    kTestUout,      kTestIout,     kTestUoutEdit,  kTestIoutEdit,
                              kOutputTestTitle, kTestAlarm,   kTestAlarmOn,  kTestAlarmOff, kTestCtrlUnit,
                              kTestAuxinUnit, kTestUoutUnit,  kTestIoutUnit};
constexpr int kOtherGroup[] = {kOtherBox, kOtherTitle, kErrorCaption, kError};
constexpr int kValueEdits[] = {kCtrl, kAuxin, kP2, kSupply, kUout, kIout, kError};
constexpr int kPanels[] = {kInputsBox, kMeasuresBox, kOutputsBox, kOtherBox};

// Rows of the layout (page pixels).
constexpr int kCaptionX = 20, kValueX = 120, kRadioX = 210, kCheckX = 310, kTestEditX = 334, kTestEditWidth = 60,
              kTestUnitX = 396, kTestRadioX = 428;
constexpr int kCtrlY = 36, kAuxinY = 84, kP2Y = 172, kSupplyY = 212, kUoutY = 292, kIoutY = 330, kAlarmY = 368;

// A radio pair as a 0/1 member: 1 when its second button is checked.
int checked(const QButtonGroup* g) { return g->checkedButton() == g->buttons().last() ? 1 : 0; }
void setChecked(QButtonGroup* g, int second) { g->buttons()[second ? 1 : 0]->setChecked(true); }

}  // namespace

CLivePage::CLivePage(QWidget* parent) : CPage(dialog::kLive, parent, colour::kWhite) {
  createControls();
  ApplyAccessMode(0);
  UpdateData(false);
}

QFrame* CLivePage::panel(int id, QRect r) {
  auto* f = new QFrame(this);
  if (id != 0) setControlId(f, id);
  f->setFrameShape(QFrame::Box);
  f->setFrameShadow(QFrame::Sunken);
  f->setGeometry(r);
  f->lower();
  return f;
}

CColourLabel* CLivePage::caption(int id, const char* text, QRect r, ColourWord c) {
  // Every caption of the page is a colour label variant: a fixed text
  // colour on the panel colour, in the page's own font (no style of its own).
  auto* l = new CColourLabel(QString::fromUtf8(text), this);
  setControlId(l, id);
  l->setTextColour(c);
  l->setBackColour(colour::kPanel);
  l->setGeometry(r);
  return l;
}

CColourEdit* CLivePage::valueEdit(int id, QRect r) {
  auto* e = new CColourEdit(this);
  setControlId(e, id);
  e->setReadOnly(true);
  e->setFocusPolicy(Qt::NoFocus);
  e->setAlignment(Qt::AlignRight);
  e->setTextColour(colour::kBlack);
  e->setBackColour(colour::kWhite);
  e->setGeometry(r);
  return e;
}

CColourEdit* CLivePage::testEdit(int id, QRect r) {
  auto* e = new CColourEdit(this);
  setControlId(e, id);
  e->setAlignment(Qt::AlignRight);
  e->setMaxLength(12);
  e->setTextColour(colour::kBlack);
  e->setGeometry(r);
  setWritable(e, false);
  // Every change of the text asks for the live command; so does leaving a
  // field that was typed in.
  connect(e, &QLineEdit::textChanged, this, [this] { requestLiveCommand(); });
  connect(e, &QLineEdit::editingFinished, this, [this, e] {
    if (isSettingMode(m_nAccessMode) && e->isModified()) {
      e->setModified(false);
      requestLiveCommand();
    }
  });
  return e;
}

QButtonGroup* CLivePage::radioPair(int firstId, int secondId, const char* first, const char* second, QPoint at,
                                   int spacing, bool display) {
  auto* group = new QButtonGroup(this);
  int x = at.x();
  for (auto [id, text] : {std::pair{firstId, first}, std::pair{secondId, second}}) {
    auto* r = new CColourRadio(QString::fromUtf8(text), this);
    setControlId(r, id);
    r->setGeometry(x, at.y(), spacing - 4, 20);
    group->addButton(r, id);
    x += spacing;
  }
  if (display) {
    // These only show what the device reports: a click is undone.
    connect(group, &QButtonGroup::buttonClicked, this, [this] { UpdateData(false); });
  } else {
    connect(group, &QButtonGroup::buttonClicked, this, [this] {
      UpdateData(true);
      requestLiveCommand();
    });
  }
  return group;
}

void CLivePage::createControls() {
  panel(kInputsBox, {10, 8, 520, 128});
  panel(kMeasuresBox, {10, 144, 520, 112});
  panel(kOutputsBox, {10, 264, 520, 150});
  panel(kOtherBox, {540, 264, 250, 80});
  m_messageFrame = panel(0, {540, 8, 250, 244});
  panel(kInputTestBox, {300, 14, 222, 116});
  panel(kOutputTestBox, {300, 270, 222, 138});

  caption(kInputsTitle, "INPUTS", {kCaptionX, 12, 200, 18}, colour::kBlack);
  caption(kMeasuresTitle, "MEASURES", {kCaptionX, 148, 200, 18}, colour::kBlack);
  caption(kOutputsTitle, "OUTPUTS", {kCaptionX, 268, 200, 18}, colour::kBlack);
  caption(kOtherTitle, "OTHER VALUES", {550, 268, 230, 18}, colour::kBlack);
  caption(kInputTestTitle, "Test value", {kCheckX, 17, 200, 16}, colour::kBlack);
  caption(kOutputTestTitle, "Test value", {kCheckX, 273, 200, 16}, colour::kBlack);

  caption(kCtrlCaption, "CONTROL", {kCaptionX, kCtrlY, 95, 20}, kCtrlColour);
  caption(kCtrlUnit, "[mA]", {kCaptionX, kCtrlY + 22, 95, 18}, kCtrlColour);
  caption(kAuxinCaption, "AUXin", {kCaptionX, kAuxinY, 95, 20}, kAuxinColour);
  caption(kAuxinUnit, "[V]", {kCaptionX, kAuxinY + 22, 95, 18}, kAuxinColour);
  caption(kP2Caption, "P2[BAR]", {kCaptionX, kP2Y, 95, 20}, kP2Colour);
  caption(kSupplyCaption, "24VDC [V]", {kCaptionX, kSupplyY, 95, 20}, kSupplyColour);
  caption(kP2SourceCaption, "P2 is read from", {kCheckX, 150, 200, 18}, kP2Colour);
  caption(kUoutCaption, "Uout[V]", {kCaptionX, kUoutY, 95, 20}, kUoutColour);
  caption(kIoutCaption, "Iout[mA]", {kCaptionX, kIoutY, 95, 20}, kIoutColour);
  caption(kAlarmCaption, "Alarm", {kCaptionX, kAlarmY, 95, 20}, kAlarmColour);
  caption(kErrorCaption, "error[bar]", {550, 296, 145, 20}, colour::kBlack);  // "Abweichung [MPa]"

  valueEdit(kCtrl, {kValueX, kCtrlY, 80, 24});
  valueEdit(kAuxin, {kValueX, kAuxinY, 80, 24});
  valueEdit(kP2, {kValueX, kP2Y, 80, 24});
  valueEdit(kSupply, {kValueX, kSupplyY, 80, 24});
  valueEdit(kUout, {kValueX, kUoutY, 80, 24});
  valueEdit(kIout, {kValueX, kIoutY, 80, 24});
  valueEdit(kError, {700, 294, 80, 24});

  m_ctrlUnit = radioPair(kCtrlU, kCtrlI, "U", "I", {kRadioX, kCtrlY + 2}, 45, true);
  m_auxinUnit = radioPair(kAuxinU, kAuxinI, "U", "I", {kRadioX, kAuxinY + 2}, 45, true);
  m_alarmState = radioPair(kAlarmOn, kAlarmOff, "ON", "OFF", {kValueX, kAlarmY + 2}, 55, true);
  m_p2Source = new QButtonGroup(this);
  auto* internal = new CColourRadio(QStringLiteral("Internal sensor"), this);
  setControlId(internal, kP2Internal);
  internal->setGeometry(kCheckX, 174, 210, 22);
  auto* fromAuxin = new CColourRadio(QStringLiteral("AUXin [V]"), this);
  setControlId(fromAuxin, kP2Auxin);
  fromAuxin->setTextColour(kAuxinColour);
  fromAuxin->setGeometry(kCheckX, 202, 210, 22);
  m_p2Source->addButton(internal, kP2Internal);
  m_p2Source->addButton(fromAuxin, kP2Auxin);
  connect(m_p2Source, &QButtonGroup::buttonClicked, this, [this] { UpdateData(false); });

  m_testCtrlUnit = radioPair(kTestCtrlU, kTestCtrlI, "U", "I", {kTestRadioX, kCtrlY + 2}, 45, false);
  m_testAuxinUnit = radioPair(kTestAuxinU, kTestAuxinI, "U", "I", {kTestRadioX, kAuxinY + 2}, 45, false);
  m_testAlarmState = radioPair(kTestAlarmOn, kTestAlarmOff, "ON", "OFF", {kTestEditX, kAlarmY + 2}, 55, false);

  auto* ctrlEdit = testEdit(kTestCtrlEdit, {kTestEditX, kCtrlY, kTestEditWidth, 24});
  auto* auxinEdit = testEdit(kTestAuxinEdit, {kTestEditX, kAuxinY, kTestEditWidth, 24});
  auto* uoutEdit = testEdit(kTestUoutEdit, {kTestEditX, kUoutY, kTestEditWidth, 24});
  auto* ioutEdit = testEdit(kTestIoutEdit, {kTestEditX, kIoutY, kTestEditWidth, 24});
  // The unit each test value is sent in, next to its field.
  caption(kTestCtrlUnit, "[V]", {kTestUnitX, kCtrlY + 3, 30, 18}, kCtrlColour);
  caption(kTestAuxinUnit, "[V]", {kTestUnitX, kAuxinY + 3, 30, 18}, kAuxinColour);
  caption(kTestUoutUnit, "[V]", {kTestUnitX, kUoutY + 3, 30, 18}, kUoutColour);
  caption(kTestIoutUnit, "[mA]", {kTestUnitX, kIoutY + 3, 30, 18}, kIoutColour);
  m_rows[0] = {kTestCtrl, &m_bTestCtrl, ctrlEdit, m_testCtrlUnit, {}};
  m_rows[1] = {kTestAuxin, &m_bTestAuxin, auxinEdit, m_testAuxinUnit, {}};
  m_rows[2] = {kTestUout, &m_bTestUout, uoutEdit, nullptr, {}};
  m_rows[3] = {kTestIout, &m_bTestIout, ioutEdit, nullptr, {}};
  m_rows[4] = {kTestAlarm, &m_bTestAlarm, nullptr, m_testAlarmState, {}};
  const int rowY[] = {kCtrlY, kAuxinY, kUoutY, kIoutY, kAlarmY};
  for (int i = 0; i < 5; ++i) {
    auto* box = new QCheckBox(this);
    setControlId(box, m_rows[i].check);
    box->setGeometry(kCheckX, rowY[i] + 2, 20, 20);
    const TestRow row = m_rows[i];
    connect(box, &QCheckBox::clicked, this, [this, row] { onTestChecked(row); });
  }

  caption(kMessageCaption, "MESSAGE", {550, 12, 230, 18}, colour::kBlack);
  m_messages = new QPlainTextEdit(this);
  setControlId(m_messages, kMessages);
  m_messages->setReadOnly(true);
  m_messages->setGeometry(546, 34, 238, 212);

  // Below the panels, across the page.
  m_note = new CShownNote(this, {10, 422, 780, 20}, colour::kWhite);

  auto* hidden = new QPushButton(QStringLiteral("Button1"), this);
  setControlId(hidden, kHiddenDefault);
  hidden->hide();
}

void CLivePage::setWritable(CColourEdit* edit, bool writable) {
  edit->setReadOnly(!writable);
  edit->setFocusPolicy(writable ? Qt::StrongFocus : Qt::NoFocus);
  edit->setBackColour(writable ? colour::kWhite : colour::kPanel);
  edit->update();
}

void CLivePage::applyTestRow(const TestRow& row) {
  const bool on = *row.flag != 0 && isSettingMode(m_nAccessMode);
  if (row.edit != nullptr) setWritable(row.edit, on);
  if (row.radios != nullptr)
    for (QAbstractButton* b : row.radios->buttons()) setCommandEnabled(b, on, Blocked::TestNotTicked);
}

void CLivePage::ShowFreshness(Shown images, bool liveSilent) {
  for (int id : kValueEdits)
    if (auto* e = dynamic_cast<CColourEdit*>(findControl<QLineEdit>(this, id))) e->setTextColour(liveSilent ? kLastReadText : colour::kBlack);
  // The note says the regulator is silent; in file mode the values are
  // grey without it (no live value is shown there, a regulator answering
  // or not).
  m_note->showFor(liveSilent && images == Shown::LastRead ? Shown::LastRead : Shown::Current);
}

void CLivePage::ApplyAccessMode(std::uint32_t mode) {
  if (mode > 4) return;
  m_nAccessMode = mode;
  const bool testShown = mode >= 2;
  auto show = [this](const int* ids, std::size_t n, bool visible) {
    for (std::size_t i = 0; i < n; ++i)
      if (QWidget* w = findControl(this, ids[i])) w->setVisible(visible);
  };
  show(kP2SourceGroup, std::size(kP2SourceGroup), mode == 4);
  show(kTestGroup, std::size(kTestGroup), testShown);
  show(kOtherGroup, std::size(kOtherGroup), testShown);
  for (const TestRow& row : m_rows) {
    if (auto* box = findControl<QCheckBox>(this, row.check)) box->setEnabled(testShown);
    applyTestRow(row);
  }
  update();
}

void CLivePage::onTestChecked(const TestRow& row) {
  if (isSettingMode(m_nAccessMode)) {
    UpdateData(true);
    applyTestRow(row);
  }
  UpdateData(false);
  requestLiveCommand();
}

void CLivePage::ResetTests() {
  for (const TestRow& row : m_rows) {
    if (row.edit == nullptr) continue;
    const QSignalBlocker quiet(row.edit);  // one request for the whole reset
    row.edit->clear();
    setWritable(row.edit, false);
  }
  m_bTestCtrl = m_bTestAuxin = m_bTestUout = m_bTestIout = m_bTestAlarm = 0;
  m_nP2Source = 0;
  // Back on the input types the regulator reports, as before any test.
  m_nTestCtrlUnit = m_nCtrlUnit;
  m_nTestAuxinUnit = m_nAuxinUnit;
  UpdateData(false);
  for (const TestRow& row : m_rows)
    if (row.radios != nullptr)
      for (QAbstractButton* b : row.radios->buttons()) setCommandEnabled(b, false, Blocked::TestNotTicked);
  requestLiveCommand();
}

void CLivePage::UpdateData(bool save) {
  auto box = [this](int id) { return findControl<QCheckBox>(this, id); };
  if (save) {
    for (const TestRow& row : m_rows) *row.flag = box(row.check)->isChecked() ? 1 : 0;
    m_nAuxinUnit = checked(m_auxinUnit);
    m_nTestAuxinUnit = checked(m_testAuxinUnit);
    m_nP2Source = checked(m_p2Source);
    m_nTestCtrlUnit = checked(m_testCtrlUnit);
    m_nAlarmState = checked(m_alarmState);
    m_nTestAlarmState = checked(m_testAlarmState);
    m_nCtrlUnit = checked(m_ctrlUnit);
  } else {
    for (const TestRow& row : m_rows) box(row.check)->setChecked(*row.flag != 0);
    setChecked(m_auxinUnit, m_nAuxinUnit);
    setChecked(m_testAuxinUnit, m_nTestAuxinUnit);
    setChecked(m_p2Source, m_nP2Source);
    setChecked(m_testCtrlUnit, m_nTestCtrlUnit);
    setChecked(m_alarmState, m_nAlarmState);
    setChecked(m_testAlarmState, m_nTestAlarmState);
    setChecked(m_ctrlUnit, m_nCtrlUnit);
  }
  showTestUnits();
  publish();
}

void CLivePage::setReportedInputTypes(int ctrl, int auxin) {
  m_nCtrlUnit = ctrl;
  m_nAuxinUnit = auxin;
  m_nTestCtrlUnit = testValueUnit(m_bTestCtrl != 0, m_nTestCtrlUnit, ctrl);
  m_nTestAuxinUnit = testValueUnit(m_bTestAuxin != 0, m_nTestAuxinUnit, auxin);
}

void CLivePage::showTestUnits() {
  // The unit each test value will be sent in: CONTROL and AUXin by their
  // test U/I radios, Uout in volts, Iout in milliamperes.
  setControlText(kTestCtrlUnit, QLatin1String(unitCaption(m_nTestCtrlUnit)));
  setControlText(kTestAuxinUnit, QLatin1String(unitCaption(m_nTestAuxinUnit)));
}

void CLivePage::publish() {
  LiveTestSnapshot t;
  t.m_bTestCtrl = m_bTestCtrl;
  t.m_bTestAuxin = m_bTestAuxin;
  t.m_bTestSpare1 = m_bTestSpare1;
  t.m_bTestSpare2 = m_bTestSpare2;
  t.m_bTestUout = m_bTestUout;
  t.m_bTestIout = m_bTestIout;
  t.m_bTestAlarm = m_bTestAlarm;
  t.m_nTestAuxinUnit = m_nTestAuxinUnit;
  t.m_nP2Source = m_nP2Source;
  t.m_nTestCtrlUnit = m_nTestCtrlUnit;
  t.m_nTestAlarmState = m_nTestAlarmState;
  // A field that holds no value (a decimal comma, letters) is shown in red
  // and the command keeps the field's last value instead of reading the
  // text as some other number.
  for (TestRow& row : m_rows) {
    if (row.edit == nullptr) continue;
    const std::string text = row.edit->text().toStdString();
    const bool value = liveTestValue(text).has_value();
    if (value) row.sent = text;
    // Drawn again only when it changes: the live values pass here many
    // times a second.
    const ColourWord shown = value ? colour::kBlack : colour::kRed;
    if (row.edit->m_textColour != shown) row.edit->setTextColour(shown);
  }
  t.ctrlText = m_rows[0].sent;
  t.auxinText = m_rows[1].sent;
  t.uoutText = m_rows[2].sent;
  t.ioutText = m_rows[3].sent;
  m_testFields.set(t);
}

void CLivePage::requestLiveCommand() {
  // The engine must see the new fields before the request, or it could
  // send the old ones, see them echoed, and never send the new ones.
  publish();
  m_testFields.m_liveCommandRetry.store(1);
}

void CLivePage::setValueTexts(const QString& ctrl, const QString& auxin, const QString& p2, const QString& supply,
                              const QString& uout, const QString& iout, const QString& error) {
  const QString* texts[] = {&ctrl, &auxin, &p2, &supply, &uout, &iout, &error};
  for (std::size_t i = 0; i < std::size(kValueEdits); ++i) {
    auto* e = findControl<QLineEdit>(this, kValueEdits[i]);
    if (e->text() != *texts[i]) e->setText(*texts[i]);
  }
}

void CLivePage::setUnitCaptions(const QString& ctrl, const QString& auxin) {
  setControlText(kCtrlUnit, ctrl);
  setControlText(kAuxinUnit, auxin);
}

QString CLivePage::controlText(int id) const {
  QWidget* w = findControl(const_cast<CLivePage*>(this), id);
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* p = qobject_cast<QPlainTextEdit*>(w)) return p->toPlainText();
  return {};
}

void CLivePage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  const QColor panelColour = toQColor(colour::kPanel);
  for (int id : kPanels)
    if (QWidget* w = findControl(this, id); w != nullptr && w->isVisibleTo(this)) p.fillRect(w->geometry(), panelColour);
  p.fillRect(m_messageFrame->geometry(), panelColour);
}

void CLivePage::keyPressEvent(QKeyEvent* event) {
  // Escape does nothing on this page.
  if (event->key() == Qt::Key_Escape) return event->accept();
  CPage::keyPressEvent(event);
}

}  // namespace vrx4
