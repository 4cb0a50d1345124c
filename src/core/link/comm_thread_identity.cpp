// The link engine's side of the regulator's identity: which regulator a
// transfer talks to, the serial number read before every write and after a
// lost line, the reload when another regulator answers; and the full read
// that file mode took the images from.
#include "core/link/comm_thread.h"

#include <algorithm>
#include <utility>

namespace vrx4 {
namespace {
constexpr std::uint8_t kAllSerialBytes = 0b111;

// The text with its first "%s" replaced by a and the second by b.
std::string fillTwo(std::string text, const std::string& a, const std::string& b) {
  std::size_t at = 0;
  for (const std::string* value : {&a, &b}) {
    at = text.find("%s", at);
    if (at == std::string::npos) break;
    text.replace(at, 2, *value);
    at += value->size();
  }
  return text;
}

DeviceState::Serial serialOf(const Image& base) {
  return {base[CCommThread::kIdentityAddress], base[CCommThread::kIdentityAddress + 1],
          base[CCommThread::kIdentityAddress + 2]};
}
}  // namespace

void CCommThread::settleDroppedRead() {
  // Between two frames only: a frame half sent goes out whole first, so
  // that the regulator never parses a request cut short. The flags wait.
  if (m_phase == 1 && m_txIndex > 0 && m_txIndex < m_txLength) return;
  const bool cancel = m_cancelRead.exchange(false);
  const DeviceState::StaleRead stale = m_shared.takeStaleRead();
  if (!m_shared.requestPending() || !transferIsRead()) return;
  if (stale == DeviceState::StaleRead::Restart) {
    // The images were zeroed under the read (file mode closed): it starts
    // again from its first block and fills them whole.
    m_shared.restartAsFullRead();
  } else if (cancel || stale == DeviceState::StaleRead::Drop) {
    m_shared.finishRequest();
  } else {
    return;
  }
  m_transferActive = false;
  m_phase = 0;
  m_notifier.post(msg::kSetCursor, 0, 0);
}

void CCommThread::trackTransfer() {
  const bool pending = m_shared.requestPending();
  if (!pending) {
    m_transferActive = false;
    m_confirmIdentity = false;
    return;
  }
  if (m_transferActive) return;
  m_transferActive = true;
  m_confirmIdentity = false;
  m_checkBeforeWrite = false;
  m_serialKnown = 0;
  if (m_shared.g_fileMode.load() == 1) return;
  if (!transferIsRead()) {
    // A write was built from the device images: before its first byte the
    // regulator on the line shows that it is the one they belong to,
    // whether they were confirmed since the link last lost it or not.
    // Another regulator gets nothing (onIdentityReply).
    m_serial = serialOf(m_shared.device(Area::Base));
    m_serialKnown = kAllSerialBytes;
    m_checkBeforeWrite = true;
    startIdentityRead();
    return;
  }
  // A new read talks to the regulator whose images are loaded; before the
  // first full read the regulator is not known until the read reaches its
  // serial number.
  if (m_shared.g_eepromLoaded.load() == 1) {
    m_serial = serialOf(m_shared.device(Area::Base));
    m_serialKnown = kAllSerialBytes;
  } else if (m_linkSerialKnown == kAllSerialBytes) {
    // The images are not confirmed (the view clears the flag while the
    // regulator is silent): the regulator this link last heard is the one
    // the request was made for.
    m_serial = m_linkSerial;
    m_serialKnown = kAllSerialBytes;
  }
}

void CCommThread::startIdentityRead() {
  // An identity read already going out (the view's check) is the one the
  // write waits for: its frame is never restarted half sent.
  if (m_shared.g_identifyRequest.load() != 1 && !m_confirmIdentity) m_txIndex = 0;
  m_confirmIdentity = true;
  // A live command cut short by the read is sent again afterwards.
  if (m_phase == 2) {
    m_live->m_liveCommandRetry.store(1);
    m_phase = 0;
  }
}

void CCommThread::noteBaseBytes(std::uint8_t address, std::span<const std::uint8_t> bytes) {
  // What a BASE reply carries is what the device holds now, including a
  // serial number that a write has just changed.
  for (std::size_t j = 0; j < bytes.size(); ++j) {
    const std::size_t at = (address + j) % kImageSize;
    if (at < kIdentityAddress || at >= kIdentityAddress + 3u) continue;
    const std::size_t i = at - kIdentityAddress;
    m_serial[i] = m_linkSerial[i] = bytes[j];
    m_serialKnown = static_cast<std::uint8_t>(m_serialKnown | (1u << i));
    m_linkSerialKnown = static_cast<std::uint8_t>(m_linkSerialKnown | (1u << i));
  }
}

bool CCommThread::transferIsRead() const {
  const auto running = m_shared.g_xferOp.load();
  return running == op::kReadOption || running == op::kReadBase;
}

void CCommThread::onIdentityReply(const MemoryData& data) {
  m_shared.g_identifyRequest.store(0);
  m_confirmIdentity = false;
  const bool fileMode = m_shared.g_fileMode.load() == 1;
  DeviceState::Serial answered{};
  const bool valid = data.count >= 3 && data.address == kIdentityAddress;
  if (valid) {
    std::copy_n(data.data.begin(), 3, answered.begin());
    m_linkSerial = answered;
    m_linkSerialKnown = kAllSerialBytes;
  }

  if (m_transferActive && m_shared.requestPending()) {
    // Whatever a check after a lost line interrupted, the transfer's step
    // starts again with its 'R' and its whole frame; the check before a
    // write interrupted nothing, and the write starts as it would have.
    if (!std::exchange(m_checkBeforeWrite, false)) m_phase = 0;
    if (m_serialKnown != kAllSerialBytes) {
      if (transferIsRead()) {
        // The read has not reached the serial number yet: nothing tells
        // this regulator from the one before, so the read starts again and
        // the images come from one device only.
        m_shared.restartAsFullRead();
        m_notifier.post(msg::kSetCursor, 0, 0);
        return;
      }
      // A write to a regulator that cannot be confirmed goes no further.
      reloadAnotherDevice(answered, m_serial);
      return;
    }
    if (valid && answered == m_serial) {
      if (!transferIsRead() && !fileMode) {
        m_shared.g_eepromLoaded.store(1);
        m_notifier.post(msg::kIdentityConfirmed, 0, 0);
      }
      return;
    }
    reloadAnotherDevice(answered, m_serial);
    return;
  }

  if (fileMode) return;
  const DeviceState::Serial expected = serialOf(m_shared.device(Area::Base));
  if (valid && answered == expected) {
    m_shared.g_eepromLoaded.store(1);
    m_notifier.post(msg::kIdentityConfirmed, 0, 0);
    return;
  }
  reloadAnotherDevice(answered, expected);
}

void CCommThread::reloadAnotherDevice(const DeviceState::Serial& answered, const DeviceState::Serial& expected) {
  // A write cut short leaves its regulator half-written: the box says so,
  // and which regulator it was, instead of only that the images reload. A
  // write stopped before its first byte left both regulators as they were.
  const bool writeStopped = m_transferActive && m_shared.requestPending() && !transferIsRead();
  const bool written = writeStopped && m_shared.m_writeSent.load();
  m_shared.setLastIdentity({answered, expected, written});
  m_shared.m_bAutoScale.store(true);
  const std::string stopped = !writeStopped ? std::string()
                              : written     ? m_shared.msgWriteAbandoned()
                                            : m_shared.msgWriteRefused();
  showBox(stopped.empty() ? m_shared.msgSerialMismatch()
                          : fillTwo(stopped, serialText(answered), serialText(expected)));
  m_notifier.post(msg::kReloadStarted, 0, 0);
  // Whatever ran is replaced by a full read: its bytes were meant for
  // another device.
  m_shared.restartAsFullRead();
  m_transferActive = true;
  m_serialKnown = 0;
  m_checkBeforeWrite = false;
  m_phase = 0;
  m_notifier.post(msg::kSetCursor, 0, 0);
}

}  // namespace vrx4
