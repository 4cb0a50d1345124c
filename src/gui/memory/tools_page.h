// The tools page: the file commands of file mode (New, Open, Close, Save,
// Save as...), the whole configuration copied between a regulator and a
// file (Import from VRX, Export to VRX), the regulator's Restore and the
// reload of its images, the link commands (port, reconnection), the
// pressure range, the about box and the information window.
//
// Work done in file mode is never dropped silently: Close, New, Open,
// Reload EEPROM and quitting ask first when the images differ from what
// was last opened or saved. A save goes through a temporary file; one that
// fails changes neither the file nor file mode. Only a file read whole
// becomes file mode's file, and Save never replaces a file that this
// program did not read without the save dialog's question.
#pragma once

#include <cstdint>
#include <string>

#include "core/base/control_ids.h"
#include "gui/memory/memory_host.h"
#include "core/memory/whole_config.h"
#include "gui/pages/page.h"

class QPushButton;

namespace vrx4 {

class CInfoPage;

namespace tools_id {
constexpr int kFileCaption = 1201;
constexpr int kNew = 1202;
constexpr int kOpen = 1055;
constexpr int kClose = 1056;
constexpr int kSave = 1058;
constexpr int kSaveAs = 1057;
constexpr int kImport = 1059;
constexpr int kExport = 1060;
constexpr int kReload = 1067;
constexpr int kRestore = 1063;
constexpr int kInformation = 1064;
constexpr int kPort = 1065;
constexpr int kReconnect = 1066;
constexpr int kRange = 1068;
constexpr int kAbout = 1062;
constexpr int kReport = 1069;  // the commissioning report
}  // namespace tools_id

class CToolsPage : public CPage {
 public:
  CToolsPage(const MemoryHost& host, QWidget* parent);
  bool built() const override { return true; }

  // The file and device-transfer rows are shown in the setting modes only.
  void ApplyAccessMode(std::uint32_t mode);
  // The transfer commands: Restore, information, Import, Export, Reload,
  // and the report, which reads the images as Import does.
  void EnableModifyRestore(int enable) override;
  // New and Open (no file open) or Close, Save and Save as... (file open).
  void SetFileButtons(bool fileOpen);
  CInfoPage* infoPage() const { return m_info; }

  // True when file mode's images differ from the file last opened or saved.
  bool unsavedChanges() const;
  // True when the images of file mode may go: nothing unsaved, or the user
  // saved them or chose to discard them. False: the user cancelled, or the
  // save failed.
  bool ConfirmDiscard();
  // Work kept by a run that was ended before it was saved: read from
  // `copyPath` into file mode as unsaved changes to `savePath`, which Save
  // writes to. False, after the message, when the copy cannot be read.
  bool OpenUnsavedCopy(const std::string& copyPath, const std::string& savePath);

  void OnNew();
  void OnOpen();
  void OnClose();
  void OnSave();
  void OnSaveAs();
  void OnImport();
  void OnExport();
  void OnRestore();
  void OnReload();
  void OnInformation();
  void OnPort();
  void OnReconnect();
  void OnRange();
  void OnAbout();
  void OnReport();

 private:
  QPushButton* button(int id) const;
  // The steps every command but the information button starts with.
  void beginCommand(bool toolsPage = true);
  // New and Open wait for a write to the regulator: false, with a message.
  bool fileModeMayStart();
  QString chooseFile(FileDialogKind kind, int buttonId);
  // The whole configuration to `path`; a message when that failed.
  bool saveTo(const std::string& path);
  // Save's write to file mode's file. A file that exists and was not read
  // whole by Open (New chose it) is replaced only through the save dialog.
  bool saveToTarget();
  void enterFileMode();
  void leaveFileMode();
  // A full read of both images, the pages waiting until it has ended.
  bool reloadImages();
  void afterWholeWrite(whole_config::EditWrite result);
  std::string currentText() const;

  const MemoryHost& m_host;
  CInfoPage* m_info;
  std::string m_savedText;  // the whole configuration as last opened or saved
  bool m_targetRead = false;  // file mode's file was read whole by Open or written here
};

}  // namespace vrx4
