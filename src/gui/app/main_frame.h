// The top-level window: a scrolling frame around the main view, kept within
// 1050 by 768 pixels.
#pragma once

#include <QMainWindow>

class QScrollArea;

namespace vrx4 {

class CVRX4App;
class CVRX4View;

inline constexpr const char* kMainTitle = "TARVO - HOLMAR -";
// Set on the window when the session ends it: it closes without a question.
inline constexpr const char* kSessionEndProperty = "vrx4SessionEnd";

class CMainFrame : public QMainWindow {
 public:
  static constexpr int kMaxWidth = 1050;
  static constexpr int kMaxHeight = 768;

  explicit CMainFrame(CVRX4App& app);
  ~CMainFrame() override;

  CVRX4View* view() const { return m_view; }
  // Shows the frame at its current place sized so that the view (the
  // scroll area's visible part) gets `viewSize`: the saved size is the
  // view's, so restoring it on the whole frame would lose the scroll bars'
  // width at every session.
  void showWithViewSize(QSize viewSize);
  // Maximised, with the screen's available area (within the frame's
  // maximum) as the size it has first: maximising is a request to a window
  // manager, and without one the window would keep a tiny default size.
  void showMaximisedOnScreen();
  QScrollArea* scrollArea() const { return m_scroll; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CVRX4App& m_app;
  QScrollArea* m_scroll;
  CVRX4View* m_view;
  bool m_destroyed = false;
};

}  // namespace vrx4
