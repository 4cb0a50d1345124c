#include "gui/pages/page.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>

#include "gui/controls/colour_scheme.h"
#include "gui/controls/control_id.h"

namespace vrx4 {

CPage::CPage(int dialogId, QWidget* parent, ColourWord background)
    : QWidget(parent), m_dialogId(dialogId), m_background(background) {
  setControlId(this, dialogId);
  hide();
}

void CPage::Refresh(int) {}
void CPage::SetEditMode(int) {}
void CPage::EnableModifyRestore(int) {}
void CPage::UpdateData(bool) {}
void CPage::RefreshAsLoaded() {}
void CPage::ShowFreshness(Shown, bool) {}

bool CPage::setControlText(int id, const QString& text) {
  QWidget* w = findChild<QWidget*>(QString::number(id));
  if (w == nullptr) return false;
  // A text set again as it is is not drawn again: the live values set
  // theirs many times a second.
  if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    if (b->text() != text) b->setText(text);
  } else if (auto* l = qobject_cast<QLabel*>(w)) {
    if (l->text() != text) l->setText(text);
  } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
    if (e->text() != text) e->setText(text);
  } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
    if (g->title() != text) g->setTitle(text);
  } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
    if (p->toPlainText() != text) p->setPlainText(text);
  } else {
    return false;
  }
  return true;
}

void CPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), toQColor(m_background));
}

}  // namespace vrx4
