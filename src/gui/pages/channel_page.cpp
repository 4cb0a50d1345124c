#include "gui/pages/channel_page.h"

#include <QButtonGroup>
#include <QSignalBlocker>
#include <algorithm>

#include "gui/controls/colour_edit.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/colour_radio.h"
#include "gui/controls/control_id.h"
#include "gui/controls/line_diagram.h"
#include "core/pages/line_diagram_scale.h"

namespace vrx4 {
namespace {

// The diagram's window in page pixels: (100, 100) to (370, 370).
const QRect kDiagramRect(100, 100, 270, 270);

// Rows of the value fields (dialog units): the measured input above the
// pressure it is equivalent of; on the outputs the computed output above
// the measured pressure.
constexpr int kUpperRow = 58;
constexpr int kLowerRow = 98;
constexpr int kCaptionX = 389;
constexpr int kFieldX = 465;
constexpr int kCaptionWidth = 74;

QString qs(const char* s) { return QString::fromUtf8(s); }

}  // namespace

CChannelPage::CChannelPage(Channel channel, int dialogId, const PageHost& host, QWidget* parent)
    : CEditPage(dialogId, host, channelIds(channel).buttons, parent), m_channel(channel), m_ids(channelIds(channel)) {
  if (channel == Channel::Uout) m_outputUnit = QStringLiteral(" [V]");
  if (channel == Channel::Iout) m_outputUnit = QStringLiteral(" [mA]");
  createControls();
}

void CChannelPage::createControls() {
  const bool input = isInputChannel(m_channel);
  groupBox(m_ids.outerGroup, input ? QRect(275, 26, 244, 116) : QRect(384, 26, 135, 116));

  // The four corners around the diagram.
  for (auto [id, place] : {std::pair{m_ids.yHigh, QRect(16, 82, 40, 12)}, std::pair{m_ids.yLow, QRect(16, 202, 40, 12)},
                           std::pair{m_ids.xLow, QRect(77, 251, 40, 12)}, std::pair{m_ids.xHigh, QRect(207, 251, 40, 12)}}) {
    CColourEdit* e = pageEdit(id, place);
    e->setAlignment(Qt::AlignRight);
    connect(e, &QLineEdit::textChanged, this, [this] {
      ComputeLine();
      UpdateEquivalent();
    });
  }

  const int measuredRow = input ? kUpperRow : kLowerRow;
  const int equivalentRow = input ? kLowerRow : kUpperRow;
  const char* pressure = input ? "CTRL [Bar]" : "P2 [Bar]";
  caption(m_ids.groupTitle, input ? "ACTUAL INPUTS" : "ACTUAL OUTPUTS", QRect(kCaptionX, 37, 126, 10), true);
  caption(m_ids.measuredCaption, input ? "CTRL [V]" : pressure, QRect(kCaptionX, measuredRow + 2, kCaptionWidth, 10));
  caption(m_ids.betweenWord, input ? "equivalent of" : "with", QRect(kCaptionX, 80, kCaptionWidth, 10));
  caption(m_ids.equivalentCaption, input ? pressure : (m_channel == Channel::Uout ? "Uout [V]" : "Iout  [mA]"),
          QRect(kCaptionX, equivalentRow + 2, kCaptionWidth, 10));
  CColourEdit* measured = measuredEdit(m_ids.measured, QRect(kFieldX, measuredRow, 48, 12));
  measuredEdit(m_ids.equivalent, QRect(kFieldX, equivalentRow, 48, 12));
  for (int id : {m_ids.measured, m_ids.equivalent}) findControl<QLineEdit>(this, id)->setAlignment(Qt::AlignRight);
  connect(measured, &QLineEdit::textChanged, this, [this] { UpdateEquivalent(); });

  const DiagramSetup d = diagramSetup(m_channel);
  m_diagram = new CLineDiagram(this);
  m_diagram->Create(d.yScale, d.xScale, QString(), QString(), qs(d.title), d.colour, kDiagramRect, this, d.id);

  createButtons(QRect(359, 160, 78, 18), QRect(441, 160, 78, 18));
}

void CChannelPage::createTypeSelection() {
  groupBox(m_ids.selectionGroup, QRect(279, 32, 104, 42));
  caption(m_ids.selectionTitle, "SELECTION U/I", QRect(289, 37, 90, 10), true);
  caption(m_ids.channelLabel, m_channel == Channel::Control ? "CTRL" : "AUXin", QRect(289, 58, 27, 10));
  m_typeGroup = new QButtonGroup(this);
  m_typeGroup->addButton(radio(m_ids.radioU, "U", QRect(317, 57, 24, 12)), input_type::kVoltage);
  m_typeGroup->addButton(radio(m_ids.radioI, "I", QRect(341, 57, 24, 12)), input_type::kCurrent);
  connect(m_typeGroup, &QButtonGroup::idClicked, this, [this](int type) { onTypeClicked(type); });
  pushInputType();
}

// ---- fields ------------------------------------------------------------------

QString CChannelPage::fieldText(int id) const {
  QWidget* w = findControl(const_cast<CChannelPage*>(this), id);
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  return {};
}

CornerTexts CChannelPage::cornerTexts() const {
  auto t = [this](int id) { return fieldText(id).toStdString(); };
  return {t(m_ids.xLow), t(m_ids.xHigh), t(m_ids.yLow), t(m_ids.yHigh)};
}

void CChannelPage::setCornerTexts(const CornerTexts& t) {
  // The line through the shown corners comes with the texts from the page
  // rules, so the fields are set without running ComputeLine on each.
  const std::pair<int, const std::string*> order[] = {
      {m_ids.xLow, &t.xLow}, {m_ids.xHigh, &t.xHigh}, {m_ids.yLow, &t.yLow}, {m_ids.yHigh, &t.yHigh}};
  for (auto [id, text] : order) {
    auto* e = findControl<QLineEdit>(this, id);
    const QSignalBlocker quiet(e);
    e->setText(QString::fromStdString(*text));
  }
}

bool CChannelPage::setControlText(int id, const QString& text) {
  const bool outputCaption = !m_outputUnit.isEmpty() && id == m_ids.equivalentCaption;
  if (!CEditPage::setControlText(id, outputCaption ? text + m_outputUnit : text)) return false;
  // A new caption of an axis shows on the diagram at once.
  const bool axisCaption = id == m_ids.equivalentCaption || (!isInputChannel(m_channel) && id == m_ids.measuredCaption);
  if (axisCaption) drawLine({m_xLow, m_xHigh, m_yLow, m_yHigh});
  return true;
}

void CChannelPage::drawLine(const Corners& c) {
  m_xLow = c.xLow;
  m_xHigh = c.xHigh;
  m_yLow = c.yLow;
  m_yHigh = c.yHigh;
  QString xCaption;
  QString yCaption = fieldText(m_ids.equivalentCaption);
  if (isInputChannel(m_channel)) {
    // The pressure caption without its bracketed unit, then the input's.
    xCaption = yCaption.left(std::max<qsizetype>(0, yCaption.size() - 5)) + m_xUnit;
  } else {
    xCaption = fieldText(m_ids.measuredCaption);
  }
  m_diagram->SetLine(c.xLow, c.xHigh, c.yLow, c.yHigh, xCaption, yCaption);
}

void CChannelPage::pushInputType() {
  if (m_typeGroup == nullptr) return;
  if (QAbstractButton* b = m_typeGroup->button(m_inputType)) b->setChecked(true);
}

// ---- the page operations -----------------------------------------------------

void CChannelPage::Refresh(int keepButtons) {
  const Images im = images();
  readImageState(im);
  pushInputType();
  const ChannelView v = showChannel(m_channel, im, m_inputType, units());
  m_shown = v;
  m_xUnit = QString::fromLatin1(v.xUnit);
  setCornerTexts(v.texts);
  m_slope = v.line.slope;
  m_offset = v.line.offset;
  auto* measured = findControl<QLineEdit>(this, m_ids.measured);
  if (measured->text().isEmpty()) measured->setText(QStringLiteral("0"));
  UpdateEquivalent();
  if (keepButtons != 1) EnableModifyRestore(1);
  const DiagramScales scales = diagramScales(m_channel, m_inputType, units());
  m_diagram->SetScales(scales.yScale, scales.xScale);
  drawLine(v.corners);
  afterRefresh();
}

void CChannelPage::ComputeLine() {
  const TypedLine t = computeLine(cornerTexts());
  m_slope = t.line.slope;
  m_offset = t.line.offset;
  drawLine(t.corners);
}

void CChannelPage::UpdateEquivalent() {
  if (m_editing != 0) return;  // frozen while the user edits
  const std::string text =
      equivalentText(m_channel, Line{m_slope, m_offset}, fieldText(m_ids.measured).toStdString(), units());
  findControl<QLineEdit>(this, m_ids.equivalent)->setText(QString::fromStdString(text));
}

void CChannelPage::UpdateData(bool save) {
  if (m_typeGroup == nullptr) return;
  if (save) m_inputType = m_typeGroup->checkedId() == input_type::kCurrent ? input_type::kCurrent : input_type::kVoltage;
  else pushInputType();
}

void CChannelPage::onTypeClicked(int type) {
  if (m_editing != 1) {
    pushInputType();  // outside Modify mode a click changes nothing
    return;
  }
  // The other type's corners, as the device holds them; typed values go.
  m_inputType = type;
  Refresh(0);
}

void CChannelPage::OnModify() {
  m_typeBeforeModify = m_inputType;
  CEditPage::OnModify();
}

void CChannelPage::OnCancelEdit() {
  m_inputType = m_typeBeforeModify;
  CEditPage::OnCancelEdit();
}

SaveOutcome CChannelPage::buildSave() {
  ComputeLine();
  const ChannelEdits edits{cornerTexts(), m_inputType, readAs(), m_shown};
  return saveChannel(m_channel, images(), edits, units());
}

QString CChannelPage::fieldName(const Refusal& refusal) const {
  const std::pair<int, PageText> corners[] = {{m_ids.xLow, PageText::LowerXCorner},
                                              {m_ids.xHigh, PageText::UpperXCorner},
                                              {m_ids.yLow, PageText::LowerYCorner},
                                              {m_ids.yHigh, PageText::UpperYCorner}};
  for (auto [id, name] : corners) {
    if (id != refusal.controlId || !host().text) continue;
    const QString text = host().text(name);
    if (!text.isEmpty()) return text;
  }
  return CEditPage::fieldName(refusal);
}

SaveOutcome CChannelPage::buildRestore() { return restoreChannel(m_channel, images()); }

}  // namespace vrx4
