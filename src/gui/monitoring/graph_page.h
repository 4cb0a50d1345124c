// The graph page: the trend chart of the live values, the channels it
// draws, the time base, RE-START and STOP, and the capture file with its
// record, pause and end buttons.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "core/base/control_ids.h"
#include "core/monitoring/capture_status.h"
#include "core/monitoring/time_base.h"
#include "gui/pages/page.h"
#include "core/pages/page_formats.h"

class QFrame;
class QLineEdit;
class QTimer;

namespace vrx4 {

class CColourCheckBox;
class CColourLabel;
class CImageButton;
class CTrendChart;
class DeviceState;
struct GraphRecording;
struct LiveMeasurement;

namespace graph_id {
constexpr int kChannelBox = 1198, kCaptureBox = 1199, kTimeBaseBox = 1200;
// Channel boxes, in the chart's channel order.
constexpr int kCtrl = 1231, kAuxin = 1232, kP2 = 1233, kVdc24 = 1234, kUout = 1235, kIout = 1236, kAlarm = 1237;
constexpr int kCapture = 1239;
constexpr int kRecord = 1054, kPause = 1260, kEnd = 1258;
constexpr int kNeverShown[] = {1262, 1055, 1056};
constexpr int kTimeBaseCaption = 1264, kSamplePeriod = 1238, kSampleUnit = 1267, kDivision = 1242, kDivisionUnit = 1268;
constexpr int kRestart = 1243, kPauseButton = 1244, kStop = 1245, kOk = 1;
constexpr int kChart = 9002;
// Our own: the line that says the store has begun to let old samples go,
// and the capture's status line above the chart: whether rows are written,
// for how long and how many (then the summary once it ended), followed by
// the rows lost while it runs.
constexpr int kStoreNotice = 1269;
constexpr int kCaptureNotice = 1270;
constexpr int kCaptureStatus = 1271;
}  // namespace graph_id

// The capture buttons' bitmaps, read from the data folder.
inline constexpr const char* kRecordBitmap = "Capture_record.bmp";  // a play triangle
inline constexpr const char* kPauseBitmap = "Capture_pause.bmp";    // two pause bars
inline constexpr const char* kEndBitmap = "Capture_end.bmp";        // a stop square

// Texts the page shows; the view looks them up in the language file.
enum class GraphText {
  RowsLost,       // at the end: "%d" rows could not be written ("%s": why); the file holds the rest
  FileGone,       // at the end: the file "%s" is gone; "%d" more rows lost ("%s": why)
  RowsLostSoFar,  // while capturing: "%d" rows lost so far ("%s": why)
  OldestLeft,     // the store is full and the oldest samples leave
  CaptureReady,    // a capture file is open and no row is written yet
  CaptureWriting,  // rows are being written
  CapturePaused,   // the pause button is down
  RowsWritten,     // "%d" rows in the file
  CaptureEnded,    // the summary: "%d" rows written, "%d" lost, "%s" the file
};

// What the graph page needs from the program around it.
struct GraphPageHost {
  DeviceState* state = nullptr;
  GraphRecording* recording = nullptr;
  std::int32_t maxPoints = 65535;  // Nb_aff_max
  std::function<PageUnits()> units;
  std::function<QString(GraphText)> text;
  std::function<void(QWidget* parent, const QString& text)> message;
  std::string dataDir;
};

class CGraphPage : public CPage {
 public:
  CGraphPage(const GraphPageHost& host, QWidget* parent);
  bool built() const override { return true; }

  // The chart again (a unit or range change).
  void Refresh(int keepButtons) override;

  // A capture sample of the live value display (0x464 with lParam 1):
  // into the store, the chart refreshed once a second, a row of the
  // capture file while capturing.
  void OnCaptureSample(const LiveMeasurement& m, std::uint32_t sampleMs);

  // RE-START (and the page being shown): the recording starts again.
  void OnRestart();
  // STOP: recording and capture end.
  void OnStop();

  CTrendChart* chart() const { return m_chart; }
  TimeBase timeBase() const { return m_timeBase; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createControls();
  QFrame* panel(int id, QRect r);
  CColourLabel* caption(int id, const char* text, QRect r);
  void onChannel(int channel, bool checked);
  void onSamplePeriodEdited();
  void onDivisionEdited();
  void applyTimeBase(const TimeBaseEdit& edit);
  void onCaptureClicked(bool checked);
  void endCapture();
  void showCaptureButtons(bool show);
  void showRowsLost();
  // The capture's status line: its state, elapsed time and rows, again.
  void showCaptureStatus();
  void onRecordButton(bool writing);
  // The status line's text and symbol.
  enum class CaptureSymbol { None, Ready, Writing, Paused, Ended };
  void setCaptureStatus(CaptureSymbol symbol, const QString& text, const QString& tip = QString());
  // A text of the host with "%d" and then each "%s" in turn filled in.
  QString text(GraphText t, std::uint64_t number, std::initializer_list<QString> values) const;

  GraphPageHost m_host;
  CTrendChart* m_chart = nullptr;
  CColourCheckBox* m_capture = nullptr;
  CImageButton* m_captureButtons[3] = {};
  QLineEdit* m_samplePeriod = nullptr;
  QLineEdit* m_division = nullptr;
  CColourLabel* m_notice = nullptr;
  CColourLabel* m_captureNotice = nullptr;
  CColourLabel* m_captureStatus = nullptr;
  QTimer* m_captureTimer = nullptr;  // runs while a capture file is open
  capture::CaptureClock m_captureClock;
  CaptureSymbol m_captureSymbol = CaptureSymbol::None;
  QFrame* m_panels[3] = {};
  TimeBase m_timeBase;
  bool m_captureOpen = false;  // a capture file was created and not yet ended
};

}  // namespace vrx4
