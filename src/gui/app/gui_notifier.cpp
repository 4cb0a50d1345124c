#include "gui/app/gui_notifier.h"

#include <QCoreApplication>
#include <QWidget>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "gui/app/message_box.h"

namespace vrx4 {

const QEvent::Type LinkEvent::kType = static_cast<QEvent::Type>(QEvent::registerEventType());

void GuiNotifier::post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (m_target != nullptr) QCoreApplication::postEvent(m_target, new LinkEvent(message, wParam, lParam));
}

void GuiNotifier::showMessage(const std::string& text, std::stop_token stop) {
  QObject* target = m_target;
  if (target == nullptr) return;
  struct Pending {
    std::mutex mutex;
    std::condition_variable_any done;
    bool dismissed = false;
  };
  auto pending = std::make_shared<Pending>();
  const QString message = QString::fromStdString(text);
  QMetaObject::invokeMethod(
      target,
      [pending, message, target] {
        messageBox(qobject_cast<QWidget*>(target), message);
        std::lock_guard lock(pending->mutex);
        pending->dismissed = true;
        pending->done.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock lock(pending->mutex);
  pending->done.wait(lock, stop, [&] { return pending->dismissed; });
}

}  // namespace vrx4
