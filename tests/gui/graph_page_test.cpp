// The GRAPH page on the built-in simulated regulator: its controls and
// time base, the recording that follows the page, the scroll bar; the
// capture file (a FIFO refused at once, a full disk or a
// file that went away said with every lost row counted, a capture across a
// link outage whose rows are the chart's samples); a capture file opened
// back into the chart and read at the cursor as recorded (vrx4ctl's rows:
// the CLI capture test), damaged rows said, foreign files refused. Minutes of recording are fed at the sample
// clock from a plant model instead of waited for. Renders to PNG files in
// the build folder, for a look.
#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QScrollBar>
#include <set>
#include <regex>

#include "core/link/comm_thread.h"
#include "core/link/frames.h"
#include "core/monitoring/capture_row.h"
#include "core/monitoring/chart_points.h"
#include "core/sim/factory_images.h"
#include "core/sim/plant_model.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/image_button.h"
#include "gui/monitoring/graph_file_view.h"
#include "gui/monitoring/graph_page.h"
#include "gui/monitoring/trend_chart.h"
#include "shell_harness.h"

namespace vrx4::testing {
namespace {

using namespace graph_id;

class GraphPage : public ShellTest {
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
  T* at(int id) { return control<T>(g_pGraphPage, id); }
  bool shown(int id) { return at(id)->isVisibleTo(g_pGraphPage); }

  // Types into a time base field and moves the focus away.
  void typeTimeBase(int id, const char* text) {
    auto* e = at<QLineEdit>(id);
    e->setText(QString::fromLatin1(text));
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(e, &out);
    settle();
  }

  // Clicks the button `id` and answers its file dialog with `path` (and
  // "already exists, replace it?" with Yes).
  void clickForFile(int id, const std::string& path) {
    onNextModal([path](QWidget* w) {
      if (auto* dialog = qobject_cast<QFileDialog*>(w)) {
        dialog->selectFile(QString::fromStdString(path));
        onNextModal([](QWidget* box) {
          if (auto* b = qobject_cast<QMessageBox*>(box)) b->button(QMessageBox::Yes)->click();
        });
        QMetaObject::invokeMethod(dialog, "accept");
      }
    });
    click(g_pGraphPage, id);
    settle();
  }
  void chooseCaptureFile(const std::string& path) { clickForFile(kCapture, path); }

  // Capture rows of a file, without the header; every line ends in CR LF.
  std::vector<std::string> rows(const std::string& path) {
    const std::string text = readFile(path);
    EXPECT_TRUE(text.starts_with(std::string(capture::kHeader) + "\r\n") && text.ends_with("\r\n")) << text;
    std::vector<std::string> out;
    for (std::size_t at = text.find("\r\n") + 2, end; at < text.size(); at = end + 2)
      out.push_back(text.substr(at, (end = text.find("\r\n", at)) - at));
    return out;
  }

