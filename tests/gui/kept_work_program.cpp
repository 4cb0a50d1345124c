// The desktop program as main() runs it, with unsaved file-mode work made
// as soon as its window is up: the configuration file named by --work is
// opened with the tools page's Open and a PID gain is changed as a page's
// Save does in file mode; then "unsaved work made" on stderr. The
// session end test starts it and ends it with a signal.
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/app/main_frame.h"
#include "gui/app/program.h"
#include "gui/app/vrx4_app.h"
#include "gui/app/vrx4_view.h"
#include "gui/memory/tools_page.h"
#include "gui/pages/page_registry.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  std::vector<std::string> args;
  std::string work;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--work" && i + 1 < argc) work = argv[++i];
    else args.emplace_back(argv[i]);
  }
  return vrx4::runProgram(vrx4::parseAppOptions(args), VRX4_DATA_BUILD_DIR, [&](vrx4::CVRX4App& app) {
    app.mainFrame()->view()->memoryHost().chooseFile = [&](QWidget*, vrx4::FileDialogKind, const QString&) {
      return QString::fromStdString(work);
    };
    vrx4::g_pToolsPage->OnOpen();
    app.state().withImages([](vrx4::Images& im) { im.g_baseDevice[0x2B] = 0x7F; });
    if (vrx4::g_pToolsPage->unsavedChanges()) std::fprintf(stderr, "unsaved work made\n");
  });
}
