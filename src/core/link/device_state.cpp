#include "core/link/device_state.h"

#include <algorithm>

#include "core/base/hex_text.h"

namespace vrx4 {

ByteRange partialRange(std::int8_t start, std::int8_t count) {
  // The block stores both as signed bytes; an address is the unsigned
  // reading of its bits, and a count can never exceed the scratch bytes.
  const std::size_t first = static_cast<std::uint8_t>(start);
  std::size_t n = count <= 0 ? 0 : static_cast<std::size_t>(count);
  n = std::min({n, kScratchSize, kImageSize - first});
  return {first, n};
}

std::array<std::uint8_t, kScratchSize> DeviceState::scratch() const {
  std::lock_guard lock(m_textMutex);
  return m_scratch;
}

void DeviceState::setScratch(std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(m_textMutex);
  m_scratch.fill(0);
  std::copy_n(bytes.begin(), std::min(bytes.size(), m_scratch.size()), m_scratch.begin());
}

bool DeviceState::requestIsValid(const TransferRequest& r) {
  switch (r.op) {
    case op::kReadOption:
    case op::kWriteOptionThenBase:
    case op::kWriteBase:
    case op::kWriteOption:
      return true;
    case op::kWriteOptionBytes:  // count single-byte writes from the scratch
      return r.count >= 1 && static_cast<std::size_t>(r.count) <= kScratchSize;
    case op::kWriteOptionRange:  // one block of count bytes
    case op::kWriteFlagThenOptionRange:
    case op::kWriteBaseRange:    // two blocks of count bytes
    case op::kWriteSetpointThenBaseRange:
      return r.count >= 1 && r.count <= 31;
    default:
      return false;
  }
}

DeviceState::Publish DeviceState::publishRequest(const TransferRequest& r) {
  if (!requestIsValid(r)) return Publish::Invalid;
  std::lock_guard lock(m_publishMutex);
  if (g_xferRequest.load(std::memory_order_acquire) != 0) return Publish::Busy;
  setScratch(r.scratch);
  g_xferStart.store(r.start, std::memory_order_relaxed);
  g_xferCount.store(r.count, std::memory_order_relaxed);
  g_optionFlagValue.store(r.optionFlagValue, std::memory_order_relaxed);
  g_baseSetpointValue.store(r.baseSetpointValue, std::memory_order_relaxed);
  g_xferVerify.store(0, std::memory_order_relaxed);
  g_xferOp.store(r.op, std::memory_order_relaxed);
  g_xferBlock.store(0, std::memory_order_relaxed);
  // A mark left by a read that ended before the engine took it belongs to
  // no request any more.
  m_staleRead.store(StaleRead::None);
  m_writeSent.store(false);
  m_requestedOp.store(r.op, std::memory_order_relaxed);
  m_requestNumber.fetch_add(1, std::memory_order_relaxed);
  g_xferRequest.store(1, std::memory_order_release);
  return Publish::Accepted;
}

namespace {
bool isFullRead(std::uint32_t code) { return code == op::kReadOption || code == op::kReadBase; }
}  // namespace

bool DeviceState::writeRunning() const { return requestPending() && !isFullRead(g_xferOp.load()); }

bool DeviceState::fullReadRunning() const {
  return requestPending() && isFullRead(g_xferOp.load()) && m_staleRead.load() != StaleRead::Drop;
}

void DeviceState::markStaleRead(StaleRead mark) {
  if (requestPending() && isFullRead(g_xferOp.load())) m_staleRead.store(mark);
}

DeviceState::StaleRead DeviceState::takeStaleRead() { return m_staleRead.exchange(StaleRead::None); }

void DeviceState::setLinkRunning(bool running) {
  m_linkRunning.store(running);
  if (!running) settleStaleRead();
}

void DeviceState::settleStaleRead() {
  // Taken once, by whichever of the engine and file mode comes last.
  const StaleRead mark = takeStaleRead();
  if (!requestPending() || !isFullRead(g_xferOp.load())) return;
  if (mark == StaleRead::Drop) finishRequest();
  if (mark == StaleRead::Restart) restartAsFullRead();
}

bool DeviceState::storeReadReply(Area a, std::size_t at, std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(m_imageMutex);
  if (m_staleRead.load() != StaleRead::None) return false;
  if (at < kImageSize)
    std::copy_n(bytes.begin(), std::min(bytes.size(), kImageSize - at), m_images.device(a).begin() + at);
  return true;
}

void DeviceState::restartAsFullRead() {
  std::lock_guard lock(m_publishMutex);
  m_writeSent.store(false);
  g_xferVerify.store(0, std::memory_order_relaxed);
  g_xferOp.store(op::kReadOption, std::memory_order_relaxed);
  g_xferBlock.store(0, std::memory_order_relaxed);
  m_requestedOp.store(op::kReadOption, std::memory_order_relaxed);
  m_requestNumber.fetch_add(1, std::memory_order_relaxed);
  g_xferRequest.store(1, std::memory_order_release);
}

std::string DeviceState::configFilePath() const {
  std::lock_guard lock(m_textMutex);
  return m_configFilePath;
}

void DeviceState::setConfigFilePath(std::string path) {
  std::lock_guard lock(m_textMutex);
  m_configFilePath = std::move(path);
}

DeviceState::IdentityAnswer DeviceState::lastIdentity() const {
  std::lock_guard lock(m_textMutex);
  return m_lastIdentity;
}

void DeviceState::setLastIdentity(const IdentityAnswer& answer) {
  std::lock_guard lock(m_textMutex);
  m_lastIdentity = answer;
}

std::array<std::uint8_t, kDeviceInfoSize> DeviceState::deviceInfo() const {
  std::lock_guard lock(m_textMutex);
  return m_deviceInfo;
}

void DeviceState::setDeviceInfo(std::span<const std::uint8_t, kDeviceInfoSize> info) {
  std::lock_guard lock(m_textMutex);
  std::copy(info.begin(), info.end(), m_deviceInfo.begin());
}

std::string DeviceState::msgSerialMismatch() const {
  std::lock_guard lock(m_textMutex);
  return m_msgSerialMismatch;
}

std::string DeviceState::msgTransferDone() const {
  std::lock_guard lock(m_textMutex);
  return m_msgTransferDone;
}

void DeviceState::setMessageTexts(std::string serialMismatch, std::string transferDone,
                                  std::string writeAbandoned, std::string writeRefused) {
  std::lock_guard lock(m_textMutex);
  m_msgSerialMismatch = std::move(serialMismatch);
  m_msgTransferDone = std::move(transferDone);
  m_msgWriteAbandoned = std::move(writeAbandoned);
  m_msgWriteRefused = std::move(writeRefused);
}

std::string DeviceState::msgWriteAbandoned() const {
  std::lock_guard lock(m_textMutex);
  return m_msgWriteAbandoned;
}

std::string DeviceState::msgWriteRefused() const {
  std::lock_guard lock(m_textMutex);
  return m_msgWriteRefused;
}

std::string serialText(const DeviceState::Serial& serial) { return hex_text::bytes(serial); }

Images DeviceState::snapshot() const {
  return withImages([](const Images& im) { return im; });
}

Image DeviceState::device(Area a) const {
  return withImages([a](const Images& im) { return im.device(a); });
}

Image DeviceState::edit(Area a) const {
  return withImages([a](const Images& im) { return im.edit(a); });
}

void DeviceState::setDevice(Area a, const Image& image) {
  withImages([&](Images& im) { im.device(a) = image; });
}

void DeviceState::setEdit(Area a, const Image& image) {
  withImages([&](Images& im) { im.edit(a) = image; });
}

void DeviceState::writeDevice(Area a, std::size_t at, std::span<const std::uint8_t> bytes) {
  if (at >= kImageSize) return;
  const std::size_t n = std::min(bytes.size(), kImageSize - at);
  withImages([&](Images& im) { std::copy_n(bytes.begin(), n, im.device(a).begin() + at); });
}

void DeviceState::openFileMode(std::string path) {
  setConfigFilePath(std::move(path));
  withImages([this](Images& im) {
    markStaleRead(StaleRead::Drop);
    im.g_baseDevice.fill(0);
    im.g_optionDevice.fill(0);
    g_fileMode.store(1);
  });
  if (!m_linkRunning.load()) settleStaleRead();
}

void DeviceState::closeFileMode() {
  withImages([this](Images& im) {
    markStaleRead(StaleRead::Restart);
    im.g_baseDevice.fill(0);
    im.g_optionDevice.fill(0);
    g_fileMode.store(0);
  });
  if (!m_linkRunning.load()) settleStaleRead();
}

bool DeviceState::applyInFileMode(const TransferRequest& r) {
  // Ops 14 and 18 write two blocks of count bytes on the device, the
  // others one: the file's images take the same bytes.
  const bool twoBlocks = r.op == op::kWriteBaseRange || r.op == op::kWriteSetpointThenBaseRange;
  const int bytes = std::clamp((twoBlocks ? 2 : 1) * static_cast<int>(r.count), 0, static_cast<int>(kScratchSize));
  const ByteRange range = partialRange(r.start, static_cast<std::int8_t>(bytes));
  auto copyScratch = [&](Image& dst) {
    std::copy_n(r.scratch.begin(), range.count, dst.begin() + static_cast<std::ptrdiff_t>(range.start));
  };
  switch (r.op) {
    case op::kWriteOptionThenBase:
      withImages([](Images& im) {
        std::copy_n(im.g_optionEdit.begin(), kOptionImageBytes, im.g_optionDevice.begin());
        std::copy_n(im.g_baseEdit.begin(), kBaseImageBytes, im.g_baseDevice.begin());
      });
      return true;
    case op::kWriteOption:
      withImages([](Images& im) {
        std::copy_n(im.g_optionEdit.begin(), kOptionImageBytes, im.g_optionDevice.begin());
      });
      return true;
    case op::kWriteBase:
      withImages([](Images& im) {
        std::copy_n(im.g_baseEdit.begin(), kBaseImageBytes, im.g_baseDevice.begin());
      });
      return true;
    case op::kWriteOptionRange:
    case op::kWriteOptionBytes:
      withImages([&](Images& im) { copyScratch(im.g_optionDevice); });
      return true;
    case op::kWriteBaseRange:
      withImages([&](Images& im) { copyScratch(im.g_baseDevice); });
      return true;
    case op::kWriteFlagThenOptionRange:
      // The flag byte first, then the range, as the device write does.
      withImages([&](Images& im) {
        im.g_optionDevice[0] = r.optionFlagValue;
        copyScratch(im.g_optionDevice);
      });
      return true;
    case op::kWriteSetpointThenBaseRange:
      withImages([&](Images& im) {
        im.g_baseDevice[0] = r.baseSetpointValue;
        copyScratch(im.g_baseDevice);
      });
      return true;
    default:
      return false;
  }
}

}  // namespace vrx4
