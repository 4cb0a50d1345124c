#include "core/link/comm_thread.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <utility>

#include "core/link/transfer_ops.h"

namespace vrx4 {

CCommThread::CCommThread(DeviceState& state, LinkNotifier& notifier, LiveTestFields* liveFields)
    : m_shared(state), m_notifier(notifier), m_live(liveFields ? liveFields : &m_defaultLive) {}

CCommThread::~CCommThread() { stop(); }

std::uint32_t CCommThread::tick() {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}

void CCommThread::start() {
  if (m_thread.joinable()) return;
  m_stopRequest.store(0);
  m_exited.store(0);
  m_lastRxTick.store(tick());
  m_shared.setLinkRunning(true);
  m_thread = std::jthread([this](std::stop_token st) { run(st); });
}

void CCommThread::stop() {
  if (!m_thread.joinable()) return;
  m_stopRequest.store(1);
  m_thread.request_stop();  // also ends a message box the engine waits on
  m_thread.join();
  m_thread = std::jthread();
}

void CCommThread::restart() {
  stop();
  start();
  const auto mode = m_shared.g_accessMode.load();
  if (mode >= 2 && mode <= 4) m_live->m_liveCommandRetry.store(1);
}

LiveMeasurement CCommThread::measurement() const {
  std::lock_guard lock(m_blockMutex);
  return m_block;
}

void CCommThread::requestIdentityCheck() {
  if (m_shared.g_identifyRequest.load() != 1) m_restartFrame.store(true);
  m_shared.g_identifyRequest.store(1);
}

bool CCommThread::cancelRead() {
  if (!m_shared.requestPending()) return true;
  if (!transferIsRead()) return false;
  // With no link thread (the port could not be opened) nothing else
  // touches the request: it ends here.
  if (!running()) m_shared.finishRequest();
  else m_cancelRead.store(true);
  return true;
}

// ---------------------------------------------------------------------------
// Thread body

void CCommThread::run(std::stop_token stop) {
  pthread_setname_np(pthread_self(), "vrx4-link");  // so that a profiler or top names it
  m_stopToken = stop;
  m_port.setStopToken(stop);
  if (!openPort()) {
    endRun();
    return;
  }
  {
    std::lock_guard lock(m_blockMutex);
    m_block.m_infoPending = 1;  // the first poll asks for the information frame
  }
  m_txIndex = 0;
  m_idleCount = 0;
  m_replyKind = ReplyKind::Measurement;
  m_state = State::Send;
  m_shared.g_linkStartTick.store(tick());
  m_shared.g_lastSampleMs.store(0);

  while (m_stopRequest.load() == 0 && !stop.stop_requested()) cycle();

  m_port.close();
  endRun();
}

void CCommThread::endRun() {
  // A transfer left unfinished by a stopped link ends its bar; the next
  // link reports it again if it takes the request up.
  endProgress(false);
  // From here on cancelRead and file mode end a read themselves; one
  // cancelled or dropped while the thread was ending is ended now.
  m_exited.store(1);
  if (m_cancelRead.exchange(false) && m_shared.requestPending() && transferIsRead()) m_shared.finishRequest();
  m_shared.setLinkRunning(false);
}

bool CCommThread::openPort() {
  PortOpenError error;
  if (m_port.open(m_portName, &error)) return true;
  // A network port still connecting when the link was stopped failed for
  // that reason alone: nothing to tell.
  if (m_stopToken.stop_requested()) return false;
  m_notifier.post(msg::kLinkState, link_state::kNoDevice, 0);
  // A transfer left by the link before says that it waits.
  m_lineStalled = true;
  trackProgress();
  std::string text = "Error Port " + m_portName;
  if (!error.reason.empty()) text += "\n" + error.reason;
  showBox(text);
  return false;
}

void CCommThread::cycle() {
  switch (m_state) {
    case State::Send:
      sendCycle();
      break;
    case State::Receive:
      receiveCycle();
      break;
    case State::Timeout:
      timeoutCycle();
      break;
  }
}

bool CCommThread::waitFor(int ms) {
  std::unique_lock lock(m_waitMutex);
  m_waitCv.wait_for(lock, m_stopToken, std::chrono::milliseconds(ms), [] { return false; });
  return !m_stopToken.stop_requested();
}

void CCommThread::showBox(const std::string& text) { m_notifier.showMessage(text, m_stopToken); }

// ---------------------------------------------------------------------------
// Send

void CCommThread::sendSingle(std::uint8_t letter) {
  if (m_port.writeByte(letter)) m_bytesSent.fetch_add(1, std::memory_order_relaxed);
}

void CCommThread::sendNextFrameByte() {
  if (m_txIndex < m_txLength && m_port.writeByte(m_tx.data[m_txIndex])) {
    ++m_txIndex;
    m_bytesSent.fetch_add(1, std::memory_order_relaxed);
  }
}

void CCommThread::sendCycle() {
  if (m_restartFrame.exchange(false)) m_txIndex = 0;
  settleDroppedRead();
  trackTransfer();
  trackProgress();

  m_replyKind = ReplyKind::Measurement;
  const std::uint32_t currentPage = m_shared.g_currentPage.load();

  if (m_shared.g_identifyRequest.load() == 1 || m_confirmIdentity) {
    if (m_txIndex == 0) {
      m_tx = buildMemoryRead(Area::Base, kIdentityAddress, kIdentityCount);
      m_txLength = m_tx.length;
      m_readCount = kIdentityCount;
      m_expectMemoryReply = 1;
    }
    sendNextFrameByte();
    if (m_txIndex == m_txLength) m_replyKind = ReplyKind::Memory;
  } else if (m_shared.requestPending()) {
    sendTransferStep();
  } else if (currentPage != page::kMode && currentPage != page::kLive) {
    int infoPending = 0;
    {
      std::lock_guard lock(m_blockMutex);
      infoPending = m_block.m_infoPending;
    }
    if (currentPage == page::kCalibration && (infoPending || m_live->m_infoRequest.load())) {
      sendSingle(kInformationRequest);
      m_replyKind = ReplyKind::Information;
    } else {
      sendSingle(kMeasurementRequest);
    }
  } else {
    sendLivePageStep();
  }

  m_rx.expect(m_replyKind, m_readCount);
  m_state = State::Receive;
}

void CCommThread::sendTransferStep() {
  if (m_phase != 1) {
    // A live command cut short by the transfer is sent again afterwards.
    if (m_phase == 2) m_live->m_liveCommandRetry.store(1);
    sendSingle(kMeasurementRequest);
    m_phase = 1;
    buildTransferFrame();
  } else if (m_txIndex == m_txLength) {
    m_phase = 0;
    sendSingle(kMeasurementRequest);
    if (transfer_ops::isWrite(m_shared.g_xferOp.load())) m_shared.g_xferVerify.store(1);
  } else {
    if (m_txIndex == 0) buildTransferFrame();
    sendNextFrameByte();
    if (!m_expectMemoryReply) m_shared.m_writeSent.store(true);
    if (m_txIndex == m_txLength && m_expectMemoryReply) m_replyKind = ReplyKind::Memory;
  }
}

void CCommThread::sendLivePageStep() {
  const auto mode = m_shared.g_accessMode.load();
  const bool settingMode = mode >= 2 && mode <= 4;
  int infoPending = 0;
  {
    std::lock_guard lock(m_blockMutex);
    infoPending = m_block.m_infoPending;
  }

  if (m_phase == 2) {
    if (m_txIndex == m_txLength) {
      const std::span<const std::uint8_t> frame(m_frame.data(), m_frameLength);
      // The alarm echo is read from the same reply as the other channels:
      // the measurement block may hold the frame before it.
      const int alarmBit = m_frameLength > 13 ? (m_frame[13] & 1) : 0;
      if (!liveEchoMatches(m_tx.bytes(), frame, m_sentTest, alarmBit)) {
        m_live->m_liveCommandRetry.store(1);
      } else {
        m_testsOnRegulator = anyTestOn(m_sentTest);
      }
      m_phase = 0;
      sendSingle(kLiveAnnounce);
      m_txIndex = 0;
    } else {
      if (m_txIndex == 0) buildLiveCommand();
      sendNextFrameByte();
    }
  } else if (m_live->m_liveCommandRetry.load() == 1 && (settingMode || releasesTests())) {
    sendSingle(kLiveAnnounce);
    m_phase = 2;
    m_live->m_liveCommandRetry.store(0);
    // The command is built now, so that "all bytes sent" is never judged
    // against the length of an older frame.
    buildLiveCommand();
  } else if (infoPending || m_live->m_infoRequest.load()) {
    sendSingle(kInformationRequest);
    m_replyKind = ReplyKind::Information;
    m_live->m_liveCommandRetry.store(1);
  } else if (settingMode && m_shared.g_currentPage.load() == page::kLive) {
    sendSingle(kLiveAnnounce);
  } else {
    sendSingle(kMeasurementRequest);
  }
}

// Out of the setting modes no command is sent, except the one that switches
// the tests off while the regulator may still be forced: leaving for
// VISUALISATION clears the tests on the page, and a regulator left driving
// the machine with a value no page shows any more would be a trap.
bool CCommThread::releasesTests() const { return m_testsOnRegulator && !anyTestOn(m_live->snapshot()); }

void CCommThread::buildLiveCommand() {
  m_sentTest = m_live->snapshot();
  if (anyTestOn(m_sentTest)) m_testsOnRegulator = true;
  const Image base = m_shared.device(Area::Base);
  m_tx = vrx4::buildLiveCommand(m_sentTest, base);
  m_txLength = m_tx.length;
  m_txIndex = 0;
  m_expectMemoryReply = 0;
}

void CCommThread::buildTransferFrame() {
  m_txIndex = 0;
  std::uint32_t opCode = m_shared.g_xferOp.load();
  if (m_shared.g_xferVerify.load() == 1 && transfer_ops::isWrite(opCode)) {
    opCode = transfer_ops::readBackOf(opCode);
    m_shared.g_xferOp.store(opCode);
  }
  const transfer_ops::Step step = transfer_ops::stepFor(
      opCode, m_shared.g_xferBlock.load(), m_shared.g_xferStart.load(), m_shared.g_xferCount.load());
  if (step.read) {
    m_tx = buildMemoryRead(step.area, step.address, step.count);
  } else {
    const auto bytes = transfer_ops::writeSource(m_shared, opCode, step);
    m_tx = buildMemoryWrite(step.area, step.address, std::span(bytes.data(), step.count));
  }
  m_txLength = m_tx.length;
  m_readCount = step.read ? step.count : 0;
  m_expectMemoryReply = step.read ? 1 : 0;
  m_frameOp = opCode;
  m_frameAddress = step.address;
}

// ---------------------------------------------------------------------------
// Receive

void CCommThread::receiveCycle() {
  std::uint8_t byte = 0;
  // The rest of a reply already read from the line is handed out without
  // looking at the clock: it arrived with the first byte.
  const bool fromLine = m_port.buffered() == 0;
  // Waiting for a reply sleeps in one poll until a byte comes, up to
  // kReplyWaitMs, instead of waking every millisecond: a byte is taken the
  // moment it arrives either way, and the silence is counted in
  // milliseconds, so the time-out comes after the same time.
  const auto waitStart = fromLine ? std::chrono::steady_clock::now() : std::chrono::steady_clock::time_point{};
  const int wait = std::clamp(kEmptyReadsForTimeout - m_idleCount, kReadWaitMs, kReplyWaitMs);
  const ReadResult r = m_port.readByte(byte, wait);
  if (r == ReadResult::Byte) {
    m_bytesReceived.fetch_add(1, std::memory_order_relaxed);
    m_idleCount = 0;
    if (fromLine) m_lastRxTick.store(tick());
    if (!m_rx.push(byte)) {
      // The rest of the frame cannot arrive faster than the line carries
      // it: wait for all but its last byte and take it in one piece,
      // instead of waking for every byte. The frame is complete no later
      // than it would be otherwise.
      const std::size_t missing = m_rx.expectedLength() - m_rx.buffered();
      if (m_port.buffered() == 0 && m_rx.buffered() > 0 && missing > 1) {
        const auto us = (missing - 1) * kByteMicros;
        std::this_thread::sleep_for(std::chrono::microseconds(us));
      }
      return;
    }
    const auto frame = m_rx.frame();
    std::copy(frame.begin(), frame.end(), m_frame.begin());
    m_frameLength = frame.size();
    m_lineStalled = false;
    switch (m_rx.kind()) {
      case ReplyKind::Measurement:
        onMeasurementFrame();
        break;
      case ReplyKind::Information:
        onInformationFrame();
        break;
      case ReplyKind::Memory:
        onMemoryFrame();
        break;
    }
    return;
  }
  if (r == ReadResult::Failed) {
    // A failing line fails at once and for ever; pace it like silence so
    // that the time-out, not the failure rate, sets the reporting rhythm.
    if (!waitFor(kReadWaitMs)) return;
  }
  const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - waitStart);
  m_idleCount += std::max(1, static_cast<int>(waited.count()));
  if (m_idleCount >= kEmptyReadsForTimeout) {
    m_idleCount = 0;
    m_state = State::Timeout;
  }
}

