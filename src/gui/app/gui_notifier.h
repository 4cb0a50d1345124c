// The link engine's notifications as Qt events: the engine's thread posts,
// the main view receives them on the GUI thread and dispatches them by
// message number.
#pragma once

#include <QEvent>
#include <cstdint>

#include "core/link/link_notifier.h"

namespace vrx4 {

class LinkEvent : public QEvent {
 public:
  static const QEvent::Type kType;
  LinkEvent(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
      : QEvent(kType), m_message(message), m_wParam(wParam), m_lParam(lParam) {}
  std::uint32_t m_message;
  std::uintptr_t m_wParam;
  std::intptr_t m_lParam;
};

class GuiNotifier : public LinkNotifier {
 public:
  explicit GuiNotifier(QObject* target) : m_target(target) {}
  void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
  // Shows the box on the GUI thread and waits until it is dismissed or the
  // link is stopped.
  void showMessage(const std::string& text, std::stop_token stop) override;

 private:
  // The main view; it stops the link thread before it goes away, so the
  // pointer stays valid for as long as the engine can use it.
  QObject* m_target;
};

}  // namespace vrx4
