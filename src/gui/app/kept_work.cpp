#include "gui/app/kept_work.h"

#include <QMessageBox>
#include <QPushButton>
#include <cstdio>
#include <ctime>
#include <initializer_list>

#include "core/base/language_table.h"
#include "core/memory/config_file.h"
#include "core/memory/recovery_copy.h"
#include "gui/app/main_frame.h"
#include "gui/app/vrx4_app.h"
#include "gui/memory/tools_page.h"
#include "gui/pages/page_registry.h"

namespace vrx4 {
namespace {

// Each "%s" of `text` replaced by the next value.
QString filled(QString text, std::initializer_list<std::string> values) {
  qsizetype from = 0;
  for (const std::string& v : values) {
    const qsizetype at = text.indexOf(QLatin1String("%s"), from);
    if (at < 0) break;
    const QString value = QString::fromStdString(v);
    text.replace(at, 2, value);
    from = at + value.size();
  }
  return text;
}

}  // namespace

KeptWorkAnswer CKeptWork::ask(const QString& text) {
  QWidget* parent = m_app.mainFrame();
  if (m_question) return m_question(parent, text);
  QMessageBox box(QMessageBox::Question, QStringLiteral("VRX4"), text, QMessageBox::NoButton, parent);
  auto* open = box.addButton(QString::fromStdString(m_app.keptText(Kept::OpenButton)), QMessageBox::AcceptRole);
  auto* discard = box.addButton(QString::fromStdString(m_app.keptText(Kept::Discard)), QMessageBox::DestructiveRole);
  auto* later = box.addButton(QString::fromStdString(m_app.keptText(Kept::Later)), QMessageBox::RejectRole);
  box.setDefaultButton(open);
  box.setEscapeButton(later);
  box.exec();
  if (box.clickedButton() == open) return KeptWorkAnswer::Open;
  if (box.clickedButton() == discard) return KeptWorkAnswer::Discard;
  return KeptWorkAnswer::Later;  // also when the box was closed without an answer
}

void CKeptWork::Offer() {
  if (m_folder.empty() || g_pToolsPage == nullptr) return;
  for (const recovery::Copy& copy : recovery::list(m_folder)) {
    // A file there that is not one of our copies is not offered.
    if (copy.file.empty()) continue;
    const QString text = filled(QString::fromStdString(m_app.keptText(Kept::KeptWorkOffer)),
                                {copy.file, copy.path, copy.file});
    switch (ask(text)) {
      case KeptWorkAnswer::Open:
        // Unsaved changes to the file they belong to: Save writes them
        // there, and nothing is taken as saved until then.
        if (g_pToolsPage->OpenUnsavedCopy(copy.path, copy.file)) {
          m_openedCopy = copy.path;
          return;
        }
        break;
      case KeptWorkAnswer::Discard: std::remove(copy.path.c_str()); break;
      case KeptWorkAnswer::Later: break;
    }
  }
}

void CKeptWork::AtClose(bool sessionEnds) {
  bool settled = true;  // the work of an opened copy is saved, discarded or kept anew
  if (sessionEnds && g_pToolsPage != nullptr && g_pToolsPage->unsavedChanges()) {
    DeviceState& s = m_app.state();
    const Images im = s.snapshot();
    const std::string file = s.configFilePath();
    const recovery::Kept kept = recovery::keep(
        m_folder, file, config_file::wholeConfiguration(im.g_optionDevice, im.g_baseDevice), std::time(nullptr));
    if (kept.ok) {
      std::fprintf(stderr, "vrx4: the unsaved changes to %s were kept in %s\n", file.c_str(), kept.path.c_str());
    } else {
      std::fprintf(stderr, "vrx4: the unsaved changes to %s could not be kept: %s\n", file.c_str(),
                   kept.detail.c_str());
      settled = false;
    }
  }
  // A copy that has become the file being worked on is no copy any more.
  if (settled && !m_openedCopy.empty() && m_openedCopy != m_app.state().configFilePath())
    std::remove(m_openedCopy.c_str());
  m_openedCopy.clear();
}

}  // namespace vrx4