  // The pointer moved onto plot column `column`, or onto `seconds`, of the chart.
  void pointAtColumn(int column) {
    const QPointF local(chart().clientRect().left() + chart::kPlotLeft + column, chart().clientRect().top() + 200);
    QMouseEvent move(QEvent::MouseMove, local, chart().mapToGlobal(local), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
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
  std::string text(int id) { return at<QLabel>(id)->text().toStdString(); }
  std::size_t stored() { return recording().m_store.Count(); }
  // How many pixels of `image` carry the colour.
  static int pixels(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour ? 1 : 0;
    return n;
  }
  // The readout with the pointer at `seconds`: its time ("none" where no
  // sample is found) and values.
  std::vector<std::string> readoutAt(double seconds) {
    const chart::CursorReadout& r = pointAt(seconds);
    std::vector<std::string> out{r.found ? r.time : "none"};
    out.insert(out.end(), r.value.begin(), r.value.end());
    return out;
  }
};

TEST_F(GraphPage, ControlsTimeBaseAndTheRecordingThatFollowsThePage) {
  startOnGraph("[Graph]\nNb_aff_max=1000\n");
  EXPECT_TRUE(chart().shown(kChCtrl) && !chart().shown(kChP2));
  click(g_pGraphPage, kP2);
  EXPECT_TRUE(chart().shown(kChP2));
  for (int id : {kRecord, kPause, kEnd, kPauseButton, kOk, 1262, 1055, 1056}) EXPECT_FALSE(shown(id)) << id;
  for (int id : {kRecord, kPause, kEnd}) EXPECT_TRUE(at<CImageButton>(id)->m_bHasImage) << id;
  auto timeBase = [&] { return at<QLineEdit>(kSamplePeriod)->text() + " " + at<QLineEdit>(kDivision)->text(); };
  EXPECT_EQ(timeBase(), QStringLiteral("0.10 5.00"));

  // Nb_aff_max = 1000: 15 x 5 s / 0.01 s would be 7500 samples.
  typeTimeBase(kSamplePeriod, "0");
  EXPECT_EQ(timeBase(), QStringLiteral("0.01 0.67"));
  EXPECT_DOUBLE_EQ(state().g_samplePeriod.load(), 0.01f);
  typeTimeBase(kDivision, "5");
  typeTimeBase(kSamplePeriod, "0.1");
  click(g_pGraphPage, kRestart);

  // Showing the page started the recording: samples at the sample period,
  // the chart refreshed once a second.
  ASSERT_TRUE(waitUntil([&] { return chart().points().m_nPoints >= 2; }, 8000));
  // Never closer than the period; a loaded machine may stretch a few
  // intervals, so the typical one is what shows the period in use.
  recording().m_store.read([](const SampleView& v) {
    std::vector<double> steps;
    for (std::size_t i = 1; i < v.size(); ++i) steps.push_back(v.time(i) - v.time(i - 1));
    ASSERT_FALSE(steps.empty());
    EXPECT_GT(*std::min_element(steps.begin(), steps.end()), 0.1 - 1e-9);
    std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
    EXPECT_LT(steps[steps.size() / 2], 0.5);
  });
  EXPECT_GE(chart().m_lastRefreshTime, 1.0);
  EXPECT_EQ(chart().scrollBar()->maximum(), 0);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(g_pGraphPage, &escape);
  EXPECT_TRUE(g_pGraphPage->isVisible()) << "Escape does nothing";

  // STOP ends the recording; leaving the page clears it; coming back
  // starts again from time 0.
  click(g_pGraphPage, kStop);
  const std::size_t atStop = stored();
  waitUntil([] { return false; }, 400);
  EXPECT_EQ(stored(), atStop);
  click(&view(), view_id::kLive);
  EXPECT_TRUE(!recording().g_graphRunning && stored() == 0u);
  click(&view(), view_id::kGraph);
  ASSERT_TRUE(waitUntil([&] { return stored() >= 3; }, 5000));
  GraphSample first;
  ASSERT_TRUE(recording().m_store.Get(1, first));
  EXPECT_LT(first.time, 1.0);
}

TEST_F(GraphPage, RendersTwoMinutesInBarAndPsiThenTheScrollBarMovesTheChart) {
  // Two minutes of recording with all seven channels on: every curve in
  // its colour inside the plot, the alarm pulse, the captions.
  startOnGraph("[Units]\nEchelleP=1\nFlagEchelleAuto=0\n");
  for (int id = kCtrl; id <= kAlarm; ++id) if (!at<QCheckBox>(id)->isChecked()) click(g_pGraphPage, id);
  for (const char* unit : {"bar", "psi"}) {
    if (std::string(unit) == "psi") viewControl<CColourLabel>(view_id::kPsi)->clicked();
    for (const char* division : {"5.00", "60.00"}) {
      typeTimeBase(kDivision, division);
      feedRecording(120.0);
      ASSERT_EQ(recording().m_store.Count(), 1200u);
      const QImage image = chart().grab().toImage();
      for (ColourWord c : {colour::rgb(255, 128, 0), colour::rgb(0, 0, 255), colour::rgb(0, 128, 128),
                           colour::rgb(128, 0, 255), colour::rgb(128, 128, 0)})
        EXPECT_GT(pixels(image, toQColor(c)), 50) << unit << " " << division << " colour " << std::hex << c;
      // The alarm pulse reaches the plot's top line (client y 40).
      bool alarmAtTop = false;
      for (int x = 31; x < 570; ++x) alarmAtTop |= image.pixelColor(x + 1, 41) == QColor(255, 0, 0);
      EXPECT_TRUE(alarmAtTop) << unit << " " << division;
      savePng(g_pGraphPage, std::string("vrx4-graph-20bar-") + unit + "-" + (division[0] == '5' ? "5s" : "60s") + ".png");
    }
  }

  // The scroll bar moves the chart and follows again at the end.
  typeTimeBase(kDivision, "5.00");
  feedRecording(200.0);  // 1440 pixels at 5 s per division
  QScrollBar* bar = chart().scrollBar();
  EXPECT_NEAR(bar->maximum(), 900, 1);
  EXPECT_EQ(bar->value(), bar->maximum());
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  settle();
  EXPECT_NEAR(chart().viewport().m_viewLeft, bar->maximum() - 270, 1);
  EXPECT_EQ(chart().points().m_x[0], 30);
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  settle();
  EXPECT_TRUE(chart().viewport().m_following);
  // A click beyond the plot puts the cursor at the window's right edge.
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(600, 200), chart().mapToGlobal(QPointF(600, 200)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&chart(), &press);
  EXPECT_EQ(chart().viewport().m_cursor, chart().viewport().m_viewRight);
}

// Every row meets a full disk: a few bytes go in, then there is no space.
long diskFull(int fd, const void* data, std::size_t size) {
  static bool tookSome = false;
  if ((tookSome = !tookSome)) return ::write(fd, data, std::min<std::size_t>(size, 5));
  errno = ENOSPC;
  return -1;
}

TEST_F(GraphPage, AFifoIsRefusedAtOnceAFullDiskAndAFileThatWentAwayAreSaidAndEveryLostRowCounted) {
  startOnGraph();
  const std::string fifo = m_dir + "/pipe.csv";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // A page that waited for a reader would hang until the test's time limit.
  QElapsedTimer clock;
  clock.start();
  chooseCaptureFile(fifo);
  EXPECT_LT(clock.elapsed(), 2000);
  EXPECT_EQ(m_boxes, std::vector<std::string>{"le fichier n'a pas été correctement ouvert\n" + fifo + ": not a regular file"});
  EXPECT_FALSE(at<QCheckBox>(kCapture)->isChecked() || shown(kRecord));

  // A full disk and a file that went away are said as they are.
  m_boxes.clear();
  const std::string path = m_dir + "/run.csv";
  chooseCaptureFile(path);
  click(g_pGraphPage, kRecord);
  CCaptureFile& file = recording().g_captureFile;
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= 3; }));

