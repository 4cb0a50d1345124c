// The main view's printing: the LIVE page as it is shown, scaled to the
// printed page.
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>

#include "gui/app/vrx4_view.h"
#include "gui/monitoring/live_page.h"
#include "gui/pages/page_registry.h"

namespace vrx4 {

void CVRX4View::PrintLivePage(QPagedPaintDevice& device) {
  if (g_pLivePage == nullptr) return;
  QPainter painter(&device);
  const QRect page = painter.viewport();
  const QSize size = g_pLivePage->size();
  const double scale = std::min(page.width() / double(size.width()), page.height() / double(size.height()));
  painter.scale(scale, scale);
  // Drawn as it is shown: only the page and its visible children.
  g_pLivePage->render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
}

void CVRX4View::OnFilePrint() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() == QDialog::Accepted) PrintLivePage(printer);
}

void CVRX4View::OnFilePrintPreview() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintPreviewDialog preview(&printer, this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { PrintLivePage(*p); });
  preview.exec();
}

}  // namespace vrx4
