#include "gui/app/main_frame.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include "gui/app/vrx4_app.h"
#include "gui/app/vrx4_view.h"

namespace vrx4 {

CMainFrame::CMainFrame(CVRX4App& app) : m_app(app) {
  setWindowTitle(QString::fromLatin1(kMainTitle));
  QIcon icon;
  for (int size : {48, 128, 256}) icon.addFile(QStringLiteral(":/icons/vrx4-%1.png").arg(size), QSize(size, size));
  setWindowIcon(icon);
  setMaximumSize(kMaxWidth, kMaxHeight);
  m_scroll = new QScrollArea(this);
  m_scroll->setWidgetResizable(true);
  m_scroll->setFrameShape(QFrame::NoFrame);
  m_view = new CVRX4View(app);
  m_scroll->setWidget(m_view);
  setCentralWidget(m_scroll);
  // The view's size is the visible area (the scroll area's viewport).
  m_scroll->viewport()->installEventFilter(this);
  connect(m_scroll->verticalScrollBar(), &QScrollBar::valueChanged, m_view, [this] { m_view->OnScroll(); });
  connect(m_scroll->horizontalScrollBar(), &QScrollBar::valueChanged, m_view, [this] { m_view->OnScroll(); });
}

CMainFrame::~CMainFrame() {
  if (!m_destroyed) m_view->OnDestroy();
}

void CMainFrame::showWithViewSize(QSize viewSize) {
  // The view scrolls in a direction where it is smaller than its form, and
  // the bar of that direction takes its width from the other one. Which
  // bars show depends only on the view's size, so the frame size follows
  // from it directly. The frame's maximum may still cut it.
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll);
  const QSize form = m_view->minimumSize();
  const int border = 2 * m_scroll->frameWidth();
  resize(viewSize.width() + border + (viewSize.height() < form.height() ? bar : 0),
         viewSize.height() + border + (viewSize.width() < form.width() ? bar : 0));
  show();
}

void CMainFrame::showMaximisedOnScreen() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    setGeometry(QRect(area.topLeft(), area.size().boundedTo(maximumSize())));
  }
  showMaximized();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_scroll->viewport() && event->type() == QEvent::Resize) {
    const auto* resize = static_cast<QResizeEvent*>(event);
    m_view->OnSize(resize->size().width(), resize->size().height());
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // Unsaved file-mode work is asked about first, except when the session
  // ends (a signal, a logout): nobody is there to answer then, and the
  // work goes to a recovery copy instead.
  const bool sessionEnds = property(kSessionEndProperty).toBool();
  if (!m_destroyed && !sessionEnds && !m_view->QueryClose()) {
    event->ignore();
    return;
  }
  if (!m_destroyed) {
    m_destroyed = true;
    m_app.keptWork().AtClose(sessionEnds);
    m_view->OnDestroy();
  }
  event->accept();
}

}  // namespace vrx4
