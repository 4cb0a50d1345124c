// A short text in the status bar that says a command has finished
// ("Imported into conf.txt"): shown at once, held a few seconds, then
// faded out. A new notice replaces the one shown; nothing runs while
// none is shown.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace vrx4 {

class CStatusNotice : public QWidget {
 public:
  static constexpr int kHoldMs = 4000;
  static constexpr int kFadeMs = 1000;

  explicit CStatusNotice(QWidget* parent = nullptr);

  void showNotice(const QString& text);
  // Hidden at once.
  void dismiss();

  const QString& text() const { return m_text; }
  // 1 while held, falling to 0 as it fades.
  double opacity() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void step();

  QString m_text;
  QElapsedTimer m_shown;
  QTimer m_timer;
};

}  // namespace vrx4
