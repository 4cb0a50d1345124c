// vrx4: the desktop program.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/app_options.h"
#include "core/base/app_paths.h"
#include "gui/app/main_frame.h"
#include "gui/app/session_end.h"
#include "gui/app/vrx4_app.h"

#ifndef VRX4_INSTALLED_DATA_DIR
#define VRX4_INSTALLED_DATA_DIR "/usr/local/share/vrx4"
#endif

int main(int argc, char** argv) {
  // --help and --version are answered before Qt starts: they must work
  // where no display can be reached (over ssh, in a container), and Qt
  // gives up without one.
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word == "--help" || word == "-h") {
      std::fputs(vrx4::kAppUsage, stdout);
      return 0;
    }
    if (word == "--version") {
      std::printf("vrx4 %s\n", vrx4::kAppVersion);
      return 0;
    }
  }
  QApplication qapp(argc, argv);  // takes Qt's own options out of argv
  QApplication::setApplicationName(QStringLiteral("VRX4"));
  std::vector<std::string> args;
  const QStringList list = QApplication::arguments();
  for (qsizetype i = 1; i < list.size(); ++i) args.push_back(list[i].toStdString());
  const vrx4::AppOptions options = vrx4::parseAppOptions(args);
  if (!options.error.empty()) {
    std::fprintf(stderr, "vrx4: %s\n%s", options.error.c_str(), vrx4::kAppUsage);
    return 1;
  }
  // From here on SIGTERM, SIGINT and SIGHUP end the program as closing its
  // window does.
  vrx4::SessionEnd sessionEnd;
  const std::string exeDir = QApplication::applicationDirPath().toStdString();
  const std::string dataDir = vrx4::findDataDirectory(exeDir, VRX4_INSTALLED_DATA_DIR);
  const std::string configDir =
      vrx4::defaultConfigDirectory(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  vrx4::CVRX4App app(dataDir, vrx4::settingsFilePath(options.config, configDir), options);
  app.setDataSearchPath(vrx4::dataDirectoryCandidates(exeDir, VRX4_INSTALLED_DATA_DIR));
  if (!app.InitInstance()) return 1;
  sessionEnd.watch(app.mainFrame());
  return QApplication::exec();
}
