#include "gui/controls/command_reason.h"

#include <QVariant>
#include <QWidget>

namespace vrx4 {
namespace {

constexpr const char* kReasonProperty = "vrx4DisabledReason";

struct Reasons {
  std::function<QString(Kept)> texts;
  bool linkSilent = true;  // the lamp starts red
};

Reasons& reasons() {
  static Reasons r;
  return r;
}

void tell(QWidget* command, Blocked why) {
  const Reasons& r = reasons();
  const Blocked shown = shownReason(why, r.linkSilent);
  command->setToolTip(shown == Blocked::None ? QString() : stateText(reasonText(shown)));
}

}  // namespace

void setStateTexts(std::function<QString(Kept)> texts) { reasons().texts = std::move(texts); }

QString stateText(Kept text) {
  const Reasons& r = reasons();
  return r.texts && text != Kept::Count ? r.texts(text) : QString();
}

void setLinkSilent(bool silent) { reasons().linkSilent = silent; }

bool linkSilent() { return reasons().linkSilent; }

void setCommandEnabled(QWidget* command, bool enabled, Blocked why) {
  if (command == nullptr) return;
  const Blocked recorded = enabled ? Blocked::None : why;
  command->setEnabled(enabled);
  command->setProperty(kReasonProperty, static_cast<int>(recorded));
  tell(command, recorded);
}

Blocked commandReason(const QWidget* command) {
  const QVariant v = command->property(kReasonProperty);
  return v.isValid() ? static_cast<Blocked>(v.toInt()) : Blocked::None;
}

void retellReasons(QWidget* root) {
  for (QWidget* w : root->findChildren<QWidget*>()) {
    const Blocked why = commandReason(w);
    if (why != Blocked::None) tell(w, why);
  }
}

}  // namespace vrx4