void CCommThread::onMeasurementFrame() {
  const std::uint32_t now = tick();
  const std::uint32_t elapsed = now - m_shared.g_linkStartTick.load();
  m_shared.g_elapsedMs.store(elapsed);
  const std::uint32_t polls = m_shared.g_pollCount.fetch_add(1) + 1;
  const bool graph = m_shared.g_currentPage.load() == page::kGraph;

  bool pass = false;
  if (graph) {
    const std::uint32_t sinceSample = elapsed - m_shared.g_lastSampleMs.load();
    pass = static_cast<double>(sinceSample) > m_shared.g_samplePeriod.load() * 1000.0;
  } else {
    pass = polls >= 2;
  }
  if (pass) {
    m_shared.g_pollCount.store(0);
    const std::uint8_t info0 = m_shared.deviceInfo()[0];
    LiveMeasurement decoded = decodeMeasurement(
        std::span<const std::uint8_t, kMeasurementFrameLength>(m_frame.data(), kMeasurementFrameLength), info0);
    decoded.m_sampleMs = elapsed;
    {
      std::lock_guard lock(m_blockMutex);
      m_block = decoded;
    }
    if (graph) m_shared.g_lastSampleMs.store(elapsed);
    m_notifier.postLiveValues(decoded, graph ? 1 : 0);
    m_notifier.post(msg::kLinkState, link_state::kAlive, 0);
  }
  m_state = State::Send;
}

