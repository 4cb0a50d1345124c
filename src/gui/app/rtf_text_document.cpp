#include "gui/app/rtf_text_document.h"

#include <QTextCursor>
#include <QTextDocument>

namespace vrx4 {

void fillTextDocument(QTextDocument& doc, const std::vector<RtfParagraph>& paragraphs) {
  doc.clear();
  QTextCursor cursor(&doc);
  bool first = true;
  for (const RtfParagraph& p : paragraphs) {
    if (!first) cursor.insertBlock();
    first = false;
    for (const RtfRun& run : p.runs) {
      QTextCharFormat f;
      f.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
      f.setFontItalic(run.italic);
      f.setFontUnderline(run.underline);
      f.setFontPointSize(run.halfPoints / 2.0);
      cursor.insertText(QString::fromStdString(run.text), f);
    }
  }
}

}  // namespace vrx4
