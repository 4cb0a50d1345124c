#include "gui/controls/image_button.h"

#include <QButtonGroup>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

#include "core/base/bmp_image.h"
#include "gui/controls/colour_scheme.h"
#include "gui/controls/frame_3d.h"

namespace vrx4 {
namespace {

QColor sys(int n) { return toQColor(systemColour(QPalette(), n)); }

}  // namespace

CImageButton::CImageButton(int buttonType, QWidget* parent) : QAbstractButton(parent), m_nButtonType(buttonType) {
  m_colours.fill(colour::kPanel);
  setCheckable(isRadio() || isCheckType());
  setMouseTracking(true);
}

bool CImageButton::SetBitmap(const std::string& path, ColourWord transparent) {
  const BmpImage bmp = readBmpFile(path);
  m_bHasImage = false;
  m_image = m_disabledImage = QPixmap();
  m_imageSize = QSize();
  if (!bmp.ok()) {
    update();
    return false;
  }
  QImage image(bmp.width, bmp.height, QImage::Format_ARGB32);
  const QRgb clear = qRgb(colour::red(transparent), colour::green(transparent), colour::blue(transparent));
  for (int y = 0; y < bmp.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < bmp.width; ++x) {
      const QRgb px = bmp.pixels[static_cast<std::size_t>(y) * bmp.width + x] | 0xFF000000u;
      line[x] = px == clear ? qRgba(0, 0, 0, 0) : px;
    }
  }
  m_image = QPixmap::fromImage(image);
  m_disabledImage = QIcon(m_image).pixmap(m_image.size(), QIcon::Disabled);
  m_imageSize = m_image.size();
  m_bHasImage = !m_image.isNull();
  update();
  return true;
}

int CImageButton::GetCheck() const { return (isRadio() || isCheckType()) && m_bChecked ? 1 : 0; }

void CImageButton::SetCheck(int check) {
  if (isCheckable()) setChecked(check != 0);
  m_bChecked = m_bPressed = check != 0;
  update();
}

void CImageButton::checkStateSet() {
  m_bChecked = m_bPressed = isChecked();
  update();
}

void CImageButton::nextCheckState() {
  if (isCheckType()) {
    setChecked(!isChecked());
    return;
  }
  if (!isRadio()) return;
  setChecked(true);
  // The rest of the radio group goes out: the button group when there is
  // one, otherwise the radio image buttons beside this one.
  QList<QAbstractButton*> others;
  if (group() != nullptr) others = group()->buttons();
  else if (parentWidget() != nullptr) others = parentWidget()->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
  for (QAbstractButton* b : others) {
    auto* image = dynamic_cast<CImageButton*>(b);
    if (image != nullptr && image != this && image->isRadio()) image->SetCheck(0);
  }
}

void CImageButton::setHover(bool hover) {
  if (hover == m_bHover) return;
  m_bHover = hover;
  if (hover && m_hoverTimer == 0) m_hoverTimer = startTimer(kHoverCheckMs);
  if (!hover && m_hoverTimer != 0) {
    killTimer(m_hoverTimer);
    m_hoverTimer = 0;
  }
  update();
}

void CImageButton::mouseMoveEvent(QMouseEvent* event) {
  setHover(rect().contains(event->position().toPoint()));
  QAbstractButton::mouseMoveEvent(event);
}

void CImageButton::enterEvent(QEnterEvent* event) {
  setHover(true);
  QAbstractButton::enterEvent(event);
}

void CImageButton::leaveEvent(QEvent* event) {
  setHover(false);
  QAbstractButton::leaveEvent(event);
}

void CImageButton::timerEvent(QTimerEvent* event) {
  if (event->timerId() != m_hoverTimer) return QAbstractButton::timerEvent(event);
  // The mouse may leave without a message reaching the button (another
  // window took it): the cursor's place decides.
  if (!rect().contains(mapFromGlobal(QCursor::pos()))) setHover(false);
}

void CImageButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    m_bPressed = true;
    update();
  }
  QAbstractButton::mousePressEvent(event);
}

void CImageButton::mouseReleaseEvent(QMouseEvent* event) {
  QAbstractButton::mouseReleaseEvent(event);
  // A push button comes up again; a check or radio button shows its check
  // state (also when the button was let go outside it, without a click).
  m_bPressed = isCheckable() ? m_bChecked : false;
  update();
}

void CImageButton::focusInEvent(QFocusEvent* event) {
  QAbstractButton::focusInEvent(event);
  update();
}

void CImageButton::focusOutEvent(QFocusEvent* event) {
  QAbstractButton::focusOutEvent(event);
  update();
}

QPoint CImageButton::imagePosition(const QRect& r) const {
  int x = 3, y = 3;
  if (m_imageAlign & kCentreH) x = (r.width() - m_imageSize.width()) / 2;
  else if (m_imageAlign & kRight) x = r.width() - m_imageSize.width() - 3;
  if (m_imageAlign & kCentreV) y = (r.height() - m_imageSize.height()) / 2;
  else if (m_imageAlign & kBottom) y = r.height() - m_imageSize.height() - 3;
  return {x, y};
}

void CImageButton::paintEvent(QPaintEvent*) {
  if ((isRadio() || isCheckType()) && !m_bPressed) m_bPressed = m_bChecked;
  m_state = !isEnabled() ? kDisabled : m_bPressed ? kPressed : m_bHover ? kHover : kNormal;
  const bool flat = (m_flags & 1) != 0;

  QPainter p(this);
  const QRect r = rect();
  const QColor back = m_state == kDisabled ? sys(colour::kSysButtonFace) : toQColor(m_colours[m_state * 2]);
  p.fillRect(r, back);

  const QRect edge = r.adjusted(0, 0, -1, -1);
  if (m_state == kPressed) {
    drawFrame3D(p, edge, sys(colour::kSysButtonShadow), sys(colour::kSysHighlight3D));
  } else if (!flat) {
    drawFrame3D(p, edge, sys(colour::kSysHighlight3D), sys(colour::kSysDarkShadow3D));
    drawFrame3D(p, edge.adjusted(1, 1, -1, -1), sys(colour::kSysButtonFace), sys(colour::kSysButtonShadow));
  } else if (m_bHover) {
    drawFrame3D(p, edge, sys(colour::kSysHighlight3D), sys(colour::kSysButtonShadow));
  }

  if (m_bHasImage) {
    QPoint at = imagePosition(r);
    if (m_state == kPressed) at += QPoint(1, 1);
    p.drawPixmap(at, m_state == kDisabled ? m_disabledImage : m_image);
  }

  if (!text().isEmpty()) {
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    if (m_state == kDisabled) {
      p.setPen(sys(colour::kSysHighlight3D));
      p.drawText(r.translated(1, 1), flags, text());
      p.setPen(sys(colour::kSysButtonShadow));
    } else {
      p.setPen(toQColor(m_colours[m_state * 2 + 1]));
    }
    p.drawText(r, flags, text());
  }
}

}  // namespace vrx4
