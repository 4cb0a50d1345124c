#include "gui/app/manual_viewer.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "gui/app/message_box.h"

namespace vrx4 {
namespace {

DocumentOpener& opener() {
  static DocumentOpener o = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
  return o;
}

}  // namespace

void setDocumentOpener(DocumentOpener o) { opener() = std::move(o); }

std::string manualFileName(std::uint8_t language) {
  switch (language) {
    case 0: return "Manual-tarvo-en.pdf";
    case 1: return "Manuel-tarvo-fr.pdf";
    case 2: return "Manual-tarvo-de.pdf";
    case 3: return "Manual-tarvo-it.pdf";
    default: return {};
  }
}

bool openManual(QWidget* parent, const std::string& dataDir, std::uint8_t language) {
  const std::string name = manualFileName(language);
  if (name.empty()) {
    messageBox(parent, QStringLiteral("There is no manual for this language."));
    return false;
  }
  const QString path = QString::fromStdString(dataDir + name);
  if (!QFileInfo(path).isFile()) {
    messageBox(parent, QStringLiteral("The user manual cannot be found:\n%1").arg(path));
    return false;
  }
  if (!opener()(path)) {
    messageBox(parent, QStringLiteral("No PDF viewer could open the user manual:\n%1").arg(path));
    return false;
  }
  return true;
}

}  // namespace vrx4
