#include "gui/app/program.h"

#include <QApplication>
#include <cstdlib>

#include "core/base/app_paths.h"
#include "core/memory/recovery_copy.h"
#include "gui/app/main_frame.h"
#include "gui/app/session_end.h"
#include "gui/app/vrx4_app.h"

namespace vrx4 {

int runProgram(const AppOptions& options, const std::string& installedDataDir,
               const std::function<void(CVRX4App&)>& started) {
  // From here on SIGTERM, SIGINT and SIGHUP end the program as closing its
  // window does.
  SessionEnd sessionEnd;
  const std::string exeDir = QApplication::applicationDirPath().toStdString();
  const std::string dataDir = findDataDirectory(exeDir, installedDataDir);
  const std::string configDir = defaultConfigDirectory(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  CVRX4App app(dataDir, settingsFilePath(options.config, configDir), options);
  app.setDataSearchPath(dataDirectoryCandidates(exeDir, installedDataDir));
  // Unsaved work the session ends the program with is kept in the state
  // folder, and offered from there at the next start.
  app.keptWork().setFolder(recovery::defaultFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME")));
  if (!app.InitInstance()) return 1;
  if (started) started(app);
  sessionEnd.watch(app.mainFrame());
  return QApplication::exec();
}

}  // namespace vrx4
