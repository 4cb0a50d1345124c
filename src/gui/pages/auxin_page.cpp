#include "gui/pages/auxin_page.h"

#include <QSignalBlocker>

#include "gui/controls/dialog_units.h"
#include "gui/controls/colour_combo_box.h"
#include "gui/controls/control_id.h"

namespace vrx4 {

CAuxinPage::CAuxinPage(const PageHost& host, QWidget* parent)
    : CChannelPage(Channel::Auxin, dialog::kAuxin, host, parent) {
  createTypeSelection();
  groupBox(auxin_id::kReadAsGroup, QRect(279, 79, 104, 57));
  caption(auxin_id::kReadAsText, "TO BE READ AS", QRect(289, 86, 90, 10), true);
  m_list = new CColourComboBox(this);
  setControlId(m_list, auxin_id::kReadAsList);
  m_list->setTextColour(colour::kBlack);
  m_list->addItem(QStringLiteral("Monitoring value"));
  m_list->addItem(QStringLiteral("P2 pressure"));
  m_list->setCurrentIndex(0);
  m_list->setGeometry(dluRect(284, 101, 96, 14));
  addEditableList(m_list);
  connect(m_list, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (m_editing == 1) m_readAs = index == 1 ? 1 : 0;
  });
  SetEditMode(0);
}

bool CAuxinPage::setControlText(int id, const QString& text) {
  // The label table's texts for the two items of the list, in their order.
  for (int i = 0; i < 2; ++i) {
    if (id == auxin_id::kReadAsItems[i]) {
      m_list->setItemText(i, text);
      return true;
    }
  }
  return CChannelPage::setControlText(id, text);
}

void CAuxinPage::readImageState(const Images& im) {
  if (m_editing != 0) return;
  const QSignalBlocker quiet(m_list);
  m_list->setCurrentIndex(auxinReadAs(im.g_optionDevice));
  m_readAs = m_list->currentIndex() == 1 ? 1 : 0;
  // In file mode no device reports the type: it is read from FLAG, so that
  // a Save keeps a current input a current input.
  if (fileMode()) m_inputType = auxinInputType(im.g_optionDevice);
}

void CAuxinPage::afterRefresh() {
  const bool shown = readAsGroupVisible(units().accessMode);
  for (int id : {auxin_id::kReadAsGroup, auxin_id::kReadAsText, auxin_id::kReadAsList})
    findControl(this, id)->setVisible(shown);
  update();
}

void CAuxinPage::UpdateData(bool save) {
  CChannelPage::UpdateData(save);
  const QSignalBlocker quiet(m_list);
  if (save) m_readAs = m_list->currentIndex() == 1 ? 1 : 0;
  else m_list->setCurrentIndex(m_readAs);
}

void CAuxinPage::OnModify() {
  Refresh(0);
  CChannelPage::OnModify();
}

}  // namespace vrx4
