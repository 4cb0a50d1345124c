#include "gui/memory/map_edit.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

#include "core/base/line_ends.h"
#include "gui/controls/colour_scheme.h"
#include "gui/controls/control_id.h"

namespace vrx4 {

CMapEdit::CMapEdit(int id, QWidget* parent) : QPlainTextEdit(parent) {
  setControlId(this, id);
  // "Courier" where it is installed, else the system's fixed-pitch font.
  QFont font(QStringLiteral("Courier"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPixelSize(12);
  font.setWeight(QFont::Normal);
  setFont(font);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setTabChangesFocus(true);
  setTextColour(colour::kBlack);
}

void CMapEdit::setTextColour(ColourWord c) {
  m_textColour = c;
  QPalette p = palette();
  p.setColor(QPalette::Text, toQColor(c));
  p.setColor(QPalette::Base, Qt::white);
  setPalette(p);
  viewport()->update();
}

void CMapEdit::caretToStart() {
  QTextCursor c = textCursor();
  c.movePosition(QTextCursor::Start);
  setTextCursor(c);
  ensureCursorVisible();
}

void CMapEdit::caretTo(std::size_t line, std::size_t column) {
  const QTextBlock block = document()->findBlockByNumber(line > 0 ? static_cast<int>(line - 1) : 0);
  if (!block.isValid()) return caretToStart();
  QTextCursor c(block);
  c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor,
                 std::min(static_cast<int>(column), static_cast<int>(block.length() - 1)));
  setTextCursor(c);
  ensureCursorVisible();
  setFocus(Qt::OtherFocusReason);
}

std::string CMapEdit::crLfText() const {
  return toCrLf(toPlainText().toStdString());
}

void CMapEdit::setCrLfText(const std::string& text) {
  setPlainText(QString::fromStdString(text).remove(QLatin1Char('\r')));
}

void CMapEdit::keyPressEvent(QKeyEvent* event) {
  const QString typed = event->text();
  if (!isReadOnly() && !typed.isEmpty() && typed != typed.toUpper() &&
      !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
    insertPlainText(typed.toUpper());
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void CMapEdit::insertFromMimeData(const QMimeData* source) {
  if (source->hasText()) insertPlainText(source->text().toUpper());
}

}  // namespace vrx4
