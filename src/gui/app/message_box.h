// The program's plain message boxes. Tests install a recorder so that no
// box waits for a click.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace vrx4 {

enum class BoxIcon { None, Exclamation, Information };

// Shows a modal box with an OK button; the caption defaults to "VRX4".
void messageBox(QWidget* parent, const QString& text, const QString& caption = {},
                BoxIcon icon = BoxIcon::None);

// When set, messageBox calls the recorder instead of showing anything.
using MessageBoxRecorder = std::function<void(const QString& text, const QString& caption)>;
void setMessageBoxRecorder(MessageBoxRecorder recorder);

}  // namespace vrx4
