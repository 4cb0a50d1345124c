#include "gui/app/message_box.h"

#include <QMessageBox>

namespace vrx4 {
namespace {
MessageBoxRecorder& recorder() {
  static MessageBoxRecorder r;
  return r;
}
}  // namespace

void setMessageBoxRecorder(MessageBoxRecorder r) { recorder() = std::move(r); }

void messageBox(QWidget* parent, const QString& text, const QString& caption, BoxIcon icon) {
  const QString title = caption.isEmpty() ? QStringLiteral("VRX4") : caption;
  if (recorder()) {
    recorder()(text, title);
    return;
  }
  QMessageBox box(icon == BoxIcon::Exclamation   ? QMessageBox::Warning
                  : icon == BoxIcon::Information ? QMessageBox::Information
                                                 : QMessageBox::NoIcon,
                  title, text, QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace vrx4
