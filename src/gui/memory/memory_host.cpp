#include "gui/memory/memory_host.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

#include "gui/controls/file_dialog_shape.h"
#include "gui/controls/plain_file_icons.h"

namespace vrx4 {
namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The folder the next dialog starts in: the user's documents at first,
// then wherever the user last chose a file.
QString& startFolder() {
  static QString folder;
  if (folder.isEmpty()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  }
  return folder;
}

}  // namespace

QString chooseConfigFile(QWidget* parent, FileDialogKind kind, const QString& title) {
  QFileDialog dialog(parent, title, startFolder(), QStringLiteral("Fichiers textes (*.txt)"));
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  dialog.setAcceptMode(kind == FileDialogKind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(kind == FileDialogKind::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  PlainFileIcons icons;
  dialog.setIconProvider(&icons);
  shapeFileDialog(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString path = dialog.selectedFiles().constFirst();
  startFolder() = QFileInfo(path).absolutePath();
  return path;
}

UnsavedAnswer askUnsaved(QWidget* parent, const QString& question, const MemoryHost& host) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("VRX4"), question, QMessageBox::NoButton, parent);
  auto* save = box.addButton(host.textOf(MemoryText::Save), QMessageBox::AcceptRole);
  auto* discard = box.addButton(host.textOf(MemoryText::Discard), QMessageBox::DestructiveRole);
  auto* cancel = box.addButton(host.textOf(MemoryText::Cancel), QMessageBox::RejectRole);
  box.setDefaultButton(save);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == save) return UnsavedAnswer::Save;
  if (box.clickedButton() == discard) return UnsavedAnswer::Discard;
  return UnsavedAnswer::Cancel;
}

QString readFailure(const config_file::ReadOutcome& r, const std::string& path) {
  if (r.status == config_file::ReadStatus::CouldNotOpen) {
    QString text = qs(config_file::kMsgCouldNotOpen) + QStringLiteral("\n") + qs(path);
    if (!r.detail.empty()) text += QStringLiteral(": ") + qs(r.detail);
    return text;
  }
  return qs(config_file::kMsgInvalidLine) + QStringLiteral("\n%1: line %2").arg(qs(path)).arg(r.invalidLine);
}

QString saveFailure(const MemoryHost& host, const std::string& detail) {
  return qs(config_file::kMsgCouldNotOpen) + QStringLiteral("\n\n") + fillIn(host.textOf(MemoryText::FileNotSaved), qs(detail));
}

QString fillIn(const QString& text, const QString& value) {
  const qsizetype at = text.indexOf(QStringLiteral("%s"));
  if (at < 0) return text;
  return QString(text).replace(at, 2, value);
}

}  // namespace vrx4
