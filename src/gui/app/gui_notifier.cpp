#include "gui/app/gui_notifier.h"

#include <QCoreApplication>
#include <QTimerEvent>
#include <QWidget>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "gui/app/message_box.h"

namespace vrx4 {
namespace {

// Tells the GUI thread that the mailbox holds something.
const QEvent::Type kMailType = static_cast<QEvent::Type>(QEvent::registerEventType());

}  // namespace

const QEvent::Type LinkEvent::kType = static_cast<QEvent::Type>(QEvent::registerEventType());

GuiNotifier::GuiNotifier(QWidget* target, Handler handler) : m_target(target), m_handler(std::move(handler)) {}

void GuiNotifier::post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  enqueue({message, wParam, lParam, std::nullopt});
}

void GuiNotifier::postLiveValues(const LiveMeasurement& measurement, std::intptr_t lParam) {
  enqueue({msg::kLiveValues, 0, lParam, measurement});
}

void GuiNotifier::enqueue(LinkNotification n) {
  // One event wakes the GUI thread for everything posted until it has
  // taken the mailbox's contents.
  if (m_mailbox.post(std::move(n))) QCoreApplication::postEvent(this, new QEvent(kMailType));
}

bool GuiNotifier::event(QEvent* e) {
  if (e->type() != kMailType) return QObject::event(e);
  // The mailbox wakes the window after a quiet spell and for a notice
  // that is not routine; routine ones, while they keep coming, wait for
  // the timer, every kMinIntervalMs.
  deliver();
  return true;
}

void GuiNotifier::timerEvent(QTimerEvent* e) {
  if (e->timerId() != m_later.timerId()) return QObject::timerEvent(e);
  deliver();
}

void GuiNotifier::deliver() {
  m_later.stop();
  std::vector<LinkNotification> fresh = m_mailbox.take();
  if (fresh.empty() && m_taken.empty()) return;
  // The mailbox now counts on us to come back: the link's next notices
  // wait for this timer instead of waking the window each time.
  if (!fresh.empty()) m_later.start(kMinIntervalMs, Qt::PreciseTimer, this);
  ++m_deliveries;
  for (LinkNotification& n : fresh) m_taken.push_back(std::move(n));
  while (!m_taken.empty()) {
    const LinkNotification n = std::move(m_taken.front());
    m_taken.pop_front();
    if (m_handler) m_handler(n);
  }
}

void GuiNotifier::showMessage(const std::string& text, std::stop_token stop) {
  QWidget* target = m_target;
  if (target == nullptr) return;
  struct Pending {
    std::mutex mutex;
    std::condition_variable_any done;
    bool dismissed = false;
  };
  auto pending = std::make_shared<Pending>();
  const QString message = QString::fromStdString(text);
  QMetaObject::invokeMethod(
      this,
      [this, pending, message, target] {
        // The box follows what the link reported before it (the end of a
        // transfer before "Reset VRX").
        deliver();
        messageBox(target, message);
        std::lock_guard lock(pending->mutex);
        pending->dismissed = true;
        pending->done.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock lock(pending->mutex);
  pending->done.wait(lock, stop, [&] { return pending->dismissed; });
}

}  // namespace vrx4