  // The disk fills up: the page counts the lost rows while the capture runs.
  file.m_write = diskFull;
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsLost >= 3; }));
  EXPECT_TRUE(shown(kCaptureNotice));
  EXPECT_EQ(text(kCaptureNotice), std::to_string(file.m_rowsLost) + " rows lost (No space left on device)");
  file.m_write = nullptr;  // space again
  const std::uint64_t before = file.m_rowsWritten;
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= before + 2; }));
  click(g_pGraphPage, kStop);
  EXPECT_FALSE(shown(kCaptureNotice) || at<QCheckBox>(kCapture)->isChecked());
  EXPECT_EQ(m_boxes, std::vector<std::string>{std::to_string(file.m_rowsLost) +
                            " rows could not be written to the capture file (No space left on device). The file "
                            "holds every other row."});
  // No row the disk took only in part, and every sample from the first row
  // on was either written or counted.
  const std::vector<std::string> lines = rows(path);
  ASSERT_EQ(lines.size(), file.m_rowsWritten);
  EXPECT_EQ(readFile(path).substr(readFile(path).size() - 6), "bar;\r\n");
  const double firstTime = std::stod(lines.front());
  EXPECT_EQ(lines.size() + file.m_rowsLost, recording().m_store.read([&](const SampleView& v) {
    return v.size() - v.firstAtOrAfter(firstTime - 1e-6);
  }));

  // The file is deleted while rows are written: the end does not claim it
  // holds the other rows.
  click(g_pGraphPage, kRestart);
  chooseCaptureFile(m_dir + "/second.csv");
  click(g_pGraphPage, kRecord);
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= 2; }));
  std::filesystem::remove(m_dir + "/second.csv");
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsLost >= 1; }));
  click(g_pGraphPage, kEnd);
  ASSERT_EQ(m_boxes.size(), 2u);
  EXPECT_EQ(m_boxes[1], "The capture file " + m_dir + "/second.csv is no longer there: it was deleted or its folder "
                        "went away, and the rows written before went with it. " + std::to_string(file.m_rowsLost) +
                        " more rows could not be written (No such file or directory).");
}

