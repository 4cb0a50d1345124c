// CPU of the whole desktop program left idle on the built-in simulated
// regulator, page by page (HOME, LIVE, GRAPH with all seven channels
// ticked and the chart running, CONTROL): the process and each of its threads (the window, the
// link, the simulated regulator), the X server when there is one, and the
// exchange rate the link reached. The link polls as fast as the regulator
// answers, so a busy machine makes fewer exchanges and less work: the
// machine's load average is printed with the figures, and a run above
// --idle-load is not called idle.
//
//   idle_cpu [--x] [--size WxH] [--idle-load L] [seconds a page]
//
//   --x        start an X server (Xvfb) and show the window on it, as a user
//              sees it; without it the window is drawn offscreen (unless
//              QT_QPA_PLATFORM says otherwise)
//   --size     the main window's size (default: the size the program picks
//              and, with --x, also 980 x 640, smaller than the page)
//   --idle-load  the highest 1-minute load average of an idle machine (0.5)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSize>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/base/control_ids.h"
#include "core/link/comm_thread.h"
#include "gui/app/gui_notifier.h"
#include "gui/app/main_frame.h"
#include "gui/app/message_box.h"
#include "gui/app/mode_page.h"
#include "gui/app/vrx4_app.h"
#include "gui/app/vrx4_view.h"
#include "gui/monitoring/graph_page.h"
#include "gui/pages/page_registry.h"

namespace {

struct Options {
  bool x = false;
  int width = 0, height = 0;
  double idleLoad = 0.5;
  double seconds = 10.0;
};

bool parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--x") {
      o.x = true;
    } else if (a == "--size" && i + 1 < argc) {
      if (std::sscanf(argv[++i], "%dx%d", &o.width, &o.height) != 2) return false;
    } else if (a == "--idle-load" && i + 1 < argc) {
      o.idleLoad = std::atof(argv[++i]);
    } else if (!a.empty() && a[0] != '-') {
      o.seconds = std::atof(a.c_str());
    } else {
      return false;
    }
  }
  return o.seconds > 0;
}

double ticksToSeconds(double ticks) { return ticks / static_cast<double>(sysconf(_SC_CLK_TCK)); }

// User and system CPU seconds from a /proc stat line.
double statSeconds(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  const auto close = line.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream rest(line.substr(close + 2));
  std::string field;
  double utime = 0, stime = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i == 14) utime = std::stod(field);
    if (i == 15) stime = std::stod(field);
  }
  return ticksToSeconds(utime + stime);
}

// CPU seconds a task has run, to the nanosecond (schedstat), else from
// its stat line (in clock ticks).
double taskSeconds(const std::filesystem::path& task) {
  std::ifstream in(task / "schedstat");
  double ns = 0;
  if (in >> ns) return ns / 1e9;
  return statSeconds((task / "stat").string());
}

struct ThreadTime {
  std::string name;
  double seconds = 0;
};

// CPU seconds of each thread of this process, by thread id; the GUI thread
// is the one whose id is the process's.
std::map<std::string, ThreadTime> threadSeconds() {
  std::map<std::string, ThreadTime> out;
  const std::string self = std::to_string(::getpid());
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
    const std::string tid = entry.path().filename().string();
    ThreadTime t;
    std::ifstream(entry.path() / "comm") >> t.name;
    if (tid == self) t.name = "window";
    t.seconds = taskSeconds(entry.path());
    out[tid] = t;
  }
  return out;
}

double processSeconds() {
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

// An X server of our own, on the first free display it finds.
class XServer {
 public:
  bool start() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    m_pid = ::fork();
    if (m_pid == 0) {
      ::close(fds[0]);
      ::fcntl(fds[1], F_SETFD, 0);  // Xvfb writes its display number here
      const std::string fd = std::to_string(fds[1]);
      const int devNull = ::open("/dev/null", O_WRONLY);
      if (devNull >= 0) ::dup2(devNull, 2);
      ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(fds[1]);
    if (m_pid < 0) return false;
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char c = 0;
    while (::poll(&p, 1, 10000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(fds[0]);
    if (number.empty()) return false;
    m_display = ":" + number;
    return true;
  }
  ~XServer() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    ::waitpid(m_pid, nullptr, 0);
  }
  const std::string& display() const { return m_display; }
  double cpuSeconds() const {
    if (m_pid <= 0) return 0;
    double total = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(m_pid) + "/task"))
      total += taskSeconds(task.path());
    return total;
  }

 private:
  pid_t m_pid = -1;
  std::string m_display;
};

