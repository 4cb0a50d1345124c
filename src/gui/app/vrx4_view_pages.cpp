// What the main view hands the parameter pages: the shared device state,
// the display context of the moment, their message texts in the chosen
// language, message boxes, and the folder of the data files.
#include "core/base/language_table.h"
#include "gui/app/message_box.h"
#include "gui/app/vrx4_app.h"
#include "gui/app/vrx4_view.h"
#include "gui/monitoring/graph_page.h"

namespace vrx4 {

void CVRX4View::setUpPageHost() {
  m_pageHost.state = &m_app.state();
  m_pageHost.units = [this] {
    const Settings& st = m_app.settings();
    PageUnits u = PageUnits::of(st.m_nPressureUnit, st.m_nPressureScale, m_app.state().g_accessMode.load());
    u.factor = m_app.m_fPressureFactor;
    return u;
  };
  m_pageHost.text = [this](PageText t) {
    Kept k = Kept::RequestInvalid;
    switch (t) {
      case PageText::TransferBusy: k = Kept::TransferBusy; break;
      case PageText::RequestInvalid: k = Kept::RequestInvalid; break;
      case PageText::NotANumber: k = Kept::NotANumber; break;
      case PageText::NotAWholeNumber: k = Kept::NotAWholeNumber; break;
      case PageText::LowerXCorner: k = Kept::LowerXCorner; break;
      case PageText::UpperXCorner: k = Kept::UpperXCorner; break;
      case PageText::LowerYCorner: k = Kept::LowerYCorner; break;
      case PageText::UpperYCorner: k = Kept::UpperYCorner; break;
    }
    return QString::fromStdString(m_app.keptText(k));
  };
  m_pageHost.message = [](QWidget* parent, const QString& text) { messageBox(parent, text); };
  m_pageHost.dataDir = m_app.GetProgramDir();
}

GraphPageHost CVRX4View::graphPageHost() {
  GraphPageHost h;
  h.state = &m_app.state();
  h.recording = &m_app.m_graph;
  h.maxPoints = m_app.settings().m_nGraphMaxPoints;
  h.units = m_pageHost.units;
  h.text = [this](GraphText t) {
    Kept k = Kept::GraphOldestLeft;
    switch (t) {
      case GraphText::RowsLost: k = Kept::CaptureRowsLost; break;
      case GraphText::FileGone: k = Kept::CaptureFileGone; break;
      case GraphText::RowsLostSoFar: k = Kept::CaptureRowsLostSoFar; break;
      case GraphText::OldestLeft: k = Kept::GraphOldestLeft; break;
      case GraphText::CaptureReady: k = Kept::CaptureReady; break;
      case GraphText::CaptureWriting: k = Kept::CaptureWriting; break;
      case GraphText::CapturePaused: k = Kept::CapturePaused; break;
      case GraphText::RowsWritten: k = Kept::CaptureRowsWritten; break;
      case GraphText::CaptureEnded: k = Kept::CaptureEnded; break;
    }
    return QString::fromStdString(m_app.keptText(k));
  };
  h.message = m_pageHost.message;
  h.dataDir = m_app.GetProgramDir();
  return h;
}

}  // namespace vrx4
