// The application object: owns the settings, the shared device state and
// the about box, finds the program's files, creates the main window and
// writes the settings back when the view goes.
#pragma once

#include <QString>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/base/app_options.h"
#include "core/base/language_table.h"
#include "core/base/profile_file.h"
#include "core/base/settings.h"
#include "core/monitoring/graph_recording.h"
#include "core/link/device_state.h"
#include "gui/app/kept_work.h"

namespace vrx4 {

class CMainFrame;
class CAboutBox;
class CSimulatedRegulator;

class CVRX4App {
 public:
  // dataDir: where Language.ini and the other data files are; settingsPath:
  // the settings file. Both are found by the caller (main) or a test.
  CVRX4App(std::string dataDir, std::string settingsPath, AppOptions options = {});
  ~CVRX4App();
  CVRX4App(const CVRX4App&) = delete;
  CVRX4App& operator=(const CVRX4App&) = delete;

  // The one application object of the run (the last one constructed).
  static CVRX4App* instance();

  // Starts the program: settings, main window, pages, link. False when the
  // window set cannot be created (or the simulated regulator cannot start).
  bool InitInstance();

  void LoadSettings();
  void SaveSettings();
  std::string GetProgramDir() const { return m_strProgramDir; }
  void SetWindowCX(std::int32_t cx) { m_settings.m_nWindowCX = cx; }
  void SetWindowCY(std::int32_t cy) { m_settings.m_nWindowCY = cy; }

  // Writes one integer of the settings file at once ("Units"/"Language").
  void WriteProfileInt(const char* section, const char* key, long value);

  // The folders the data files were looked for in, for the message that
  // names a missing one (default: the data folder alone).
  void setDataSearchPath(std::vector<std::string> folders) { m_dataSearchPath = std::move(folders); }

  // The device's information messages ("Error.ini"). Read once per
  // language change (reloadErrorMessages) and again only when the file
  // changes on disk, not at every information frame.
  const ProfileFile& errorMessages();
  void reloadErrorMessages();

  // The port the link opens this run: --port, the simulated regulator's
  // line, or the stored port.
  std::string linkPort() const;
  // A port picked in the port dialog. When it differs from the port the
  // link uses now, it becomes the stored port and the link's port from
  // then on, also after --port or --simulate.
  void choosePort(const std::string& port);

  Settings& settings() { return m_settings; }
  DeviceState& state() { return m_state; }
  const std::string& settingsPath() const { return m_settingsPath; }
  CMainFrame* mainFrame() const { return m_frame.get(); }
  // The built-in simulated regulator of --simulate; null otherwise.
  CSimulatedRegulator* simulatedRegulator() const { return m_simulated.get(); }

  // Strings kept from the last label load (dialog captions, messages).
  const std::string& keptText(Kept k) const { return m_kept[static_cast<std::size_t>(k)]; }
  void setKeptTexts(const LabelPass& pass) { m_kept = pass.kept; }

  // Unsaved file-mode work kept when the session ends the program, and
  // offered again at the next start.
  CKeptWork& keptWork() { return m_keptWork; }

  // The about box, modal.
  void OnAppAbout();

  float m_fPressureFactor = 1.0f;
  // The graph's sample store and the capture file.
  GraphRecording m_graph;

 private:
  // Names each data file the data folder lacks, on stderr and in a box.
  void reportMissingDataFiles() const;

  std::string m_strProgramDir;
  std::string m_settingsPath;
  AppOptions m_options;
  std::vector<std::string> m_dataSearchPath;
  bool m_portChosen = false;
  ProfileFile m_profile;
  ProfileFile m_errors;
  Settings m_settings;
  DeviceState m_state;
  std::array<std::string, static_cast<std::size_t>(Kept::Count)> m_kept;
  std::unique_ptr<CSimulatedRegulator> m_simulated;
  std::unique_ptr<CMainFrame> m_frame;
  std::unique_ptr<CAboutBox> m_aboutBox;
  CKeptWork m_keptWork{*this};
};

}  // namespace vrx4