void CCommThread::onInformationFrame() {
  m_notifier.post(msg::kLinkState, link_state::kAlive, 0);
  const auto info = decodeInformation(
      std::span<const std::uint8_t, kInformationFrameLength>(m_frame.data(), kInformationFrameLength));
  m_shared.setDeviceInfo(info);
  m_notifier.post(msg::kInformation, 0, 0);
  {
    std::lock_guard lock(m_blockMutex);
    m_block.m_infoPending = 0;
  }
  m_live->m_infoRequest.store(0);
  m_replyKind = ReplyKind::Measurement;
  m_state = State::Send;
}

void CCommThread::onMemoryFrame() {
  m_notifier.post(msg::kLinkState, link_state::kAlive, 0);
  const MemoryData data = decodeMemory(std::span<const std::uint8_t>(m_frame.data(), m_frameLength));
  if (m_shared.g_identifyRequest.load() == 1 || m_confirmIdentity) {
    onIdentityReply(data);
  } else if (m_shared.requestPending()) {
    onTransferReply(data);
  }
  m_rx.clear();
  m_frameLength = 0;
  m_replyKind = ReplyKind::Measurement;
  m_state = State::Send;
}

void CCommThread::nextWrite(std::uint32_t opCode, int block) {
  m_shared.g_xferOp.store(opCode);
  m_shared.g_xferBlock.store(static_cast<std::int8_t>(block));
  m_shared.g_xferVerify.store(0);
  m_phase = 0;
}

