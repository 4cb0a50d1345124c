#include "gui/app/session_end.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <fcntl.h>
#include <unistd.h>

#include "gui/app/main_frame.h"

namespace vrx4 {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// How long a window shown a moment before the end is left to take its size.
constexpr int kSettleMs = 300;

// The handler only writes a byte into this pipe (all a signal handler may
// safely do); the event loop reads it and does the real work.
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[std::size(kSignals)];

extern "C" void onSignal(int signal) {
  const int saved = errno;
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
  errno = saved;
}

// X11 DestroyNotify as the xcb platform hands it to native event filters:
// response type 17 (the top bit marks a sent event), then the window that
// was destroyed at byte 8.
constexpr std::uint8_t kXcbDestroyNotify = 17;
constexpr std::size_t kXcbDestroyedWindowOffset = 8;

}  // namespace

SessionEnd::SessionEnd(std::function<void()> endProgram) : m_endProgram(std::move(endProgram)) {
  if (!m_endProgram) m_endProgram = [] { QCoreApplication::quit(); };
  if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) == 0) {
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { takeSignals(); });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &action, &g_previous[i]);
    m_handlersInstalled = true;
  }
  QCoreApplication::instance()->installNativeEventFilter(this);
}

SessionEnd::~SessionEnd() {
  if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->removeNativeEventFilter(this);
  restoreHandlers();
  delete m_notifier;
  m_notifier = nullptr;
  for (int& fd : g_pipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void SessionEnd::restoreHandlers() {
  if (!m_handlersInstalled) return;
  m_handlersInstalled = false;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &g_previous[i], nullptr);
}

void SessionEnd::watch(QWidget* window) {
  m_window = window;
  takeSignals();  // one that came while the program was starting
  if (m_ended) {
    // The window was only just shown: give the window system a moment to
    // size it (a maximised window gets its size later), so that the size
    // saved is the real one; boxes shown meanwhile are closed with it.
    QTimer::singleShot(kSettleMs, this, [this] { closeWindow(); });
  }
  m_watching = true;
}

void SessionEnd::takeSignals() {
  char bytes[16];
  bool any = false;
  while (g_pipe[0] >= 0 && ::read(g_pipe[0], bytes, sizeof bytes) > 0) any = true;
  if (any) end();
}

void SessionEnd::end() {
  if (m_ended) return;
  m_ended = true;
  // From here a second signal acts as it normally does, so a shut-down
  // that hangs can still be ended.
  restoreHandlers();
  closeModals();
  if (m_watching) closeWindow();  // else still starting: watch() closes it
}

void SessionEnd::closeModals() {
  // Boxes and dialogs left open (also one shown while starting) would keep
  // their own event loops running.
  QWidget* last = nullptr;
  while (QWidget* modal = QApplication::activeModalWidget()) {
    if (modal == last) break;  // it refused to close
    last = modal;
    modal->close();
  }
}

void SessionEnd::closeWindow() {
  closeModals();
  if (m_window) {
    m_window->setProperty(kSessionEndProperty, true);
    m_window->close();  // as the user would: the view saves the settings
  }
  m_endProgram();
}

bool SessionEnd::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t" || message == nullptr || !m_window || m_ended) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(message);
  if ((bytes[0] & 0x7F) != kXcbDestroyNotify) return false;
  std::uint32_t destroyed = 0;
  std::memcpy(&destroyed, bytes + kXcbDestroyedWindowOffset, sizeof destroyed);
  if (destroyed != 0 && destroyed == m_window->internalWinId()) end();
  return false;
}

}  // namespace vrx4
