// How the program ends when something other than the user ends it.
// SIGTERM (a logout, `kill`), SIGINT (Ctrl-C in the terminal) and SIGHUP (the
// terminal went away) close the main window as the user would: the
// settings are saved, the event loop ends and the link thread is stopped on
// the way out. The same happens when another X11 client destroys the main
// window, so the program never runs on without a window.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>
#include <functional>

class QSocketNotifier;
class QWidget;

namespace vrx4 {

class SessionEnd : public QObject, public QAbstractNativeEventFilter {
 public:
  // Installs the handlers of the three signals at once (one SessionEnd at a
  // time). endProgram leaves the event loop; tests pass their own.
  explicit SessionEnd(std::function<void()> endProgram = {});
  ~SessionEnd() override;  // puts the previous signal handlers back
  SessionEnd(const SessionEnd&) = delete;
  SessionEnd& operator=(const SessionEnd&) = delete;

  // The main window to close at the end, from the event loop about to
  // run. A signal that came while the program was starting closes it
  // shortly after the loop starts.
  void watch(QWidget* window);
  bool ended() const { return m_ended; }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  void takeSignals();
  void end();
  void closeModals();
  void closeWindow();
  void restoreHandlers();

  std::function<void()> m_endProgram;
  QPointer<QWidget> m_window;
  QSocketNotifier* m_notifier = nullptr;
  bool m_ended = false;
  bool m_watching = false;
  bool m_handlersInstalled = false;
};

}  // namespace vrx4
