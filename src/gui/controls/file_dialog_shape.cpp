#include "gui/controls/file_dialog_shape.h"

#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QListView>
#include <QSplitter>
#include <QTreeView>
#include <algorithm>

namespace vrx4 {
namespace {

// The list in detail, the name taking what the size, type and date leave.
// False while Qt has not made its own dialog's widgets yet.
bool shapeColumns(QFileDialog& dialog) {
  auto* files = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  if (files == nullptr) return false;
  QHeaderView* header = files->header();
  header->setStretchLastSection(false);
  header->setSectionResizeMode(QHeaderView::ResizeToContents);
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  // The places on the left as wide as their names.
  auto* places = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
  auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter"));
  if (places != nullptr && splitter != nullptr && splitter->count() == 2) {
    const int wanted = places->sizeHintForColumn(0) + 2 * places->frameWidth() + 8;
    const int total = std::max(splitter->width(), dialog.width() - 24);
    splitter->setSizes({wanted, std::max(total - wanted, wanted)});
  }
  return true;
}

// Qt makes the widgets of its own dialog when it is first shown (a
// desktop's native dialog lays itself out).
class ShapeOnShow : public QObject {
 public:
  explicit ShapeOnShow(QFileDialog& dialog) : QObject(&dialog) { dialog.installEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && shapeColumns(*static_cast<QFileDialog*>(watched))) deleteLater();
    return false;
  }
};

}  // namespace

void shapeFileDialog(QFileDialog& dialog) {
  dialog.setViewMode(QFileDialog::Detail);
  dialog.resize(std::max(dialog.width(), 820), std::max(dialog.height(), 440));
  if (!shapeColumns(dialog)) new ShapeOnShow(dialog);
}

}  // namespace vrx4