void CCommThread::endTransfer(std::uintptr_t wParam, bool messageBox) {
  // m_phase stays as it is: a write that follows reads its first block
  // back before it sends it, and writes it only if the device differs
  // (a byte the device already holds is not written again).
  m_shared.finishRequest();
  m_transferActive = false;
  endProgress(true);
  m_notifier.post(msg::kTransferDone, wParam, 0);
  if (messageBox) showBox(m_shared.msgTransferDone());
  m_notifier.post(msg::kSetCursor, 0, 0);
}

void CCommThread::onTransferReply(const MemoryData& data) {
  const std::uint32_t opCode = m_shared.g_xferOp.load();
  const int k = m_shared.g_xferBlock.load();
  // A reply that is not for the frame just sent is not acted upon; the
  // step is simply read again.
  if (opCode != m_frameOp || data.address != m_frameAddress) return;
  const transfer_ops::Step step =
      transfer_ops::stepFor(opCode, k, m_shared.g_xferStart.load(), m_shared.g_xferCount.load());
  if (step.area == Area::Base) noteBaseBytes(data.address, data.bytes());

  using transfer_ops::Outcome;
  const transfer_ops::Verdict v = transfer_ops::judge(m_shared, opCode, k, data);
  switch (v.outcome) {
    case Outcome::NextBlock:
      m_shared.g_xferBlock.store(static_cast<std::int8_t>(k + 1));
      break;
    case Outcome::NextArea:  // the full read moves on to BASE
      m_shared.g_xferOp.store(op::kReadBase);
      m_shared.g_xferBlock.store(0);
      m_notifier.post(msg::kSetCursor, 0, 0);
      break;
    case Outcome::Write:
      nextWrite(v.nextOp, v.nextBlock);
      break;
    case Outcome::WriteNextArea:  // OPTION written, BASE follows
      m_notifier.post(msg::kTransferDone, v.wParam, 0);
      nextWrite(v.nextOp, v.nextBlock);
      m_notifier.post(msg::kSetCursor, 0, 0);
      break;
    case Outcome::Done:
      if (opCode == op::kReadBase) m_shared.g_eepromLoaded.store(1);
      endTransfer(v.wParam, v.messageBox);
      break;
    case Outcome::ImagesReplaced:  // dropped or restarted before the next frame
      break;
  }
}