TEST_F(GraphPage, ACaptureAcrossALinkOutageSaysWhatItDoesAndItsRowsAreTheSamplesOfTheChart) {
  startOnGraph();
  ASSERT_TRUE(waitUntil([&] { return recording().m_store.Count() >= 5; }, 5000));
  const std::string path = m_dir + "/commissioning.csv";
  chooseCaptureFile(path);
  ASSERT_TRUE(at<QCheckBox>(kCapture)->isChecked());
  for (int id : {kRecord, kPause, kEnd, kCaptureStatus}) EXPECT_TRUE(shown(id)) << id;
  EXPECT_FALSE(recording().g_captureOn) << "writing starts with the record button";
  EXPECT_EQ(text(kCaptureStatus), "Capture file ready: no row written yet   0:00:00   0 rows written");

  click(g_pGraphPage, kRecord);
  // Updated once a second while rows are written (a loaded machine may
  // show the second second first).
  const std::regex running("Recording   0:00:0[1-9]   [1-9][0-9]* rows written");
  ASSERT_TRUE(waitUntil([&] { return std::regex_match(text(kCaptureStatus), running); }, 5000)) << text(kCaptureStatus);

  // The regulator falls silent until the link reports it, then answers again.
  CCaptureFile& file = recording().g_captureFile;
  withDevice([](sim::SimDevice& d) { d.faults().silent = true; });
  ASSERT_TRUE(waitUntil(
      [&] { return viewControl<QLabel>(view_id::kStatusText)->text().toStdString() == kept(Kept::NoCommunicate); }, 5000));
  const std::uint64_t atOutage = file.m_rowsWritten;
  withDevice([](sim::SimDevice& d) { d.faults().silent = false; });
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= atOutage + 5; }, 5000));

  // Paused: said at once, the clock stands still and no row is written.
  click(g_pGraphPage, kPause);
  const std::string paused = text(kCaptureStatus);
  const std::uint64_t rowsAtPause = file.m_rowsWritten;
  EXPECT_EQ(paused.rfind("Paused   0:00:0", 0), 0u) << paused;
  waitUntil([] { return false; }, 1100);
  EXPECT_EQ(std::make_pair(text(kCaptureStatus), file.m_rowsWritten), std::make_pair(paused, rowsAtPause));
  click(g_pGraphPage, kRecord);
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= rowsAtPause + 5; }, 5000));

  // The end: a summary that stays, with the rows and the file (the line
  // may shorten a long path in its middle; its tooltip has it all).
  click(g_pGraphPage, kEnd);
  EXPECT_FALSE(recording().g_captureOn || at<QCheckBox>(kCapture)->isChecked());
  for (int id : {kRecord, kPause, kEnd}) EXPECT_FALSE(shown(id)) << id;
  const std::vector<std::string> lines = rows(path);
  ASSERT_EQ(lines.size(), file.m_rowsWritten);
  EXPECT_EQ(at<QLabel>(kCaptureStatus)->toolTip().toStdString(),
            "Capture ended: " + std::to_string(lines.size()) + " rows written, 0 rows lost, file " + path);
  EXPECT_TRUE(m_boxes.empty()) << "a capture without losses ends without a message box";
  savePng(g_pGraphPage, "vrx4-graph-capture-summary.png");

  // Every row is the sample of the store with its time, in order, the
  // first with the time since the recording started, not 0. The outage is
  // one jump in the Time column, nothing made up for it, and one break in
  // the store.
  std::set<std::string> samples;
  int breaks = 0;
  recording().m_store.read([&](const SampleView& v) {
    for (std::size_t i = 0; i < v.size(); ++i) {
      samples.insert(capture::row(v.at(i), m_app->m_fPressureFactor, m_app->settings().m_nPressureUnit));
      breaks += i > 0 && v.breakBefore(i) ? 1 : 0;
    }
  });
  EXPECT_EQ(breaks, 1);
  EXPECT_GT(std::stod(lines.front()), 0.4);
  double previous = 0;
  int jumps = 0;  // besides the pause's, before row rowsAtPause
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_TRUE(samples.count(lines[i])) << lines[i];
    EXPECT_GT(std::stod(lines[i]), previous) << lines[i];
    jumps += i != rowsAtPause && std::stod(lines[i]) - previous > 1.0 ? 1 : 0;
    previous = std::stod(lines[i]);
  }
  EXPECT_EQ(jumps, 1);

  // Unchecking Capture also stops the rows.
  chooseCaptureFile(m_dir + "/second.csv");
  click(g_pGraphPage, kRecord);
  ASSERT_TRUE(waitUntil([&] { return file.m_rowsWritten >= 2; }, 5000));
  click(g_pGraphPage, kCapture);
  EXPECT_FALSE(recording().g_captureOn);
}

