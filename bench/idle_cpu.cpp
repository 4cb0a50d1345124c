// CPU of the whole desktop program left idle on the LIVE page with the
// built-in simulated regulator: the window, the link thread and the
// simulated regulator's thread together, as a user's demo runs it.
//
//   idle_cpu [seconds]      (offscreen unless QT_QPA_PLATFORM says otherwise)
#include <sys/resource.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <fstream>
#include <string>

#include "core/base/control_ids.h"
#include "gui/app/main_frame.h"
#include "gui/app/mode_page.h"
#include "gui/app/message_box.h"
#include "gui/app/vrx4_app.h"
#include "gui/app/vrx4_view.h"
#include "gui/pages/page_registry.h"

namespace {

// CPU seconds of each thread of this process, by thread id.
std::map<std::string, double> threadSeconds() {
  std::map<std::string, double> out;
  const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream in(entry.path() / "stat");
    std::string line;
    std::getline(in, line);
    const auto close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    double utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
      if (i == 14) utime = std::stod(field);
      if (i == 15) stime = std::stod(field);
    }
    out[entry.path().filename().string()] = (utime + stime) / tick;
  }
  return out;
}

double cpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop as the program does, sleeping until something happens.
void runFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

bool click(QWidget* root, int id) {
  auto* b = root->findChild<QAbstractButton*>(QString::number(id));
  if (b == nullptr) return false;
  b->click();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qapp(argc, argv);
  vrx4::setMessageBoxRecorder([](const QString&, const QString&) {});

  const auto dir = std::filesystem::temp_directory_path() / ("vrx4-idle-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string settings = (dir / "VRX4.ini").string();
  std::ofstream(settings) << "[Agreement]\nState=1\n[Units]\nLanguage=0\n";

  vrx4::AppOptions options;
  options.simulate = true;
  int rc = 0;
  {
    vrx4::CVRX4App app(VRX4_DATA_BUILD_DIR, settings, options);
    if (!app.InitInstance()) return 1;
    QElapsedTimer loading;
    loading.start();
    while (app.state().g_eepromLoaded.load() != 1 && loading.elapsed() < 20000) runFor(50);
    vrx4::CVRX4View& view = *app.mainFrame()->view();
    if (!click(vrx4::g_pModePage, vrx4::mode_id::kVisualisation) || !click(&view, vrx4::view_id::kLive)) {
      std::fprintf(stderr, "idle_cpu: cannot reach the LIVE page\n");
      rc = 1;
    } else {
      runFor(1000);  // let the page settle
      const auto threadsBefore = threadSeconds();
      const double before = cpuSeconds();
      QElapsedTimer wall;
      wall.start();
      runFor(static_cast<int>(seconds * 1000));
      const double used = cpuSeconds() - before;
      const double elapsed = static_cast<double>(wall.elapsed()) / 1000.0;
      std::printf("idle on LIVE with the simulated regulator, %.1f s: %.3f s of CPU = %.2f %% of one core "
                  "(window, link and simulated regulator together)\n",
                  elapsed, used, 100.0 * used / elapsed);
      for (const auto& [tid, total] : threadSeconds()) {
        const auto it = threadsBefore.find(tid);
        const double part = total - (it == threadsBefore.end() ? 0.0 : it->second);
        if (part > 0) std::printf("  thread %s: %.2f %% of one core\n", tid.c_str(), 100.0 * part / elapsed);
      }
    }
    app.mainFrame()->close();
  }
  std::filesystem::remove_all(dir);
  return rc;
}
