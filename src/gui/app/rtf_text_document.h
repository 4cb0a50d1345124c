// The rich-text reader's paragraphs as a Qt text document.
#pragma once

#include <vector>

#include "core/base/rtf_reader.h"

class QTextDocument;

namespace vrx4 {

void fillTextDocument(QTextDocument& doc, const std::vector<RtfParagraph>& paragraphs);

}  // namespace vrx4
