// Icons and type names for the file dialogs by kind only (folder or file):
// a dialog with them never opens the files of the folder it shows to guess
// their types, which would block for ever on a FIFO or a device node there
// (/proc/kmsg, a serial line).
#pragma once

#include <QFileIconProvider>
#include <QFileInfo>

namespace vrx4 {

class PlainFileIcons : public QFileIconProvider {
 public:
  QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
  QIcon icon(const QFileInfo& info) const override {
    return QFileIconProvider::icon(info.isDir() ? QFileIconProvider::Folder : QFileIconProvider::File);
  }
  QString type(const QFileInfo& info) const override {
    return info.isDir() ? QStringLiteral("Folder") : QStringLiteral("File");
  }
};

}  // namespace vrx4
