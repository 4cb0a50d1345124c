#include "gui/monitoring/graph_page.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <chrono>

#include "gui/controls/bitmap_painter.h"
#include "gui/controls/colour_button.h"
#include "gui/controls/colour_check_box.h"
#include "gui/controls/colour_edit.h"
#include "gui/controls/colour_label.h"
#include "gui/controls/control_id.h"
#include "gui/controls/image_button.h"
#include "gui/controls/plain_file_icons.h"
#include "core/link/comm_thread.h"
#include "core/link/device_state.h"
#include "core/memory/config_file.h"
#include "core/monitoring/capture_row.h"
#include "core/monitoring/channel_colours.h"
#include "core/monitoring/graph_recording.h"
#include "gui/monitoring/trend_chart.h"
#include "gui/monitoring/live_page.h"
#include "gui/pages/page_registry.h"

namespace vrx4 {
namespace {

using namespace graph_id;

constexpr int kChannelIds[kChannelCount] = {kCtrl, kAuxin, kP2, kVdc24, kUout, kIout, kAlarm};
constexpr const char* kChannelTexts[kChannelCount] = {"CTRL [V]",  "Auxin [V]", "P2 [BAR]", "24VDC [V]",
                                                      "Uout [V]", "Iout [mA]", "Alarm"};

// The right-hand column of panels (page pixels).
constexpr int kPanelX = 618, kPanelW = 172, kInnerX = kPanelX + 10;
constexpr QRect kChartRect(0, 25, 610, 440);
// The capture's status line above the chart: its symbol, then the text.
constexpr QRect kCaptureSymbol(4, 5, 14, 14);
constexpr int kStatusX = 24, kStatusY = 2, kStatusH = 21;

std::uint64_t nowMs() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

}  // namespace

CGraphPage::CGraphPage(const GraphPageHost& host, QWidget* parent)
    : CPage(dialog::kGraph, parent, colour::kWhite), m_host(host) {
  createControls();
}

QFrame* CGraphPage::panel(int id, QRect r) {
  auto* f = new QFrame(this);
  setControlId(f, id);
  f->setFrameShape(QFrame::Box);
  f->setFrameShadow(QFrame::Sunken);
  f->setGeometry(r);
  f->lower();
  return f;
}

CColourLabel* CGraphPage::caption(int id, const char* text, QRect r) {
  auto* l = new CColourLabel(QString::fromUtf8(text), this);
  setControlId(l, id);
  l->setTextColour(colour::kBlack);
  l->setBackColour(colour::kPanel);
  l->setGeometry(r);
  return l;
}

void CGraphPage::createControls() {
  m_panels[0] = panel(kChannelBox, {kPanelX, 25, kPanelW, 196});
  m_panels[1] = panel(kCaptureBox, {kPanelX, 229, kPanelW, 84});
  m_panels[2] = panel(kTimeBaseBox, {kPanelX, 321, kPanelW, 144});

  // Channels: CTRL is drawn from the start.
  for (int c = 0; c < kChannelCount; ++c) {
    auto* box = new CColourCheckBox(QString::fromLatin1(kChannelTexts[c]), this);
    setControlId(box, kChannelIds[c]);
    box->setTextColour(kChannelColours[static_cast<std::size_t>(c)]);
    box->setGeometry(kInnerX, 33 + c * 26, kPanelW - 20, 22);
    connect(box, &QCheckBox::clicked, this, [this, c](bool checked) { onChannel(c, checked); });
  }

  m_capture = new CColourCheckBox(QStringLiteral("Capture"), this);
  setControlId(m_capture, kCapture);
  m_capture->setTextColour(colour::kBlack);
  m_capture->setGeometry(kInnerX, 237, kPanelW - 20, 22);
  connect(m_capture, &QCheckBox::clicked, this, [this](bool checked) { onCaptureClicked(checked); });
  const int buttonIds[3] = {kRecord, kPause, kEnd};
  const char* bitmaps[3] = {kRecordBitmap, kPauseBitmap, kEndBitmap};
  for (int i = 0; i < 3; ++i) {
    auto* b = new CImageButton(CImageButton::kAutoRadio, this);
    setControlId(b, buttonIds[i]);
    b->setGeometry(kInnerX + i * 34, 267, 27, 31);
    b->SetBitmap(resolveBitmapPath(bitmaps[i], m_host.dataDir), colour::kWhite);
    b->hide();
    m_captureButtons[i] = b;
  }
  connect(m_captureButtons[0], &QAbstractButton::clicked, this, [this] { onRecordButton(true); });
  connect(m_captureButtons[1], &QAbstractButton::clicked, this, [this] { onRecordButton(false); });
  connect(m_captureButtons[2], &QAbstractButton::clicked, this, [this] { endCapture(); });
  for (int id : kNeverShown) {
    auto* hidden = new QPushButton(this);
    setControlId(hidden, id);
    hidden->hide();
  }

  caption(kTimeBaseCaption, "Time base :", {kInnerX, 329, kPanelW - 20, 20});
  auto edit = [this](int id, const char* text, int y) {
    auto* e = new CColourEdit(this);
    setControlId(e, id);
    e->setText(QString::fromLatin1(text));
    e->setAlignment(Qt::AlignRight);
    e->setTextColour(colour::kBlack);
    e->setBackColour(colour::kWhite);
    e->setGeometry(kInnerX, y, 70, 24);
    e->installEventFilter(this);
    return e;
  };
  m_samplePeriod = edit(kSamplePeriod, "0.10", 353);
  caption(kSampleUnit, "s/sample", {kInnerX + 76, 355, 80, 20});
  m_division = edit(kDivision, "5.00", 383);
  caption(kDivisionUnit, "s/div", {kInnerX + 76, 385, 80, 20});
  connect(m_samplePeriod, &QLineEdit::returnPressed, this, [this] { onSamplePeriodEdited(); });
  connect(m_division, &QLineEdit::returnPressed, this, [this] { onDivisionEdited(); });

  auto button = [this](int id, const char* text, QRect r) {
    auto* b = new CColourButton(QString::fromLatin1(text), this);
    setControlId(b, id);
    b->setTextColour(colour::kBlack);
    b->setGeometry(r);
    return b;
  };
  connect(button(kRestart, "RE-START", {kInnerX, 421, 74, 30}), &QPushButton::clicked, this, [this] { OnRestart(); });
  button(kPauseButton, "PAUSE", {kInnerX, 421, 74, 30})->hide();
  connect(button(kStop, "STOP", {kInnerX + 80, 421, 72, 30}), &QPushButton::clicked, this, [this] { OnStop(); });
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  setControlId(ok, kOk);
  ok->setEnabled(false);
  ok->hide();

  m_notice = new CColourLabel(QString(), this);
  setControlId(m_notice, kStoreNotice);
  m_notice->setTextColour(colour::rgb(160, 0, 0));
  m_notice->setWordWrap(true);
  m_notice->setGeometry(10, 468, 600, 38);
  m_notice->hide();

  m_captureStatus = new CColourLabel(QString(), this);
  setControlId(m_captureStatus, kCaptureStatus);
  m_captureStatus->setTextColour(colour::kBlack);
  m_captureStatus->setBackColour(colour::kWhite);
  m_captureStatus->setGeometry(kStatusX, kStatusY, kChartRect.width() - kStatusX, kStatusH);
  m_captureStatus->hide();
  m_captureNotice = new CColourLabel(QString(), this);
  setControlId(m_captureNotice, kCaptureNotice);
  m_captureNotice->setTextColour(colour::rgb(160, 0, 0));
  m_captureNotice->setBackColour(colour::kWhite);
  m_captureNotice->hide();
  m_captureTimer = new QTimer(this);
  m_captureTimer->setInterval(1000);
  connect(m_captureTimer, &QTimer::timeout, this, [this] { showCaptureStatus(); });

  m_chart = new CTrendChart(this);
  m_chart->setContext([this] {
    ChartContext c;
    if (g_pLivePage != nullptr) {
      c.ctrlUnit = g_pLivePage->m_nCtrlUnit;
      c.auxinUnit = g_pLivePage->m_nAuxinUnit;
    }
    if (m_host.units) {
      const PageUnits u = m_host.units();
      c.pressureScale = u.scale;
      c.pressureUnit = u.unit;
    }
    return c;
  });
  m_chart->setShow(kChCtrl, true);
  findControl<QCheckBox>(this, kCtrl)->setChecked(true);
  m_chart->setSecondsPerDivision(m_timeBase.secondsPerDivision);
  m_chart->Create(m_host.recording ? &m_host.recording->m_store : nullptr, kChartRect, kChart);
  if (m_host.state != nullptr) m_host.state->g_samplePeriod.store(m_timeBase.samplePeriod);
  if (m_host.recording != nullptr) {
    m_host.recording->g_secondsPerDivision = m_timeBase.secondsPerDivision;
    m_host.recording->m_samplePeriod = m_timeBase.samplePeriod;
  }
}

void CGraphPage::Refresh(int) { m_chart->Refresh(); }

void CGraphPage::onChannel(int channel, bool checked) {
  m_chart->setShow(channel, checked);
  m_chart->repaint();
}

bool CGraphPage::eventFilter(QObject* watched, QEvent* event) {
  // The time base is taken when its field loses the focus.
  if (event->type() == QEvent::FocusOut) {
    if (watched == m_samplePeriod) onSamplePeriodEdited();
    else if (watched == m_division) onDivisionEdited();
  }
  return CPage::eventFilter(watched, event);
}

void CGraphPage::onSamplePeriodEdited() {
  applyTimeBase(editSamplePeriod(m_samplePeriod->text().toStdString(), m_timeBase, m_host.maxPoints));
}

void CGraphPage::onDivisionEdited() {
  applyTimeBase(editSecondsPerDivision(m_division->text().toStdString(), m_timeBase, m_host.maxPoints));
}

void CGraphPage::applyTimeBase(const TimeBaseEdit& e) {
  m_timeBase = e.value;
  if (e.samplePeriodText) m_samplePeriod->setText(QString::fromStdString(*e.samplePeriodText));
  if (e.divisionText) m_division->setText(QString::fromStdString(*e.divisionText));
  if (m_host.state != nullptr) m_host.state->g_samplePeriod.store(m_timeBase.samplePeriod);
  if (m_host.recording != nullptr) {
    m_host.recording->g_secondsPerDivision = m_timeBase.secondsPerDivision;
    m_host.recording->m_samplePeriod = m_timeBase.samplePeriod;
  }
  m_chart->setSecondsPerDivision(m_timeBase.secondsPerDivision);
  m_chart->Refresh();
}

void CGraphPage::OnRestart() {
  if (m_host.recording != nullptr) m_host.recording->clear();
  m_chart->Clear();
  m_notice->hide();
  const std::uint32_t now = CCommThread::tick();
  if (m_host.state != nullptr) {
    m_host.state->g_linkStartTick.store(now);
    m_host.state->g_lastSampleMs.store(0);
  }
  if (m_host.recording != nullptr) {
    m_host.recording->m_startTick = now;
    m_host.recording->g_graphRunning = true;
  }
}

void CGraphPage::OnStop() {
  if (m_host.recording != nullptr) m_host.recording->g_graphRunning = false;
  endCapture();
}

void CGraphPage::OnCaptureSample(const LiveMeasurement& m, std::uint32_t sampleMs) {
  if (m_host.recording == nullptr || m_host.state == nullptr) return;
  GraphRecording& rec = *m_host.recording;
  // Times count from the RE-START, also across a restart of the link.
  const std::uint32_t ms = rec.sampleMs(m_host.state->g_linkStartTick.load(), sampleMs);
  const std::uint32_t sinceStart = CCommThread::tick() - rec.m_startTick;
  const PageUnits u = m_host.units ? m_host.units() : PageUnits{};
  const RecordOutcome o = rec.record(sampleFrom(m, ms), ms, sinceStart, u.factor, u.unit);
  if (o.refreshDue) QCoreApplication::postEvent(m_chart, new ChartEvent(CTrendChart::kMsgRefresh, 0));
  if (o.oldestLeft) {
    m_notice->setText(m_host.text ? m_host.text(GraphText::OldestLeft) : QString());
    m_notice->show();
  }
  if (o.rowLost) showCaptureStatus();  // the whole line, so its counts agree
}

void CGraphPage::showRowsLost() {
  // Said while it happens, not only when the capture ends: a technician
  // watching the chart sees that the file misses rows, and why.
  const CCaptureFile& file = m_host.recording->g_captureFile;
  m_captureNotice->setText(
      text(GraphText::RowsLostSoFar, file.m_rowsLost, {QString::fromStdString(file.m_lostReason)}));
  // Right after the status line's text.
  const int x = kStatusX + m_captureStatus->fontMetrics().horizontalAdvance(m_captureStatus->text()) + 24;
  m_captureNotice->setGeometry(x, kStatusY, std::max(40, kChartRect.width() - x), kStatusH);
  m_captureNotice->setToolTip(m_captureNotice->text());
  m_captureNotice->show();
}

void CGraphPage::onRecordButton(bool writing) {
  if (m_host.recording == nullptr) return;
  m_host.recording->g_captureOn = writing;
  if (writing) m_captureClock.run(nowMs());
  else m_captureClock.pause(nowMs());
  showCaptureStatus();
}

void CGraphPage::showCaptureStatus() {
  if (!m_captureOpen || m_host.recording == nullptr) return;
  const GraphRecording& rec = *m_host.recording;
  const capture::CaptureState state = rec.g_captureOn  ? capture::CaptureState::Writing
                                      : m_captureClock.started() ? capture::CaptureState::Paused
                                                                 : capture::CaptureState::Ready;
  auto t = [this](GraphText g) { return m_host.text ? m_host.text(g).toStdString() : std::string(); };
  const capture::StatusTexts texts{t(GraphText::CaptureReady), t(GraphText::CaptureWriting),
                                   t(GraphText::CapturePaused), t(GraphText::RowsWritten)};
  const CaptureSymbol symbol = state == capture::CaptureState::Writing  ? CaptureSymbol::Writing
                               : state == capture::CaptureState::Paused ? CaptureSymbol::Paused
                                                                        : CaptureSymbol::Ready;
  setCaptureStatus(symbol, QString::fromStdString(capture::statusLine(texts, state, m_captureClock.elapsedMs(nowMs()),
                                                                      rec.g_captureFile.m_rowsWritten)),
                   QString::fromStdString(rec.g_captureFile.m_strPath));
  if (rec.g_captureFile.m_rowsLost > 0) showRowsLost();
}

void CGraphPage::setCaptureStatus(CaptureSymbol symbol, const QString& text, const QString& tip) {
  m_captureSymbol = symbol;
  m_captureStatus->setText(text);
  m_captureStatus->setToolTip(tip);
  m_captureStatus->setVisible(symbol != CaptureSymbol::None);
  update(kCaptureSymbol);
}

QString CGraphPage::text(GraphText t, std::uint64_t number, std::initializer_list<QString> values) const {
  QString s = m_host.text ? m_host.text(t) : QString();
  s.replace(QLatin1String("%d"), QString::number(number));
  qsizetype from = 0;  // a "%s" inside a value (a file name) stays as it is
  for (const QString& v : values) {
    const qsizetype at = s.indexOf(QLatin1String("%s"), from);
    if (at < 0) break;
    s.replace(at, 2, v);
    from = at + v.size();
  }
  return s;
}

void CGraphPage::showCaptureButtons(bool show) {
  for (CImageButton* b : m_captureButtons) b->setVisible(show);
}

void CGraphPage::onCaptureClicked(bool checked) {
  for (CImageButton* b : m_captureButtons) b->SetCheck(0);
  if (!checked) {
    // Unchecking Capture ends the capture: no more rows are written.
    endCapture();
    return;
  }
  QFileDialog dialog(this);
  PlainFileIcons icons;
  dialog.setIconProvider(&icons);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  dialog.setNameFilter(QStringLiteral("(*.csv)"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  if (!chosen) {
    m_capture->setChecked(false);
    return;
  }
  GraphRecording* rec = m_host.recording;
  if (rec == nullptr) return;
  rec->g_captureOn = false;
  rec->g_captureFile.m_strPath = dialog.selectedFiles().first().toStdString();
  std::string why;
  if (!rec->g_captureFile.Create(capture::kHeader, &why)) {
    // The file commands' message for a file that cannot be opened, then
    // the file and why (a FIFO or a device is refused at once).
    const std::string_view msg = config_file::kMsgCouldNotOpen;
    const QString text = QString::fromUtf8(msg.data(), static_cast<qsizetype>(msg.size())) + QStringLiteral("\n") +
                         QString::fromStdString(rec->g_captureFile.m_strPath + ": " + why);
    if (m_host.message) m_host.message(this, text);
    m_capture->setChecked(false);
    m_captureOpen = false;
    return;
  }
  m_captureOpen = true;
  m_captureNotice->hide();
  showCaptureButtons(true);
  m_captureClock.reset();
  m_captureTimer->start();
  showCaptureStatus();
}

void CGraphPage::endCapture() {
  if (m_host.recording != nullptr) m_host.recording->g_captureOn = false;
  m_capture->setChecked(false);
  showCaptureButtons(false);
  m_captureNotice->hide();
  if (!m_captureOpen || m_host.recording == nullptr) return;
  m_captureOpen = false;
  m_captureTimer->stop();
  m_captureClock.pause(nowMs());
  // The summary stays on the status line until the next capture: rows
  // written, rows lost, and where the file is.
  const CCaptureFile& file = m_host.recording->g_captureFile;
  const std::string ended = m_host.text ? m_host.text(GraphText::CaptureEnded).toStdString() : std::string();
  const QString summary = QString::fromStdString(capture::fill(
      ended, {std::to_string(file.m_rowsWritten), std::to_string(file.m_rowsLost), file.m_strPath}));
  // A long path is shortened in its middle; the tooltip has it all.
  setCaptureStatus(CaptureSymbol::Ended,
                   m_captureStatus->fontMetrics().elidedText(summary, Qt::ElideMiddle, m_captureStatus->width()),
                   summary);
  // Rows that could not be written are not lost silently: how many, why,
  // and whether the file still holds the others.
  if (file.m_rowsLost == 0 || !m_host.message) return;
  const QString why = QString::fromStdString(file.m_lostReason);
  if (file.Present()) m_host.message(this, text(GraphText::RowsLost, file.m_rowsLost, {why}));
  else m_host.message(this, text(GraphText::FileGone, file.m_rowsLost, {QString::fromStdString(file.m_strPath), why}));
}

void CGraphPage::showEvent(QShowEvent* event) {
  CPage::showEvent(event);
  // Only the page being shown restarts, not the window coming back from
  // being minimised.
  if (!event->spontaneous()) OnRestart();
  if (m_captureOpen) {
    showCaptureStatus();
    m_captureTimer->start();
  }
}

void CGraphPage::hideEvent(QHideEvent* event) {
  CPage::hideEvent(event);
  if (event->spontaneous()) return;
  m_captureTimer->stop();  // nothing to update while the page is not seen
  // Leaving the page ends the recording; the capture stays as it is.
  if (m_host.recording != nullptr) {
    m_host.recording->clear();
    m_host.recording->g_graphRunning = false;
  }
  m_chart->Clear();
}

void CGraphPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  for (QFrame* f : m_panels) p.fillRect(f->geometry(), toQColor(colour::kPanel));

  // The capture's symbol: a red dot while rows are written, two bars while
  // paused, a ring while the file waits for the first row, a square once
  // the capture ended.
  p.setRenderHint(QPainter::Antialiasing);
  const QRect r = kCaptureSymbol;
  switch (m_captureSymbol) {
    case CaptureSymbol::Writing:
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(220, 0, 0));
      p.drawEllipse(r);
      break;
    case CaptureSymbol::Paused:
      p.fillRect(QRect(r.left() + 2, r.top() + 1, 4, r.height() - 2), QColor(40, 40, 40));
      p.fillRect(QRect(r.right() - 5, r.top() + 1, 4, r.height() - 2), QColor(40, 40, 40));
      break;
    case CaptureSymbol::Ready:
      p.setPen(QPen(QColor(220, 0, 0), 2));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(r.adjusted(1, 1, -1, -1));
      break;
    case CaptureSymbol::Ended:
      p.fillRect(r.adjusted(1, 1, -1, -1), QColor(40, 40, 40));
      break;
    case CaptureSymbol::None:
      break;
  }
}

void CGraphPage::keyPressEvent(QKeyEvent* event) {
  // Escape does nothing on this page.
  if (event->key() == Qt::Key_Escape) return event->accept();
  CPage::keyPressEvent(event);
}

}  // namespace vrx4