struct Load {
  double one = 0, five = 0;
};
Load loadAverage() {
  double l[3] = {};
  if (getloadavg(l, 3) < 2) return {};
  return {l[0], l[1]};
}

struct PageFigures {
  const char* page = "";
  double process = 0, window = 0, link = 0, sim = 0, xServer = 0, elapsed = 0;
  double exchanges = 0, deliveries = 0;
  std::vector<std::pair<std::string, double>> threads;  // name (tid), % of a core
};

// Measures the page now shown for `seconds`, after a second to settle.
PageFigures measure(const char* page, double seconds, vrx4::CVRX4View& view, const XServer* x) {
  runFor(1000);
  PageFigures f;
  f.page = page;
  const auto threadsBefore = threadSeconds();
  const double before = processSeconds();
  const double xBefore = x ? x->cpuSeconds() : 0;
  const std::uint64_t sentBefore = view.link() ? view.link()->bytesSent() : 0;
  const std::uint64_t deliveriesBefore = view.notifier().deliveries();
  QElapsedTimer wall;
  wall.start();
  runFor(static_cast<int>(seconds * 1000));
  f.elapsed = static_cast<double>(wall.elapsed()) / 1000.0;
  auto percent = [&](double s) { return 100.0 * s / f.elapsed; };
  f.process = percent(processSeconds() - before);
  f.xServer = x ? percent(x->cpuSeconds() - xBefore) : 0;
  f.exchanges = static_cast<double>((view.link() ? view.link()->bytesSent() : 0) - sentBefore) / f.elapsed;
  f.deliveries = static_cast<double>(view.notifier().deliveries() - deliveriesBefore) / f.elapsed;
  for (const auto& [tid, t] : threadSeconds()) {
    const auto it = threadsBefore.find(tid);
    const double part = percent(t.seconds - (it == threadsBefore.end() ? 0.0 : it->second.seconds));
    if (t.name == "window") f.window = part;
    else if (t.name == "vrx4-link") f.link += part;
    else if (t.name == "vrx4-sim") f.sim += part;
    if (part > 0) f.threads.emplace_back(t.name + " (" + tid + ")", part);
  }
  return f;
}

