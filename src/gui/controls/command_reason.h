// A command (a button, a list, a radio) is either enabled, or disabled
// with the reason its page recorded when it disabled it. The reason rides
// on the widget and its tooltip says, in the chosen language, what would
// enable the command. The view sets the texts after each label load and
// says when the lamp turns red or comes back.
#pragma once

#include <QString>
#include <functional>

#include "core/base/command_reasons.h"

class QWidget;

namespace vrx4 {

// The kept language texts of the reasons and of the last-read notes.
void setStateTexts(std::function<QString(Kept)> texts);
QString stateText(Kept text);
// The lamp is red: what waits on the regulator says that it does not answer.
void setLinkSilent(bool silent);
bool linkSilent();

void setCommandEnabled(QWidget* command, bool enabled, Blocked why);
// The reason a disabled command was given; None while it is enabled.
Blocked commandReason(const QWidget* command);
// Every disabled command under root says its reason again, in the texts
// and the lamp state of now.
void retellReasons(QWidget* root);

}  // namespace vrx4
