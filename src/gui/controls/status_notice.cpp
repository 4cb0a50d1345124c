#include "gui/controls/status_notice.h"

#include <QPainter>
#include <algorithm>

namespace vrx4 {

CStatusNotice::CStatusNotice(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  m_timer.setSingleShot(true);
  connect(&m_timer, &QTimer::timeout, this, [this] { step(); });
  hide();
}

void CStatusNotice::showNotice(const QString& text) {
  m_text = text;
  setToolTip(text);
  m_shown.start();
  m_timer.start(kHoldMs);
  show();
  raise();
  update();
}

void CStatusNotice::dismiss() {
  m_timer.stop();
  hide();
}

double CStatusNotice::opacity() const {
  if (!isVisible() || !m_shown.isValid()) return 0;
  const qint64 fading = m_shown.elapsed() - kHoldMs;
  return fading <= 0 ? 1.0 : std::max(0.0, 1.0 - static_cast<double>(fading) / kFadeMs);
}

void CStatusNotice::step() {
  // Repainted about 25 times a second while it fades, then hidden.
  if (opacity() <= 0) {
    dismiss();
    return;
  }
  update();
  m_timer.start(40);
}

void CStatusNotice::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setOpacity(opacity());
  QFont f = font();
  f.setBold(true);
  painter.setFont(f);
  painter.setPen(Qt::white);
  painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter,
                   painter.fontMetrics().elidedText(m_text, Qt::ElideMiddle, width()));
}

}  // namespace vrx4
