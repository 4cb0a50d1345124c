#include "gui/memory/tools_page.h"

#include <QFileInfo>
#include <QPushButton>

#include "gui/controls/colour_button.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/control_id.h"
#include "core/link/link_notifier.h"
#include "core/memory/recovery_copy.h"
#include "gui/memory/info_page.h"

namespace vrx4 {
namespace {

using namespace tools_id;

struct Button {
  int id;
  const char* text;
  QRect place;
  void (CToolsPage::*handler)();
  bool settingOnly;  // hidden in VISUALISATION
};

constexpr int kLeftX = 40, kLeftW = 280, kRightW = 195, kH = 30;
const Button kButtons[] = {
    {kNew, "New", {kLeftX, 52, kLeftW, kH}, &CToolsPage::OnNew, true},
    {kOpen, "Open", {kLeftX, 88, kLeftW, kH}, &CToolsPage::OnOpen, true},
    {kClose, "Close", {kLeftX, 124, kLeftW, kH}, &CToolsPage::OnClose, true},
    {kSave, "Save", {kLeftX, 160, kLeftW, kH}, &CToolsPage::OnSave, true},
    {kSaveAs, "Save as...", {kLeftX, 196, kLeftW, kH}, &CToolsPage::OnSaveAs, true},
    {kImport, "Import from VRX", {kLeftX, 256, kLeftW, kH}, &CToolsPage::OnImport, true},
    {kExport, "Export to VRX", {kLeftX, 292, kLeftW, kH}, &CToolsPage::OnExport, true},
    {kReload, "Reload EEPROM", {kLeftX, 352, kLeftW, kH}, &CToolsPage::OnReload, true},
    {kRestore, "Restore VRX's configuration", {kLeftX, 388, kLeftW, kH}, &CToolsPage::OnRestore, true},
    {kInformation, "VRX's information", {370, 24, kRightW, kH}, &CToolsPage::OnInformation, false},
    {kPort, "Port COMx selection", {575, 24, kRightW, kH}, &CToolsPage::OnPort, false},
    {kReconnect, "Reconnexion", {370, 60, kRightW, kH}, &CToolsPage::OnReconnect, false},
    {kRange, "Echelle de pression", {575, 60, kRightW, kH}, &CToolsPage::OnRange, false},
    {kAbout, "About Tarvo", {370, 96, kRightW, kH}, &CToolsPage::OnAbout, false},
    {kReport, "Report...", {575, 96, kRightW, kH}, &CToolsPage::OnReport, true},
};

}  // namespace

CToolsPage::CToolsPage(const MemoryHost& host, QWidget* parent)
    : CPage(dialog::kTools, parent, colour::kWhite), m_host(host) {
  auto* caption = new CColourLabel(QStringLiteral("FILE"), this);
  setControlId(caption, kFileCaption);
  caption->setBackColour(colour::kWhite);
  caption->m_styleOn = 1;
  caption->applyFont();
  caption->setGeometry(kLeftX, 24, kLeftW, 22);
  for (const Button& b : kButtons) {
    auto* w = new CColourButton(QString::fromLatin1(b.text), this);
    setControlId(w, b.id);
    w->setGeometry(b.place);
    connect(w, &QPushButton::clicked, this, [this, h = b.handler] { (this->*h)(); });
  }
  m_info = new CInfoPage(this);
  m_info->setGeometry(370, 150, 400, 220);
  m_info->hide();
  SetFileButtons(false);
  ApplyAccessMode(0);
}

QPushButton* CToolsPage::button(int id) const { return findControl<QPushButton>(const_cast<CToolsPage*>(this), id); }

void CToolsPage::ApplyAccessMode(std::uint32_t mode) {
  const bool setting = mode >= 2 && mode <= 4;
  for (const Button& b : kButtons)
    if (b.settingOnly) button(b.id)->setVisible(setting);
  findControl<QWidget>(this, kFileCaption)->setVisible(setting);
}

void CToolsPage::EnableModifyRestore(int enable) {
  for (int id : {kRestore, kInformation, kImport, kExport, kReload, kReport}) button(id)->setEnabled(enable == 1);
}

void CToolsPage::SetFileButtons(bool fileOpen) {
  for (int id : {kNew, kOpen}) button(id)->setEnabled(!fileOpen);
  for (int id : {kClose, kSave, kSaveAs}) button(id)->setEnabled(fileOpen);
}

std::string CToolsPage::currentText() const {
  const Images im = m_host.state->snapshot();
  return config_file::wholeConfiguration(im.g_optionDevice, im.g_baseDevice);
}

bool CToolsPage::unsavedChanges() const {
  return m_host.state->g_fileMode.load() == 1 && currentText() != m_savedText;
}

bool CToolsPage::ConfirmDiscard() {
  if (!unsavedChanges()) return true;
  const QString question = fillIn(m_host.textOf(MemoryText::UnsavedChanges),
                                  QString::fromStdString(m_host.state->configFilePath()));
  switch (m_host.ask ? m_host.ask(this, question, m_host) : UnsavedAnswer::Cancel) {
    case UnsavedAnswer::Save:
      if (!saveToTarget()) return false;
      m_savedText = currentText();
      return true;
    case UnsavedAnswer::Discard: return true;
    case UnsavedAnswer::Cancel: break;
  }
  return false;
}

void CToolsPage::beginCommand(bool toolsPage) {
  if (toolsPage) m_host.state->g_currentPage.store(11);
  m_info->hide();
}

QString CToolsPage::chooseFile(FileDialogKind kind, int buttonId) {
  if (!m_host.chooseFile) return {};
  return m_host.chooseFile(this, kind, button(buttonId)->text());
}

bool CToolsPage::saveTo(const std::string& path) {
  std::string detail;
  if (config_file::saveText(path, currentText(), &detail) == config_file::SaveStatus::Saved) return true;
  m_host.show(this, saveFailure(m_host, detail));
  return false;
}

bool CToolsPage::saveToTarget() {
  const std::string target = m_host.state->configFilePath();
  if (m_targetRead || !QFileInfo::exists(QString::fromStdString(target))) {
    if (!saveTo(target)) return false;
    m_targetRead = true;
    return true;
  }
  // New named a file that exists and that this program never read: it is
  // replaced only through the save dialog, which asks first.
  const QString path = chooseFile(FileDialogKind::Save, kSave);
  return !path.isEmpty() && saveTo(path.toStdString());
}

void CToolsPage::enterFileMode() {
  m_savedText = currentText();
  SetFileButtons(true);
  EnableModifyRestore(1);
}

void CToolsPage::leaveFileMode() {
  DeviceState& s = *m_host.state;
  s.g_fileMode.store(0);
  s.g_fileModeNoticeShown.store(0);
  m_savedText.clear();
  SetFileButtons(false);
  // The images hold the file, not the regulator: the pages wait for the
  // regulator's own images before they show or write anything again.
  reloadImages();
}

bool CToolsPage::reloadImages() {
  DeviceState& s = *m_host.state;
  TransferRequest r;
  r.op = op::kReadOption;
  const std::uint8_t loaded = s.g_eepromLoaded.exchange(0);
  // A full read already under way does as well as a new one.
  const bool reading = s.publishRequest(r) == DeviceState::Publish::Accepted || s.fullReadRunning();
  if (!reading) {
    s.g_eepromLoaded.store(loaded);
    return false;
  }
  if (m_host.post) m_host.post(msg::kReloadStarted);
  return true;
}

bool CToolsPage::fileModeMayStart() {
  if (m_host.state->fileModeMayStart()) return true;
  m_host.show(this, m_host.textOf(MemoryText::WriteRunningFileMode));
  return false;
}

void CToolsPage::OnNew() {
  beginCommand(false);
  if (!fileModeMayStart() || !ConfirmDiscard()) return;
  const QString path = chooseFile(FileDialogKind::New, kNew);
  if (path.isEmpty()) return;
  DeviceState& s = *m_host.state;
  // A read that runs is dropped by the link engine; none of its replies
  // lands in the file's images.
  s.openFileMode(path.toStdString());
  m_targetRead = false;
  enterFileMode();
}

void CToolsPage::OnOpen() {
  beginCommand(false);
  if (!fileModeMayStart() || !ConfirmDiscard()) return;
  const QString path = chooseFile(FileDialogKind::Open, kOpen);
  if (path.isEmpty()) return;
  DeviceState& s = *m_host.state;
  const bool wasPending = s.requestPending();
  const auto r = config_file::readForOpen(path.toStdString(), s);
  if (r.status != config_file::ReadStatus::Read) {
    // A file not read whole is not taken: the program stays where it was,
    // in file mode on the previous file (its work kept) or in device mode.
    m_host.show(this, readFailure(r, path.toStdString()));
    if (wasPending && s.g_fileMode.load() == 0) reloadImages();
    return;
  }
  m_targetRead = true;
  enterFileMode();
}

bool CToolsPage::OpenUnsavedCopy(const std::string& copyPath, const std::string& savePath) {
  DeviceState& s = *m_host.state;
  const bool wasPending = s.requestPending();
  s.finishRequest();
  const auto r = recovery::open(copyPath, savePath, s);
  if (r.status != config_file::ReadStatus::Read) {
    m_host.show(this, readFailure(r, copyPath));
    if (wasPending && s.g_fileMode.load() == 0) reloadImages();
    return false;
  }
  // The work was made on that file, which this program had read: a Save
  // goes there, as it would have before the program was ended.
  m_targetRead = true;
  enterFileMode();
  // The file on disk does not hold this work: unsaved until it is saved.
  m_savedText.clear();
  return true;
}

void CToolsPage::OnClose() {
  beginCommand(false);
  if (m_host.state->g_fileMode.load() != 1 || !ConfirmDiscard()) return;
  m_host.state->closeFileMode();
  leaveFileMode();
}

void CToolsPage::OnSave() {
  beginCommand(false);
  if (m_host.state->g_fileMode.load() != 1) return;
  if (saveToTarget()) leaveFileMode();
}

void CToolsPage::OnSaveAs() {
  beginCommand(false);
  if (m_host.state->g_fileMode.load() != 1) return;
  const QString path = chooseFile(FileDialogKind::Save, kSaveAs);
  if (!path.isEmpty() && saveTo(path.toStdString())) leaveFileMode();
}

void CToolsPage::OnImport() {
  beginCommand();
  // Images the connected regulator has not confirmed may be another one's.
  if (!m_host.state->imagesConfirmed()) {
    m_host.show(this, m_host.textOf(MemoryText::ImagesNotConfirmed));
    return;
  }
  const QString path = chooseFile(FileDialogKind::Save, kImport);
  if (path.isEmpty()) return;
  saveTo(path.toStdString());
}

void CToolsPage::OnExport() {
  beginCommand();
  const QString path = chooseFile(FileDialogKind::Open, kExport);
  if (path.isEmpty()) return;
  DeviceState& s = *m_host.state;
  config_file::ExportBuffers buffers;
  const auto r = config_file::readForExport(path.toStdString(), s, buffers);
  if (r.status != config_file::ReadStatus::Read) {
    m_host.show(this, readFailure(r, path.toStdString()));
    return;
  }
  const std::uint32_t mode = s.g_accessMode.load();
  const auto gaps = whole_config::unsuppliedRanges(r, mode);
  if (!gaps.empty()) {
    std::string list;
    for (const std::string& g : gaps) list += (list.empty() ? "" : ", ") + g;
    m_host.show(this, fillIn(m_host.textOf(MemoryText::FileDoesNotSupply), QString::fromStdString(list)));
  }
  afterWholeWrite(whole_config::writeEdits(s, op::kWriteOptionThenBase,
                                           [&](Images& im) { whole_config::applyExport(im, buffers, mode); }));
}

void CToolsPage::OnRestore() {
  beginCommand();
  afterWholeWrite(whole_config::writeEdits(*m_host.state, op::kWriteOptionThenBase,
                                           [](Images& im) { whole_config::applyRestore(im); }));
}

void CToolsPage::afterWholeWrite(whole_config::EditWrite result) {
  switch (result) {
    case whole_config::EditWrite::Applied: EnableModifyRestore(1); break;
    case whole_config::EditWrite::Requested: EnableModifyRestore(0); break;
    case whole_config::EditWrite::Busy: m_host.show(this, m_host.textOf(MemoryText::TransferBusy)); break;
  }
}

void CToolsPage::OnReload() {
  beginCommand(false);
  // In file mode the read replaces the file's images.
  if (!ConfirmDiscard()) return;
  if (!reloadImages()) m_host.show(this, m_host.textOf(MemoryText::TransferBusy));
}

void CToolsPage::OnInformation() { m_info->ShowIdentity(m_host.state->snapshot()); }

void CToolsPage::OnPort() {
  beginCommand();
  if (m_host.selectPort) m_host.selectPort(this);
  if (m_host.post) m_host.post(msg::kPortChanged);
}

void CToolsPage::OnReconnect() {
  beginCommand(false);
  button(kReconnect)->setEnabled(false);
  if (m_host.post) m_host.post(msg::kReconnect);
}

void CToolsPage::OnRange() {
  beginCommand();
  if (m_host.selectRange) m_host.selectRange(this);
}

void CToolsPage::OnAbout() {
  beginCommand(false);
  if (m_host.about) m_host.about();
}

void CToolsPage::OnReport() {
  beginCommand();
  if (m_host.report) m_host.report(this);
}

}  // namespace vrx4
