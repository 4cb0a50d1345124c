#include "gui/app/vrx4_app.h"

#include <algorithm>
#include <cstdio>

#include <QApplication>
#include <QScreen>
#include <QStringList>
#include <filesystem>

#include "gui/app/about_box.h"
#include "core/base/app_paths.h"
#include "gui/app/main_frame.h"
#include "gui/app/message_box.h"
#include "core/sim/simulated_regulator.h"
#include "gui/app/vrx4_view.h"

namespace vrx4 {
namespace {
CVRX4App* g_theApp = nullptr;
}

CVRX4App::CVRX4App(std::string dataDir, std::string settingsPath, AppOptions options)
    : m_strProgramDir(std::move(dataDir)), m_settingsPath(std::move(settingsPath)), m_options(std::move(options)) {
  if (!m_strProgramDir.empty() && m_strProgramDir.back() != '/') m_strProgramDir += '/';
  g_theApp = this;
}

CVRX4App::~CVRX4App() {
  // The window (and with it the link thread) goes before the simulated
  // regulator it talks to.
  m_aboutBox.reset();
  m_frame.reset();
  m_simulated.reset();
  if (g_theApp == this) g_theApp = nullptr;
}

CVRX4App* CVRX4App::instance() { return g_theApp; }

void CVRX4App::LoadSettings() {
  m_profile = ProfileFile(m_settingsPath);
  const bool portMissing = m_settings.load(m_profile);
  m_state.m_bAutoScale.store(m_settings.m_bAutoScale);
  // With --port or on the simulated regulator the stored port is not used
  // at all, so telling the user that COM1 is used would be wrong; "COM1"
  // still reaches the file at the next save.
  if (portMissing && !m_options.simulate && m_options.port.empty())
    messageBox(nullptr, QString::fromLatin1(kMsgPortFallback));
}

void CVRX4App::reportMissingDataFiles() const {
  const std::vector<std::string> missing = missingDataFiles(m_strProgramDir);
  if (missing.empty()) return;
  const std::vector<std::string> lookedIn =
      m_dataSearchPath.empty() ? std::vector<std::string>{m_strProgramDir} : m_dataSearchPath;
  QStringList texts;
  for (const std::string& file : missing) {
    const std::string text = missingDataFileMessage(file, lookedIn);
    std::fprintf(stderr, "vrx4: %s\n", text.c_str());
    texts << QString::fromStdString(text);
  }
  messageBox(nullptr, texts.join(QStringLiteral("\n\n")), {}, BoxIcon::Exclamation);
}

const ProfileFile& CVRX4App::errorMessages() {
  if (m_errors.path().empty()) reloadErrorMessages();
  else m_errors.reloadIfChanged();
  return m_errors;
}

void CVRX4App::reloadErrorMessages() {
  if (m_errors.path().empty()) m_errors = ProfileFile(m_strProgramDir + kErrorFile);
  else m_errors.reload();
}

void CVRX4App::SaveSettings() {
  std::error_code ec;
  const auto dir = std::filesystem::path(m_settingsPath).parent_path();
  if (!dir.empty()) std::filesystem::create_directories(dir, ec);
  if (!m_settings.save(m_profile))
    messageBox(nullptr, QStringLiteral("The settings could not be saved to %1").arg(QString::fromStdString(m_settingsPath)));
}

void CVRX4App::WriteProfileInt(const char* section, const char* key, long value) {
  std::error_code ec;
  const auto dir = std::filesystem::path(m_settingsPath).parent_path();
  if (!dir.empty()) std::filesystem::create_directories(dir, ec);
  m_profile.writeInt(section, key, value);
}

std::string CVRX4App::linkPort() const {
  if (m_portChosen) return m_settings.m_strPort;
  if (m_simulated) return m_simulated->portPath();
  if (!m_options.port.empty()) return m_options.port;
  return m_settings.m_strPort;
}

void CVRX4App::choosePort(const std::string& port) {
  if (port.empty() || port == linkPort()) return;
  m_settings.m_strPort = port;
  m_portChosen = true;
}

bool CVRX4App::InitInstance() {
  LoadSettings();
  reportMissingDataFiles();
  m_state.g_eepromLoaded.store(0);

  if (m_options.simulate) {
    m_simulated = std::make_unique<CSimulatedRegulator>();
    if (!m_simulated->start()) {
      messageBox(nullptr, QStringLiteral("The simulated regulator cannot start: %1")
                              .arg(QString::fromStdString(m_simulated->error())));
      return false;
    }
  }

  m_frame = std::make_unique<CMainFrame>(*this);
  m_frame->view()->OnInitialUpdate();

  const Settings& s = m_settings;
  if (s.restoresWindowSize()) {
    m_frame->move(0, 0);
    m_frame->showWithViewSize(QSize(s.m_nWindowCX, s.m_nWindowCY));
  } else {
    m_frame->showMaximisedOnScreen();
  }
  m_frame->setWindowTitle(QString::fromLatin1(kMainTitle));
  m_frame->repaint();
  // Work a previous run could not ask about is offered now that the window
  // is there.
  m_keptWork.Offer();
  return true;
}

void CVRX4App::OnAppAbout() {
  if (!m_aboutBox) m_aboutBox = std::make_unique<CAboutBox>(m_frame.get());
  m_aboutBox->setTexts(QString::fromStdString(keptText(Kept::AboutCaption)), QString::fromStdString(keptText(Kept::Ok)));
  m_aboutBox->exec();
}

}  // namespace vrx4
