// The link engine: a worker thread that owns the serial port and drives
// every exchange with the regulator, one byte sent per cycle, then one
// complete reply or a time-out. Between transfers it polls measurements or
// keeps the device's live test command current; a transfer request reads
// or writes the EEPROM block by block, reading every written block back
// and writing it again until the device holds exactly what was sent.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "core/link/device_state.h"
#include "core/link/frame_acceptor.h"
#include "core/link/frames.h"
#include "core/link/link_notifier.h"
#include "core/link/live_measurement.h"
#include "core/link/live_test_fields.h"
#include "core/link/serial_port.h"
#include "core/link/transfer_progress.h"

namespace vrx4 {

// Page numbers the engine looks at.
namespace page {
constexpr std::uint32_t kMode = 1;
constexpr std::uint32_t kLive = 2;
constexpr std::uint32_t kCalibration = 5;
constexpr std::uint32_t kTools = 11;
constexpr std::uint32_t kGraph = 13;
}  // namespace page

class CCommThread {
 public:
  enum class State : std::uint8_t { Send, Receive, Timeout };

  // Timing of the exchange.
  // A reply times out after this many milliseconds without a byte (301
  // empty reads of a millisecond each).
  static constexpr int kEmptyReadsForTimeout = 301;
  static constexpr int kReadWaitMs = 1;
  // The longest single wait for a reply byte.
  static constexpr int kReplyWaitMs = 20;
  static constexpr std::uint32_t kSilenceMs = 1000;
  static constexpr int kReopenIntervalMs = 1000;
  // One byte on the wire at 38400 baud, 8N1 (10 bits), in microseconds.
  static constexpr int kByteMicros = 261;
  // The identity read: 4 BASE bytes from 0x25, the serial number first.
  static constexpr std::uint8_t kIdentityAddress = 0x25;
  static constexpr int kIdentityCount = 4;

  CCommThread(DeviceState& state, LinkNotifier& notifier, LiveTestFields* liveFields = nullptr);
  ~CCommThread();
  CCommThread(const CCommThread&) = delete;
  CCommThread& operator=(const CCommThread&) = delete;

  // Port name without prefix; set before start().
  void setPortName(std::string name) { m_portName = std::move(name); }
  const std::string& portName() const { return m_portName; }

  // Starts the link thread. m_lastRxTick is set to now.
  void start();
  // Asks the thread to end (also ends a pending message box), waits for it.
  void stop();
  // Stop, then start again; in the setting modes the live command is sent
  // again on the new link.
  void restart();
  bool running() const { return m_thread.joinable() && !m_exited.load(); }
  bool exited() const { return m_exited.load(); }

  // The LIVE page's test fields the engine reads (its own set when no page
  // was attached).
  LiveTestFields& liveFields() { return *m_live; }

  // The live measurement block, as one consistent snapshot.
  LiveMeasurement measurement() const;

  // Called by the view before it sets g_identifyRequest: the identity
  // frame is built afresh unless the check is already pending.
  void requestIdentityCheck();
  // The view forgets when the device last answered (after it was lost).
  void resetLastRxTick() { m_lastRxTick.store(0); }
  std::uint32_t lastRxTick() const { return m_lastRxTick.load(); }

  // Cancels a running full read (ops 1 and 2): the link thread ends it
  // between two frames. A write always runs to its end, since an
  // interrupted write leaves the regulator half written. Returns false
  // when the running transfer is a write (nothing changes).
  bool cancelRead();

  // Milliseconds on the engine's clock (monotonic, wraps at 2^32).
  static std::uint32_t tick();

  // Figures for benchmarks and tests.
  std::uint64_t bytesSent() const { return m_bytesSent.load(); }
  std::uint64_t bytesReceived() const { return m_bytesReceived.load(); }

 private:
  void run(std::stop_token stop);
  void endRun();
  bool openPort();
  void cycle();
  void sendCycle();
  void receiveCycle();
  void timeoutCycle();
  void recoverVanishedPort();
  bool waitFor(int ms);

  // Send helpers.
  void sendSingle(std::uint8_t letter);
  void sendNextFrameByte();
  void sendTransferStep();
  void sendLivePageStep();
  void buildTransferFrame();
  void buildLiveCommand();
  bool releasesTests() const;