bool showPage(const char* page, vrx4::CVRX4View& view) {
  using namespace vrx4;
  const std::string p = page;
  if (p == "HOME") return click(&view, view_id::kHome);
  if (p == "LIVE") return click(&view, view_id::kLive);
  if (p == "CONTROL") return click(&view, view_id::kControl);
  if (p != "GRAPH" || !click(&view, view_id::kGraph) || g_pGraphPage == nullptr) return false;
  for (int id : {graph_id::kCtrl, graph_id::kAuxin, graph_id::kP2, graph_id::kVdc24, graph_id::kUout,
                 graph_id::kIout, graph_id::kAlarm}) {
    auto* box = g_pGraphPage->findChild<QAbstractButton*>(QString::number(id));
    if (box == nullptr) return false;
    if (!box->isChecked()) box->click();
  }
  // The chart running, as a user watching it has it.
  return click(g_pGraphPage, graph_id::kRestart);
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse(argc, argv, o)) {
    std::fprintf(stderr, "usage: idle_cpu [--x] [--size WxH] [--idle-load L] [seconds a page]\n");
    return 1;
  }
  XServer x;
  if (o.x) {
    if (!x.start()) {
      std::fprintf(stderr, "idle_cpu: cannot start Xvfb\n");
      return 1;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(x.display()));
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("WAYLAND_DISPLAY");
  } else if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  const Load loadBefore = loadAverage();
  QApplication qapp(argc, argv);
  vrx4::setMessageBoxRecorder([](const QString&, const QString&) {});

  const auto dir = std::filesystem::temp_directory_path() / ("vrx4-idle-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string settings = (dir / "VRX4.ini").string();
  std::ofstream(settings) << "[Agreement]\nState=1\n[Units]\nLanguage=0\n";

  vrx4::AppOptions options;
  options.simulate = true;
  int rc = 0;
  // Window sizes: the one asked for, or the program's own and, on an X
  // server, one smaller than the page (the view then shows scroll bars).
  std::vector<QSize> sizes;
  if (o.width > 0) sizes.emplace_back(o.width, o.height);
  else sizes.emplace_back();
  if (o.width == 0 && o.x) sizes.emplace_back(980, 640);
  struct Run {
    QSize window;
    std::vector<PageFigures> pages;
  };
  std::vector<Run> runs;
  {
    vrx4::CVRX4App app(VRX4_DATA_BUILD_DIR, settings, options);
    if (!app.InitInstance()) return 1;
    QElapsedTimer loading;
    loading.start();
    while (app.state().g_eepromLoaded.load() != 1 && loading.elapsed() < 20000) runFor(50);
    vrx4::CVRX4View& view = *app.mainFrame()->view();
    if (!click(vrx4::g_pModePage, vrx4::mode_id::kVisualisation)) rc = 1;
    for (const QSize& size : sizes) {
      if (size.isValid()) app.mainFrame()->resize(size);
      runFor(300);
      Run run;
      run.window = app.mainFrame()->size();
      for (const char* page : {"HOME", "LIVE", "GRAPH", "CONTROL"}) {
        if (rc != 0 || !showPage(page, view)) {
          std::fprintf(stderr, "idle_cpu: cannot show the %s page\n", page);
          rc = 1;
          break;
        }
        run.pages.push_back(measure(page, o.seconds, view, o.x ? &x : nullptr));
      }
      runs.push_back(std::move(run));
    }
    app.mainFrame()->close();
  }
  std::filesystem::remove_all(dir);
  const Load loadAfter = loadAverage();
  if (rc != 0) return rc;

  const bool idle = loadBefore.one <= o.idleLoad && loadAfter.one <= o.idleLoad;
  std::printf("idle_cpu: the program on the built-in simulated regulator, %s, %.0f s a page\n",
              o.x ? ("on its own X server (Xvfb " + x.display() + ")").c_str() : qgetenv("QT_QPA_PLATFORM").constData(),
              o.seconds);
  std::printf("machine: %ld cores, load average (1 min, 5 min) %.2f %.2f before, %.2f %.2f after: %s\n",
              sysconf(_SC_NPROCESSORS_ONLN), loadBefore.one, loadBefore.five, loadAfter.one, loadAfter.five,
              idle ? "idle" : "NOT IDLE: these figures do not stand for an idle machine");
  for (const Run& run : runs) {
    std::printf("\nwindow %d x %d\n", run.window.width(), run.window.height());
    std::printf("%-8s %8s %8s %8s %8s %9s %10s %10s %10s %10s  %s\n", "page", "process", "window", "link", "sim",
                "X server", "exchanges", "link", "sim", "window", "target");
    std::printf("%-8s %8s %8s %8s %8s %9s %10s %10s %10s %10s  %s\n", "", "% core", "% core", "% core", "% core",
                "% core", "a second", "us/exch", "us/exch", "takes/s", "");
    for (const PageFigures& f : run.pages) {
      const double perExchange = f.exchanges > 0 ? 1e4 / f.exchanges : 0;  // % of a core -> us per exchange
      const bool met = f.process < 3.0 && f.window < 1.0;
      std::printf("%-8s %8.2f %8.2f %8.2f %8.2f %9s %10.0f %10.1f %10.1f %10.1f  %s\n", f.page, f.process, f.window,
                  f.link, f.sim, o.x ? QString::number(f.xServer, 'f', 2).toLatin1().constData() : "-", f.exchanges,
                  f.link * perExchange, f.sim * perExchange, f.deliveries,
                  !met ? "MISSED" : idle ? "met" : "met (not idle)");
    }
    std::printf("per thread (%% of one core):\n");
    for (const PageFigures& f : run.pages) {
      std::printf("  %-8s", f.page);
      for (const auto& [name, part] : f.threads) std::printf("  %s %.2f", name.c_str(), part);
      std::printf("\n");
    }
  }
  std::printf(
      "\nHow to read: 'process' is the whole program (window, link and simulated regulator threads) in %% of\n"
      "one core; 'window' its GUI thread alone; 'X server' the Xvfb this run started, drawing what the window\n"
      "sends. 'exchanges a second' is the link's request bytes, each answered by one reply: the simulated line\n"
      "paces them at 38400 baud (about 200 a second); a machine too busy to run the link at once makes fewer,\n"
      "and every figure falls with them. 'us/exch' is the link's and the regulator's CPU per exchange.\n"
      "'window takes/s' is how often the window took the link's notices (at most about 20). Target on an idle\n"
      "machine: process under 3 %%, window under 1 %%, on every page and window size. A run with a 1-minute\n"
      "load average above %.2f (--idle-load) is NOT IDLE: other programs share the cores and the figures vary.\n",
      o.idleLoad);
  return 0;
}