// ---------------------------------------------------------------------------
// Timeout

void CCommThread::timeoutCycle() {
  const std::uint32_t silence = tick() - m_lastRxTick.load();
  m_notifier.post(msg::kLinkState, silence > kSilenceMs ? link_state::kNoDevice : link_state::kLate, 0);
  m_rx.clear();
  m_frameLength = 0;
  m_txIndex = 0;
  m_port.purge();
  m_state = State::Send;
  m_lineStalled = true;
  // A second of silence in the middle of a transfer may be a regulator
  // being swapped: the transfer waits for its identity first.
  if (silence > kSilenceMs && m_shared.requestPending()) m_confirmIdentity = true;
  if (m_port.gone()) recoverVanishedPort();
}

void CCommThread::recoverVanishedPort() {
  // The adapter was pulled or the line hung up: close it and try to open
  // it again about once a second. The transfer block is left as it was, so
  // a transfer that was running carries on where it stopped, once the
  // regulator on the reopened port has shown the same serial number.
  m_port.close();
  while (waitFor(kReopenIntervalMs)) {
    PortOpenError error;
    if (m_port.open(m_portName, &error)) {
      m_rx.clear();
      m_txIndex = 0;
      m_idleCount = 0;
      m_state = State::Send;
      // Whatever answers on the reopened port may be another regulator.
      if (m_shared.requestPending()) m_confirmIdentity = true;
      return;
    }
    m_notifier.post(msg::kLinkState, link_state::kNoDevice, 0);
  }
}

}  // namespace vrx4
