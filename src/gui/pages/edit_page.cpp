#include "gui/pages/edit_page.h"

#include <QFrame>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

#include "gui/controls/dialog_units.h"
#include "gui/controls/colour_button.h"
#include "gui/controls/colour_combo_box.h"
#include "gui/controls/colour_edit.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/colour_radio.h"
#include "gui/controls/command_reason.h"
#include "gui/controls/control_id.h"
#include "gui/controls/shown_note.h"

namespace vrx4 {
namespace {

// A rectangle in dialog units, in pixels.
QRect pixels(QRect dlu) { return dluRect(dlu.x(), dlu.y(), dlu.width(), dlu.height()); }

}  // namespace

CEditPage::CEditPage(int dialogId, const PageHost& host, EditButtonIds buttons, QWidget* parent)
    : CPage(dialogId, parent, colour::kWhite), m_host(host), m_buttonIds(buttons) {
  // Above the groups, across the page.
  m_note = new CShownNote(this, pixels(QRect(5, 5, 514, 12)), colour::kWhite);
}

bool CEditPage::fileMode() const { return state().g_fileMode.load() == 1; }

QPushButton* CEditPage::button(int id) const {
  return findControl<QPushButton>(const_cast<CEditPage*>(this), id);
}

void CEditPage::showMessage(const QString& text) {
  if (m_host.message) m_host.message(this, text);
}

// ---- controls --------------------------------------------------------------

CColourEdit* CEditPage::pageEdit(int id, QRect dlu) {
  CColourEdit* e = measuredEdit(id, dlu);
  m_measured.pop_back();
  e->setTextColour(colour::kBlack);
  e->setFocusPolicy(Qt::StrongFocus);
  m_edits.push_back(e);
  return e;
}

CColourEdit* CEditPage::measuredEdit(int id, QRect dlu) {
  auto* e = new CColourEdit(this);
  setControlId(e, id);
  e->setTextColour(colour::kDarkBlue);
  e->setBackColour(colour::kPanel);
  e->setReadOnly(true);
  e->setFocusPolicy(Qt::NoFocus);
  e->setGeometry(pixels(dlu));
  m_measured.push_back(e);
  return e;
}

CColourLabel* CEditPage::caption(int id, const char* text, QRect dlu, bool bold) {
  auto* l = new CColourLabel(QString::fromUtf8(text), this);
  setControlId(l, id);
  l->setTextColour(colour::kBlack);
  l->setBackColour(colour::kPanel);
  if (bold) {
    l->m_styleOn = 1;
    l->applyFont();
  }
  l->setGeometry(pixels(dlu));
  return l;
}

CColourRadio* CEditPage::radio(int id, const char* text, QRect dlu, ColourWord textColour) {
  auto* r = new CColourRadio(QString::fromUtf8(text), this);
  setControlId(r, id);
  r->setTextColour(textColour);
  r->setGeometry(pixels(dlu));
  return r;
}

QWidget* CEditPage::groupBox(int id, QRect dlu) {
  auto* f = new QFrame(this);
  setControlId(f, id);
  f->setFrameShape(QFrame::Box);
  f->setFrameShadow(QFrame::Sunken);
  f->setGeometry(pixels(dlu));
  f->lower();
  m_groups.push_back(f);
  return f;
}

void CEditPage::createButtons(QRect first, QRect second, int defaultButtonId) {
  struct ButtonRow {
    int id;
    const char* text;
    QRect place;
    ColourWord back;
    void (CEditPage::*handler)();
  };
  const ButtonRow rows[] = {{m_buttonIds.modify, "Modify", first, colour::kRed, &CEditPage::OnModify},
                          {m_buttonIds.save, "Save", first, colour::kRed, &CEditPage::OnSave},
                          {m_buttonIds.restore, "Restore", second, colour::kTeal, &CEditPage::OnRestore},
                          {m_buttonIds.cancel, "Cancel", second, colour::kTeal, &CEditPage::OnCancelEdit}};
  for (const ButtonRow& s : rows) {
    auto* b = new CColourButton(QString::fromLatin1(s.text), this);
    setControlId(b, s.id);
    b->setTextColour(colour::kBlack);
    b->setBackColour(s.back);
    // The page's own font: the buttons' height of 8 is the 8-point dialog
    // font they were designed with, and a cell of 8 pixels is unreadable.
    b->setGeometry(pixels(s.place));
    connect(b, &QPushButton::clicked, this, [this, h = s.handler] { (this->*h)(); });
  }
  // The dialog's default button: hidden and disabled, so that Enter in a
  // field has nothing to press.
  auto* hidden = new QPushButton(QStringLiteral("OK"), this);
  setControlId(hidden, defaultButtonId);
  hidden->setEnabled(false);
  hidden->hide();
  SetEditMode(0);
}

// ---- the flow ----------------------------------------------------------------

void CEditPage::SetEditMode(int on) {
  m_editing = on == 1 ? 1 : 0;
  const ColourWord back = m_editing ? colour::kWhite : colour::kPanel;
  for (CColourEdit* e : m_edits) {
    e->setReadOnly(!m_editing);
    e->setBackColour(back);
  }
  for (CColourComboBox* list : m_lists) {
    setCommandEnabled(list, m_editing, Blocked::NotEditing);
    list->setBackColour(back);
  }
  applyFreshness();
  auto show = [this](int id, bool visible) {
    if (QPushButton* b = button(id)) b->setVisible(visible);
  };
  show(m_buttonIds.modify, !m_editing);
  show(m_buttonIds.save, m_editing);
  show(m_buttonIds.restore, !m_editing && hasRestore());
  show(m_buttonIds.cancel, m_editing);
}

void CEditPage::EnableModifyRestore(int on) {
  setCommandEnabled(button(m_buttonIds.modify), on == 1, waitReason());
  setCommandEnabled(button(m_buttonIds.restore), on == 1 && hasRestore(), waitReason());
}

void CEditPage::ShowFreshness(Shown images, bool liveSilent) {
  m_shownImages = images;
  m_liveSilent = liveSilent;
  applyFreshness();
}

void CEditPage::applyFreshness() {
  const bool lastRead = m_shownImages != Shown::Current && m_editing == 0;
  for (CColourEdit* e : m_edits) e->setTextColour(lastRead ? kLastReadText : colour::kBlack);
  for (CColourEdit* e : m_measured) e->setTextColour(m_liveSilent ? kLastReadText : colour::kDarkBlue);
  if (m_note != nullptr) m_note->showFor(m_shownImages);
}

void CEditPage::OnModify() { SetEditMode(1); }

void CEditPage::OnCancelEdit() {
  SetEditMode(0);
  Refresh(0);
}

void CEditPage::OnSave() {
  if (m_editing != 1) return;
  const SaveOutcome outcome = buildSave();
  if (outcome.refused()) {
    // Nothing is written; the page stays in Modify mode with what the
    // user typed, and the field at fault gets the focus.
    showMessage(refusalMessage(*outcome.refusal));
    if (auto* field = findControl<QLineEdit>(this, outcome.refusal->controlId)) {
      field->setFocus(Qt::OtherFocusReason);
      field->selectAll();
    }
    return;
  }
  beforeWrite(outcome);
  finishWrite(outcome);
}

QString CEditPage::fieldName(const Refusal& refusal) const { return QString::fromStdString(refusal.field); }

QString CEditPage::refusalMessage(const Refusal& refusal) const {
  const QString english = QString::fromStdString(refusal.message);
  if (refusal.kind == RefusalKind::Other || !m_host.text) return english;
  const QString text =
      m_host.text(refusal.kind == RefusalKind::NotANumber ? PageText::NotANumber : PageText::NotAWholeNumber);
  // A language file without the text: the rules' own message.
  if (!text.contains(QStringLiteral("%s"))) return english;
  return QString::fromStdString(fillField(text.toStdString(), fieldName(refusal).toStdString()));
}

void CEditPage::OnRestore() {
  if (!hasRestore() || m_editing == 1) return;
  const SaveOutcome outcome = buildRestore();
  if (outcome.refused()) {
    showMessage(QString::fromStdString(outcome.refusal->message));
    return;
  }
  finishWrite(outcome);
}

void CEditPage::finishWrite(const SaveOutcome& outcome) {
  const auto work = outcome.work();
  m_work.assign(work.begin(), work.end());
  Wait(Blocked::TransferRunning);
  if (!RequestWrite(outcome)) {
    // Refused before anything was written: the page stays as it was (in
    // Modify mode after a Save) and its buttons work again.
    EnableModifyRestore(1);
    return;
  }
  SetEditMode(0);
  // In file mode the images changed at once: show them as they now are,
  // as a device write shows the confirmed bytes.
  if (fileMode()) Refresh(0);
}

bool CEditPage::RequestWrite(const SaveOutcome& outcome) {
  DeviceState& s = state();
  if (fileMode()) {
    if (s.applyInFileMode(outcome.request)) return true;
    showMessage(m_host.text ? m_host.text(PageText::RequestInvalid) : QString());
    return false;
  }
  switch (s.publishRequest(outcome.request)) {
    case DeviceState::Publish::Accepted: return true;
    case DeviceState::Publish::Busy:
      showMessage(m_host.text ? m_host.text(PageText::TransferBusy) : QString());
      return false;
    case DeviceState::Publish::Invalid: break;
  }
  showMessage(m_host.text ? m_host.text(PageText::RequestInvalid) : QString());
  return false;
}

void CEditPage::RefreshAfterTransfer() {
  // A page the user is editing keeps what was typed: only its buttons
  // come back. Any other page shows the device images again.
  if (m_editing == 1) {
    EnableModifyRestore(1);
    return;
  }
  Refresh(0);
}

// ---- painting and keys -------------------------------------------------------

void CEditPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  const QColor panel = toQColor(colour::kPanel);
  for (QWidget* g : m_groups)
    if (g->isVisibleTo(this)) p.fillRect(g->geometry(), panel);
}

void CEditPage::keyPressEvent(QKeyEvent* event) {
  // Enter and Escape never save, restore or close a page.
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: event->accept(); return;
    default: CPage::keyPressEvent(event);
  }
}

}  // namespace vrx4
