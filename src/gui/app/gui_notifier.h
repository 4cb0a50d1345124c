// The link engine's notifications as Qt events: the engine's thread posts
// into a mailbox, and the main view takes what waits there on the GUI
// thread, at most every kMinIntervalMs, and dispatches it by message
// number. Live values for the display are merged on the way (the latest
// win); lamp changes, capture samples and every other notice arrive one by
// one, in order.
#pragma once

#include <QBasicTimer>
#include <QEvent>
#include <QObject>
#include <cstdint>
#include <deque>
#include <functional>

#include "core/link/link_notifier.h"
#include "core/link/notification_mailbox.h"

namespace vrx4 {

// A notice posted straight to the view (by the view itself and by pages).
class LinkEvent : public QEvent {
 public:
  static const QEvent::Type kType;
  LinkEvent(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
      : QEvent(kType), m_message(message), m_wParam(wParam), m_lParam(lParam) {}
  std::uint32_t m_message;
  std::uintptr_t m_wParam;
  std::intptr_t m_lParam;
};

class GuiNotifier : public QObject, public LinkNotifier {
 public:
  // The window takes the link's notices at most this often: about twenty
  // times a second, quick enough for a display a person reads.
  static constexpr int kMinIntervalMs = 50;
  using Handler = std::function<void(const LinkNotification&)>;

  // `target` parents the message boxes; `handler` gets every notice on
  // the GUI thread.
  GuiNotifier(QWidget* target, Handler handler);

  void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void postLiveValues(const LiveMeasurement& measurement, std::intptr_t lParam) override;
  // Shows the box on the GUI thread and waits until it is dismissed or the
  // link is stopped. What the link posted before the box is handled first.
  void showMessage(const std::string& text, std::stop_token stop) override;

  // GUI thread: hands every waiting notice to the handler now.
  void deliver();
  // How many times notices were handed to the handler, and what the
  // mailbox saw.
  std::uint64_t deliveries() const { return m_deliveries; }
  const NotificationMailbox& mailbox() const { return m_mailbox; }

 protected:
  bool event(QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void enqueue(LinkNotification n);

  // The main view; it stops the link thread before it goes away, so the
  // pointer stays valid for as long as the engine can use it.
  QWidget* m_target;
  Handler m_handler;
  NotificationMailbox m_mailbox;
  // GUI thread only: taken from the mailbox, not yet handled (a handler
  // that opens a box lets later deliveries run inside it; they go on with
  // these first).
  std::deque<LinkNotification> m_taken;
  QBasicTimer m_later;
  std::uint64_t m_deliveries = 0;
};

}  // namespace vrx4
