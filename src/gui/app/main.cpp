// vrx4: the desktop program.
#include <QApplication>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/app_options.h"
#include "gui/app/program.h"

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
  return vrx4::runProgram(options, VRX4_INSTALLED_DATA_DIR);
}
