// The user manual: the PDF of the current language, opened in the
// desktop's PDF viewer.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace vrx4 {

// "Manual-tarvo-en.pdf", "Manuel-tarvo-fr.pdf", "Manual-tarvo-de.pdf",
// "Manual-tarvo-it.pdf"; empty for a language number above 3.
std::string manualFileName(std::uint8_t language);

// Opens the manual; a missing file or a desktop without a PDF viewer gets
// a message. Returns true when the viewer was asked to open it.
bool openManual(QWidget* parent, const std::string& dataDir, std::uint8_t language);

// What opens a document (the desktop's viewer); tests replace it.
using DocumentOpener = std::function<bool(const QString& path)>;
void setDocumentOpener(DocumentOpener opener);

}  // namespace vrx4
