// What the main view hands the tools page and the EEPROM map pages: the
// device state, their texts, message boxes, file dialogs and the
// unsaved-changes question, and the view's own side of the port, range,
// reconnection and about commands.
#include <QCoreApplication>

#include "gui/app/gui_notifier.h"
#include "core/base/language_table.h"
#include "gui/app/message_box.h"
#include "gui/app/port_dialog.h"
#include "gui/app/range_dialog.h"
#include "gui/app/report_command.h"
#include "gui/app/vrx4_app.h"
#include "gui/app/vrx4_view.h"
#include "gui/memory/tools_page.h"
#include "gui/pages/page_registry.h"

namespace vrx4 {
namespace {

Kept keptFor(MemoryText t) {
  switch (t) {
    case MemoryText::TransferBusy: return Kept::TransferBusy;
    case MemoryText::UnsavedChanges: return Kept::UnsavedChanges;
    case MemoryText::Save: return Kept::Save;
    case MemoryText::Discard: return Kept::Discard;
    case MemoryText::Cancel: return Kept::Cancel;
    case MemoryText::FileNotSaved: return Kept::FileNotSaved;
    case MemoryText::FileDoesNotSupply: return Kept::FileDoesNotSupply;
    case MemoryText::ChangedMeanwhile: return Kept::ChangedMeanwhile;
    case MemoryText::ImagesNotConfirmed: return Kept::ImagesNotConfirmed;
    case MemoryText::WriteRunningFileMode: return Kept::WriteRunningFileMode;
  }
  return Kept::TransferBusy;
}

}  // namespace

void CVRX4View::setUpMemoryHost() {
  m_memoryHost.state = &m_app.state();
  m_memoryHost.text = [this](MemoryText t) { return QString::fromStdString(m_app.keptText(keptFor(t))); };
  m_memoryHost.message = [](QWidget* parent, const QString& text) { messageBox(parent, text); };
  m_memoryHost.chooseFile = chooseConfigFile;
  m_memoryHost.ask = askUnsaved;
  m_memoryHost.post = [this](std::uint32_t message) {
    QCoreApplication::postEvent(this, new LinkEvent(message, 0, 0));
  };
  m_memoryHost.selectPort = [this](QWidget* parent) { OnSelectPort(parent); };
  m_memoryHost.selectRange = [this](QWidget* parent) {
    const Settings& st = m_app.settings();
    CPressureRangeDialog range(parent, st.m_nPressureUnit, st.m_bAutoScale, st.m_nPressureScale,
                               QString::fromStdString(m_app.keptText(Kept::RangeCaption)),
                               QString::fromStdString(m_app.keptText(Kept::Ok)),
                               QString::fromStdString(m_app.keptText(Kept::Cancel)));
    if (range.exec() != QDialog::Accepted) return;
    CPressureRangeDialog::apply(m_app, range.selectedIndex());
    UpdateUnitLabels();  // the pages' scales follow the range
  };
  m_memoryHost.about = [this] { m_app.OnAppAbout(); };
  // A child of the view, found there by tests that answer its dialogs.
  auto* report = new CReportCommand(m_app, this);
  m_memoryHost.report = [report](QWidget* parent) { report->run(parent); };
}

void CVRX4View::OnSelectPort(QWidget* parent) {
  CPortDialog dialog(parent, m_portLister);
  dialog.setTexts(QString::fromStdString(m_app.keptText(Kept::PortCaption)),
                  QString::fromStdString(m_app.keptText(Kept::Ok)),
                  QString::fromStdString(m_app.keptText(Kept::Cancel)));
  dialog.m_port = m_app.linkPort();
  dialog.exec();
  m_app.choosePort(dialog.m_port);
  // Saved and read back even after Cancel. The pressure range is not
  // written to the file: the one chosen in this run stays.
  Settings& st = m_app.settings();
  const std::uint8_t scale = st.m_nPressureScale;
  const bool autoScale = st.m_bAutoScale;
  m_app.SaveSettings();
  m_app.LoadSettings();
  st.m_nPressureScale = scale;
  st.m_bAutoScale = autoScale;
  m_app.state().m_bAutoScale.store(autoScale);
}

bool CVRX4View::QueryClose() { return g_pToolsPage == nullptr || g_pToolsPage->ConfirmDiscard(); }

}  // namespace vrx4