TEST_F(GraphPage, ACaptureOfThePageReadsBackAsRecordedDamagedRowsSaidForeignFilesRefused) {
  startOnGraph();
  for (int id : {kP2, kUout, kIout, kAlarm}) click(g_pGraphPage, id);
  view().OnUnit(unit::kPsi);  // the file in PSI
  const std::string path = m_dir + "/overnight.csv";
  state().g_currentPage.store(2);  // only the fed samples make rows
  waitUntil([] { return false; }, 300);
  chooseCaptureFile(path);
  click(g_pGraphPage, kRecord);
  feedRecording(120.0, 0.1, 60.0, 66.0);  // a link outage from 60 s to 66 s
  EXPECT_FALSE(shown(kOpenCapture)) << "no file is opened while a capture is written";
  click(g_pGraphPage, kEnd);
  EXPECT_TRUE(shown(kOpenCapture));
  // Read in bar (each value to the device's resolution), and in kPa.
  view().OnUnit(unit::kBar);

  // P2 lies exactly under Uout: the cursor gives both, each in its unit.
  const chart::CursorReadout& r = pointAt(50.0);
  ASSERT_TRUE(r.found);
  EXPECT_NEAR(std::stod(r.time), 50.0, 0.15);
  EXPECT_EQ(r.y[kChP2], r.y[kChUout]);
  EXPECT_EQ(r.value[kChP2], r.value[kChUout].substr(0, r.value[kChUout].size() - 1) + "bar");

  const double times[] = {47.3, 48.2, 59.0, 63.0, 70.0, 119.5};
  std::vector<std::vector<std::string>> recorded;
  for (double t : times) recorded.push_back(readoutAt(t));
  EXPECT_TRUE(recorded[3][0] == "none" && recorded[1][0] == "48.200 s") << "the outage; " << recorded[1][0];
  view().OnUnit(unit::kKpa);
  const std::vector<std::string> recordedKpa = readoutAt(48.2);
  view().OnUnit(unit::kBar);

  // The cursor stays under the pointer when the chart scrolls; it goes
  // when the pointer leaves.
  pointAtColumn(200);
  const std::string before = chart().readout().time;
  chart().scrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
  settle();
  EXPECT_EQ(chart().viewport().cursorColumn(), 200);
  EXPECT_NE(chart().readout().time, before);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&chart(), &leave);
  EXPECT_FALSE(chart().viewport().m_cursorShown);

  // Live recording back on the GRAPH page: no sample may enter while a
  // file is shown. The chart was scrolled back: the file is shown from its
  // end all the same.
  state().g_currentPage.store(13);
  clickForFile(kOpenCapture, path);
  ASSERT_TRUE(page().fileView()->shown()) << (m_boxes.empty() ? "" : m_boxes.back());
  EXPECT_EQ(text(kFileShown), "File overnight.csv, 0.100 s to 120.000 s (0:01:59): not live data. RE-START returns to live.");
  EXPECT_FALSE(at<QCheckBox>(kCapture)->isEnabled() || recording().g_graphRunning);
  EXPECT_EQ(recording().m_store.Count(), 1140u);
  waitUntil([] { return false; }, 600);
  EXPECT_EQ(recording().m_store.Count(), 1140u) << "live samples went into the file's chart";
  for (std::size_t i = 0; i < std::size(times); ++i) EXPECT_EQ(readoutAt(times[i]), recorded[i]) << times[i];
  // The unit changed while the file is shown: the chart follows.
  view().OnUnit(unit::kKpa);
  EXPECT_EQ(readoutAt(48.2), recordedKpa);
  savePng(g_pGraphPage, "vrx4-graph-file-shown.png");
  EXPECT_TRUE(m_boxes.empty()) << m_boxes.front();

  // Damaged rows are said; foreign files and FIFOs leave the chart as it was.
  const std::string h = std::string(capture::kHeader) + "\r\n";
  // Rows 301.. start the Time column again (RE-START pressed while the
  // capture was written): from line 309 on.
  std::string csv = h;
  for (int i = 1; i <= 310; ++i)
    csv += (i <= 300 && i % 40 == 0 ? "12.3;garbage\r\n" : "") + capture::fixed3((i <= 300 ? i : i - 300) * 0.1) +
           (i <= 300 ? ";5" : ";4") + ".000;0.000;2.000;24.000;5.000;12.000;0;0;bar;\r\n";
  writeFile(m_dir + "/damaged.csv", csv);
  clickForFile(kOpenCapture, m_dir + "/damaged.csv");
  ASSERT_TRUE(page().fileView()->shown());
  EXPECT_EQ(text(kStoreNotice),
            "7 damaged rows skipped (lines 41, 82, 123, 164, 205, ...).  The Time column starts again at line 309 "
            "(RE-START during the capture): what follows is drawn after what came before, its times moved on.");
  EXPECT_TRUE(at(kStoreNotice)->isVisible());
  savePng(g_pGraphPage, "vrx4-graph-file-damaged.png");
  const std::string line = text(kFileShown);
  EXPECT_EQ(recording().m_store.Count(), 310u);

  writeFile(m_dir + "/VRX4.txt", "[BASE]\r\n00 11 22 33\r\n");
  ASSERT_EQ(::mkfifo((m_dir + "/pipe.csv").c_str(), 0600), 0);
  writeFile(m_dir + "/header.csv", h + "1;2;3\r\n");
  for (const char* name : {"VRX4.txt", "pipe.csv", "header.csv"}) {
    m_boxes.clear();
    clickForFile(kOpenCapture, m_dir + "/" + name);
    ASSERT_EQ(m_boxes.size(), 1u) << name;
    EXPECT_NE(m_boxes[0].find(name), std::string::npos) << m_boxes[0];
    EXPECT_EQ(text(kFileShown), line);
    EXPECT_EQ(recording().m_store.Count(), 310u);
  }
  EXPECT_EQ(m_boxes[0], "The capture file holds no row that can be read (1 damaged rows): " + m_dir +
                            "/header.csv. The graph is as it was.");

  // RE-START: live again, from an empty store.
  click(g_pGraphPage, kRestart);
  EXPECT_FALSE(page().fileView()->shown() || at(kFileShown)->isVisible());
  EXPECT_TRUE(at<QCheckBox>(kCapture)->isEnabled() && recording().g_graphRunning);
  EXPECT_LT(recording().m_store.Count(), 20u);
}

}  // namespace
}  // namespace vrx4::testing
