// The program on the built-in simulated regulator with the GRAPH page
// shown, and helpers for the graph page: its controls by id, the save
// dialog of Capture answered, and minutes of recording fed at the sample
// clock from a plant model instead of waited for.
#pragma once

#include <QFileDialog>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <cmath>

#include "core/sim/simulated_regulator.h"
#include "gui/controls/image_button.h"
#include "core/link/comm_thread.h"
#include "core/link/frames.h"
#include "gui/monitoring/graph_page.h"
#include "core/monitoring/capture_row.h"
#include "core/monitoring/chart_points.h"
#include "core/monitoring/graph_recording.h"
#include "gui/monitoring/trend_chart.h"
#include "shell_harness.h"
#include "core/sim/factory_images.h"
#include "core/sim/plant_model.h"

namespace vrx4::testing {

class GraphTest : public ShellTest {
 protected:
  // Terms accepted, both images read, VISUALISATION, GRAPH shown.
  void startOnGraph(const std::string& settings = "") {
    writeFile(m_settings, "[Agreement]\nState=1\n" + settings);
    startSimulated();
    ASSERT_TRUE(waitUntil([&] { return state().g_eepromLoaded.load() == 1; }, 20000));
    click(g_pModePage, mode_id::kVisualisation);
    click(&view(), view_id::kGraph);
    ASSERT_EQ(state().g_currentPage.load(), 13u);
  }

  CGraphPage& page() { return *g_pGraphPage; }
  CTrendChart& chart() { return *page().chart(); }
  GraphRecording& recording() { return m_app->m_graph; }
  template <class T = QWidget>
  T* at(int id) {
    return control<T>(g_pGraphPage, id);
  }
  bool shown(int id) { return at(id)->isVisibleTo(g_pGraphPage); }

  // Types into a time base field and moves the focus away.
  void typeTimeBase(int id, const char* text) {
    auto* e = at<QLineEdit>(id);
    e->setText(QString::fromLatin1(text));
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(e, &out);
    settle();
  }

  // Clicks the button `id` and answers its file dialog with `path`.
  void clickForFile(int id, const std::string& path) {
    onNextModal([path](QWidget* w) {
      if (auto* dialog = qobject_cast<QFileDialog*>(w)) {
        dialog->selectFile(QString::fromStdString(path));
        QMetaObject::invokeMethod(dialog, "accept");
      }
    });
    click(g_pGraphPage, id);
    settle();
  }
  void chooseCaptureFile(const std::string& path) { clickForFile(graph_id::kCapture, path); }

  // Capture rows of a file, without the header; every line must end in CR LF.
  std::vector<std::string> rows(const std::string& path) {
    const std::string text = readFile(path);
    std::vector<std::string> out;
    for (std::size_t at = 0, end; at < text.size(); at = end + 2) {
      end = text.find("\r\n", at);
      EXPECT_NE(end, std::string::npos) << "a line without CR LF at " << at;
      if (end == std::string::npos) break;
      out.push_back(text.substr(at, end - at));
    }
    EXPECT_FALSE(out.empty());
    if (!out.empty()) {
      EXPECT_EQ(out.front(), capture::kHeader);
      out.erase(out.begin());
    }
    return out;
  }

  // The pointer moved onto plot column `column`, or onto `seconds`, of the chart.
  void pointAtColumn(int column) {
    const QPointF local(chart().clientRect().left() + chart::kPlotLeft + column, chart().clientRect().top() + 200);
    QMouseEvent move(QEvent::MouseMove, local, chart().mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&chart(), &move);
    settle();
  }
  const chart::CursorReadout& pointAt(double seconds) {
    pointAtColumn(static_cast<int>(seconds * chart().viewport().m_pxPerSecond - chart().viewport().m_viewLeft));
    return chart().readout();
  }

  // Feeds `seconds` of recording at `period` as the link would, from a
  // plant model whose CONTROL input swings round 5 V and steps up to 9.5 V
  // for three seconds at 47 s (P2 lags), with an alarm pulse of 0.3 s at 48 s. The live link's
  // own samples are kept out (the link no longer sees the GRAPH page) and
  // the capture clock is set back so the fed times are in its past. No
  // sample comes in [outageFrom, outageTo) (a link outage) while the plant
  // goes on.
  void feedRecording(double seconds, double period = 0.1, double outageFrom = -1, double outageTo = -1) {
    state().g_currentPage.store(2);
    settle();
    page().OnRestart();
    const std::uint32_t start = CCommThread::tick() - static_cast<std::uint32_t>(seconds * 1000) - 1000;
    state().g_linkStartTick.store(start);
    recording().m_startTick = start;
    const sim::FactoryImages images = sim::factoryImages();
    sim::PlantModel plant;
    const sim::Forced none;
    for (int i = 1; i * period <= seconds + 1e-9; ++i) {
      const double t = i * period;
      plant.sweepControl = !(t >= 47 && t < 50);
      if (!plant.sweepControl) plant.controlInput = 9.5;
      plant.tick(period, images.option, images.base, none);
      if (t >= outageFrom && t < outageTo) continue;
      const bool alarm = plant.alarm() || (t > 48.05 && t < 48.35);  // a short alarm pulse
      const auto frame =
          buildMeasurementFrame(plant.measurement(images.option, images.base, none), alarm ? 0x01 : 0x00, 0);
      page().OnCaptureSample(decodeMeasurement(frame, 0), static_cast<std::uint32_t>(std::lround(t * 1000)));
    }
    chart().Refresh();
    settle();
  }
};

}  // namespace vrx4::testing
