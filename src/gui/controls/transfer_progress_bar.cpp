#include "gui/controls/transfer_progress_bar.h"

#include <QPainter>

namespace vrx4 {
namespace {

constexpr int kBarWidth = 90;
constexpr int kGap = 6;

}  // namespace

CTransferProgressBar::CTransferProgressBar(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  hide();
}

void CTransferProgressBar::setTexts(const QString& reading, const QString& writing, const QString& waiting) {
  m_reading = reading;
  m_writing = writing;
  m_waiting = waiting;
  update();
}

void CTransferProgressBar::showProgress(const transfer_progress::Progress& p) {
  m_progress = p;
  setVisible(!p.ended());
  setToolTip(text());
  update();
}

QString CTransferProgressBar::text() const {
  return QString::fromStdString(transfer_progress::describe(m_progress, m_reading.toStdString(),
                                                            m_writing.toStdString(), m_waiting.toStdString()));
}

void CTransferProgressBar::paintEvent(QPaintEvent*) {
  // Drawn on the dark bottom band: a white frame, filled green while steps
  // go by and amber while the regulator is waited for.
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QRect bar(0, 3, kBarWidth, height() - 7);
  painter.setPen(Qt::white);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(bar);
  const bool waiting = m_progress.stage == transfer_progress::Stage::Waiting;
  const int filled = (bar.width() - 3) * percent() / 100;
  if (filled > 0)
    painter.fillRect(bar.x() + 2, bar.y() + 2, filled, bar.height() - 3,
                     waiting ? QColor(255, 190, 0) : QColor(0, 200, 0));
  const QRect textArea(kBarWidth + kGap, 0, width() - kBarWidth - kGap, height());
  painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter,
                   painter.fontMetrics().elidedText(text(), Qt::ElideRight, textArea.width()));
}

}  // namespace vrx4