  // Reply handlers.
  void onMeasurementFrame();
  void onInformationFrame();
  void onMemoryFrame();
  void onIdentityReply(const MemoryData& data);
  void startIdentityRead();
  void settleDroppedRead();
  void reloadAnotherDevice(const DeviceState::Serial& answered, const DeviceState::Serial& expected);
  void trackTransfer();
  void noteBaseBytes(std::uint8_t address, std::span<const std::uint8_t> bytes);
  bool transferIsRead() const;
  void onTransferReply(const MemoryData& data);
  void endTransfer(std::uintptr_t wParam, bool messageBox);
  void nextWrite(std::uint32_t op, int block);
  void showBox(const std::string& text);

  // Transfer progress (comm_thread_progress.cpp).
  void trackProgress();
  void endProgress(bool completed);
  void postProgress(const transfer_progress::Progress& p);
  transfer_progress::Position progressPosition() const;

  // ---- shared with the GUI thread ----
  DeviceState& m_shared;
  LinkNotifier& m_notifier;
  LiveTestFields* m_live;
  LiveTestFields m_defaultLive;  // used when no LIVE page is attached

  std::string m_portName = "COM1";
  std::jthread m_thread;
  std::atomic<int> m_stopRequest{0};
  std::atomic<int> m_exited{0};
  std::atomic<std::uint32_t> m_lastRxTick{0};
  std::atomic<bool> m_restartFrame{false};
  std::atomic<bool> m_cancelRead{false};
  std::atomic<std::uint64_t> m_bytesSent{0};
  std::atomic<std::uint64_t> m_bytesReceived{0};

  mutable std::mutex m_blockMutex;
  LiveMeasurement m_block;  // guarded by m_blockMutex

  // ---- link thread only ----
  std::mutex m_waitMutex;
  std::condition_variable_any m_waitCv;
  std::stop_token m_stopToken;

  SerialPort m_port;
  State m_state = State::Send;
  TxFrame m_tx;
  std::size_t m_txIndex = 0;
  std::size_t m_txLength = 0;
  FrameAcceptor m_rx;
  std::array<std::uint8_t, kMaxFrameLength> m_frame{};
  std::size_t m_frameLength = 0;
  ReplyKind m_replyKind = ReplyKind::Measurement;
  int m_readCount = 0;
  std::uint8_t m_expectMemoryReply = 0;
  int m_phase = 0;
  int m_idleCount = 0;  // milliseconds without a byte while a reply is awaited
  // The frame being sent, and what the transfer frame asked for, so that a
  // reply is checked against the address and the bytes it should carry.
  std::uint32_t m_frameOp = 0;
  std::uint8_t m_frameAddress = 0;
  LiveTestSnapshot m_sentTest;
  // A command that forced something may have reached the regulator, and
  // no command switching every test off has been echoed since.
  bool m_testsOnRegulator = false;

  // The regulator a running transfer talks to. A transfer that lost its
  // line (port gone, or silent for more than a second) sends no further
  // byte until an identity read shows the same serial number: another
  // regulator plugged in meanwhile must never receive the rest of a write
  // meant for the first one, nor be mixed into a read.
  bool m_transferActive = false;
  DeviceState::Serial m_serial{};
  std::uint8_t m_serialKnown = 0;  // one bit per serial byte seen
  bool m_confirmIdentity = false;
  // Every write first reads the serial number: the regulator on the line
  // must be the one whose images the write was built from (BASE device
  // image 0x25..0x27 when it starts). Set while that read is under way.
  bool m_checkBeforeWrite = false;
  // The serial number this link last read from the regulator (identity
  // replies and BASE replies), whatever transfer it came with.
  DeviceState::Serial m_linkSerial{};
  std::uint8_t m_linkSerialKnown = 0;

  // The progress of the request numbered m_progressRequest, from its first
  // report to its end; and whether a reply has timed out since the last
  // one came.
  transfer_progress::Tracker m_progress;
  std::uint32_t m_progressRequest = 0;
  bool m_progressOpen = false;
  bool m_lineStalled = false;
};

}  // namespace vrx4
