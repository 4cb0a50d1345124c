#include "gui/app/logo_panel.h"

#include <QPainter>

#include "gui/controls/bitmap_painter.h"

namespace vrx4 {

CLogoPanel::CLogoPanel(int dialogId, std::string bitmapName, std::string dataDir, QWidget* parent)
    : CPage(dialogId, parent, colour::kWhite), m_bitmapName(std::move(bitmapName)), m_dataDir(std::move(dataDir)) {}

void CLogoPanel::paintEvent(QPaintEvent* event) {
  CPage::paintEvent(event);
  QPainter painter(this);
  m_drawn = DrawBitmapFile(resolveBitmapPath(m_bitmapName, m_dataDir), painter);
}

}  // namespace vrx4
