// The status bar's transfer progress: a bar filled to the share of the
// steps done and, beside it, the step, the steps in all and the seconds
// left, or that the transfer waits for the regulator. Shown while a read
// or a write runs, hidden when it ends.
#pragma once

#include <QString>
#include <QWidget>

#include "core/link/transfer_progress.h"

namespace vrx4 {

class CTransferProgressBar : public QWidget {
 public:
  explicit CTransferProgressBar(QWidget* parent = nullptr);

  // The texts in the chosen language: reading and writing with three
  // "%d" (step, steps in all, seconds left), waiting with two.
  void setTexts(const QString& reading, const QString& writing, const QString& waiting);
  // A running transfer's progress shows the bar; an ended one hides it.
  void showProgress(const transfer_progress::Progress& p);

  int percent() const { return m_progress.percent(); }
  QString text() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  transfer_progress::Progress m_progress;
  QString m_reading, m_writing, m_waiting;
};

}  // namespace vrx4
