// Process-wide device state shared by the GUI thread and the link thread:
// the four EEPROM images, the transfer request block, the status flags.
//
// Ownership follows the transfer phase: while g_xferRequest is 1 only the
// link engine writes the request fields and the device images. On top of
// that rule everything here is synchronised, because an unsynchronised
// access from two threads is undefined behaviour in C++:
//  - every flag and scalar request field is a std::atomic;
//  - a request is published by writing its fields first and g_xferRequest
//    last with release order; the engine reads g_xferRequest with acquire
//    before it reads the fields (publishRequest / requestPending);
//  - the images sit behind a mutex and are reached through withImages() or
//    the copy helpers, so a reader always sees whole bytes of one moment.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>

namespace vrx4 {

constexpr std::size_t kImageSize = 256;
using Image = std::array<std::uint8_t, kImageSize>;

// The two EEPROM areas. The numeric values are the area digit of the
// configuration text file (0 OPTION, 1 BASE).
enum class Area : std::uint8_t { Option = 0, Base = 1 };

// Bytes of a whole-image write and of the blocks written to files.
constexpr std::size_t kOptionImageBytes = 115;  // OPTION 0x00..0x72
constexpr std::size_t kBaseImageBytes = 112;    // BASE 0x00..0x6F

constexpr std::size_t kScratchSize = 64;
constexpr std::size_t kDeviceInfoSize = 8;

// The four images; reached only under the image lock.
struct Images {
  Image g_baseDevice{};
  Image g_baseEdit{};
  Image g_optionDevice{};
  Image g_optionEdit{};

  Image& device(Area a) { return a == Area::Base ? g_baseDevice : g_optionDevice; }
  Image& edit(Area a) { return a == Area::Base ? g_baseEdit : g_optionEdit; }
  const Image& device(Area a) const { return a == Area::Base ? g_baseDevice : g_optionDevice; }
  const Image& edit(Area a) const { return a == Area::Base ? g_baseEdit : g_optionEdit; }
};

// Transfer operation codes (the link engine's op table).
namespace op {
constexpr std::uint32_t kReadOption = 1;
constexpr std::uint32_t kReadBase = 2;
constexpr std::uint32_t kWriteOptionThenBase = 4;
constexpr std::uint32_t kWriteBase = 5;
constexpr std::uint32_t kWriteOption = 6;
constexpr std::uint32_t kWriteOptionRange = 10;
constexpr std::uint32_t kWriteOptionBytes = 12;
constexpr std::uint32_t kWriteBaseRange = 14;
constexpr std::uint32_t kWriteFlagThenOptionRange = 16;
constexpr std::uint32_t kWriteSetpointThenBaseRange = 18;
}  // namespace op

// What a page hands over when it asks for a transfer.
struct TransferRequest {
  std::uint32_t op = 0;
  std::array<std::uint8_t, kScratchSize> scratch{};
  std::int8_t start = 0;
  std::int8_t count = 0;
  std::uint8_t optionFlagValue = 0;
  std::uint8_t baseSetpointValue = 0;
};

class DeviceState {
 public:
  DeviceState() = default;
  DeviceState(const DeviceState&) = delete;
  DeviceState& operator=(const DeviceState&) = delete;

  // ---- transfer request block ------------------------------------------
  std::atomic<std::uint8_t> g_xferRequest{0};
  std::atomic<std::uint32_t> g_xferOp{0};
  std::atomic<std::int8_t> g_xferBlock{0};
  std::atomic<std::uint8_t> g_xferVerify{0};
  std::atomic<std::int8_t> g_xferStart{0};
  std::atomic<std::int8_t> g_xferCount{0};
  std::atomic<std::uint8_t> g_optionFlagValue{0};
  std::atomic<std::uint8_t> g_baseSetpointValue{0};
  // The request has sent bytes of a write frame (set by the engine,
  // cleared by each new request): a link restarted under a write knows
  // that its regulator may be half-written.
  std::atomic<bool> m_writeSent{false};
  // The op the request was published with (a reload's full read when the
  // engine replaced it), and a number that changes with every request: the
  // engine follows one request's progress from its first step to its end,
  // whatever op the request block has moved on to.
  std::atomic<std::uint32_t> m_requestedOp{0};
  std::atomic<std::uint32_t> m_requestNumber{0};

  // The scratch bytes of a partial write. Written by the requester before
  // the request is published, read by the engine while it runs.
  std::array<std::uint8_t, kScratchSize> scratch() const;
  void setScratch(std::span<const std::uint8_t> bytes);

  // Fills the block from `r` and sets g_xferRequest = 1 last (release),
  // with g_xferVerify = 0 and g_xferBlock = 0. Refuses, changing nothing:
  //  - Busy while a transfer is requested or running: the block holds one
  //    request and a second one would overwrite the first;
  //  - Invalid for an op a page cannot ask for, or a byte count that no
  //    frame can carry (the engine would wait for ever on an empty frame).
  // Pages and the CLI publish through here, so two publishers never
  // interleave.
  enum class Publish { Accepted, Busy, Invalid };
  Publish publishRequest(const TransferRequest& r);
  static bool requestIsValid(const TransferRequest& r);

  // The engine's reload after a failed identity check: whatever runs is
  // replaced by a full read, because its bytes were meant for another
  // device.
  void restartAsFullRead();

  // Acquire read of g_xferRequest: once it returns true the request fields
  // written before the publication are visible.
  bool requestPending() const { return g_xferRequest.load(std::memory_order_acquire) == 1; }
  // A write (or the read-back of one) is requested or running: anything
  // but the full read, ops 1 and 2.
  bool writeRunning() const;
  // A full read is requested or running and will fill the images as they
  // are now: not one that file mode has made the engine drop.
  bool fullReadRunning() const;

  // The engine ends a transfer with this (release, so the images it wrote
  // are visible to whoever sees the request gone).
  void finishRequest() { g_xferRequest.store(0, std::memory_order_release); }

  // ---- status flags ------------------------------------------------------
  std::atomic<std::uint8_t> g_fileMode{0};
  std::atomic<std::uint8_t> g_fileModeNoticeShown{0};
  std::atomic<std::uint8_t> g_eepromLoaded{0};
  // The device images may be shown and saved as the regulator's content:
  // file mode, or a full read or identity check has confirmed them.
  bool imagesConfirmed() const { return g_fileMode.load() == 1 || g_eepromLoaded.load() == 1; }
  std::atomic<std::uint8_t> g_identifyRequest{0};
  std::atomic<std::uint32_t> g_currentPage{0};
  std::atomic<std::uint32_t> g_accessMode{0};
  std::atomic<bool> m_bAutoScale{false};

  // The capture clock: link start, time of the last accepted measurement
  // and of the last capture sample (ms since the start, unsigned 32-bit
  // arithmetic), the display gate's frame count and the sample period.
  std::atomic<std::uint32_t> g_linkStartTick{0};
  std::atomic<std::uint32_t> g_lastSampleMs{0};
  std::atomic<std::uint32_t> g_elapsedMs{0};
  std::atomic<std::uint32_t> g_pollCount{0};
  std::atomic<double> g_samplePeriod{0.1};

  std::string configFilePath() const;
  void setConfigFilePath(std::string path);

  std::array<std::uint8_t, kDeviceInfoSize> deviceInfo() const;
  void setDeviceInfo(std::span<const std::uint8_t, kDeviceInfoSize> info);

  // The serial number (BASE 0x25..0x27) of the regulator that answered
  // the engine's last identity check, and the one it was expected to
  // carry; whoever reports a mismatch names both. `written`: the transfer
  // it stopped had already sent write frames to the expected regulator.
  using Serial = std::array<std::uint8_t, 3>;
  struct IdentityAnswer {
    Serial answered{};
    Serial expected{};
    bool written = false;
  };
  IdentityAnswer lastIdentity() const;
  void setLastIdentity(const IdentityAnswer& answer);

  // Message box texts the engine shows; set when the labels are loaded.
  std::string msgSerialMismatch() const;
  std::string msgTransferDone() const;
  // The box shown when a write was stopped because another regulator
  // answered: a text with two "%s", the serial number that answered and
  // the one the write was meant for. Empty: the serial-mismatch text.
  std::string msgWriteAbandoned() const;
  // The same when the write was refused before its first byte: the
  // regulator that answered is not the one whose images it was built from.
  std::string msgWriteRefused() const;
  void setMessageTexts(std::string serialMismatch, std::string transferDone, std::string writeAbandoned = {},
                       std::string writeRefused = {});

  // ---- images ------------------------------------------------------------
  // Runs f(Images&) under the image lock; for compound changes that must
  // not be seen half done (file mode writes, masks, restores).
  template <class F>
  decltype(auto) withImages(F&& f) {
    std::lock_guard lock(m_imageMutex);
    return f(m_images);
  }
  template <class F>
  decltype(auto) withImages(F&& f) const {
    std::lock_guard lock(m_imageMutex);
    return f(static_cast<const Images&>(m_images));
  }

  Images snapshot() const;
  Image device(Area a) const;
  Image edit(Area a) const;
  void setDevice(Area a, const Image& image);
  void setEdit(Area a, const Image& image);
  // Copies bytes into an image at `at`, cut at the end of the image.
  void writeDevice(Area a, std::size_t at, std::span<const std::uint8_t> bytes);

  // ---- file mode ---------------------------------------------------------
  // New and Open replace the device images with a file's. A write to the
  // regulator runs to its verified end first: false while one runs (the
  // caller refuses and says so). A full read that runs is no obstacle:
  // openFileMode makes the link engine drop it.
  bool fileModeMayStart() const { return !writeRunning(); }
  // Opening a configuration file: zero both device images, file mode on.
  // A full read that runs is marked for the link engine to drop, and from
  // here on none of its replies is stored.
  void openFileMode(std::string path);
  // Closing it: zero both device images, file mode off. A full read that
  // runs (Reload EEPROM in file mode) is marked to start again from its
  // first block, so that it fills the zeroed images whole.
  void closeFileMode();

  // What the link engine does with a full read whose images were
  // replaced since it began.
  enum class StaleRead : std::uint8_t { None, Drop, Restart };
  // The engine's side: takes the mark (None when there is none).
  StaleRead takeStaleRead();
  // The link engine says when it starts and after it has ended. While
  // none runs, nothing else touches the request block, and file mode
  // settles a marked read at once itself.
  void setLinkRunning(bool running);
  // The engine stores a read reply through here: refused (false, nothing
  // stored) once the read is marked stale, so that a reply meant for the
  // images before New, Open or Close never lands in the new ones.
  bool storeReadReply(Area a, std::size_t at, std::span<const std::uint8_t> bytes);

  // Applies a write request straight to the device images, as file mode
  // does instead of a transfer. Returns false for an op that is not a
  // write (nothing changes then).
  bool applyInFileMode(const TransferRequest& r);

 private:
  mutable std::mutex m_imageMutex;
  Images m_images;
  // Set under the image lock together with the images it concerns, so
  // that a store checked under that lock never misses it.
  std::atomic<StaleRead> m_staleRead{StaleRead::None};
  std::atomic<bool> m_linkRunning{false};
  // Marks a running full read, under the image lock.
  void markStaleRead(StaleRead mark);
  // Without a link engine: ends (Drop) or restarts (Restart) a marked read.
  void settleStaleRead();

  std::mutex m_publishMutex;
  mutable std::mutex m_textMutex;
  std::string m_configFilePath;
  std::string m_msgSerialMismatch;
  std::string m_msgTransferDone;
  std::string m_msgWriteAbandoned;
  std::string m_msgWriteRefused;
  std::array<std::uint8_t, kDeviceInfoSize> m_deviceInfo{};
  IdentityAnswer m_lastIdentity;
  std::array<std::uint8_t, kScratchSize> m_scratch{};
};

// A serial number as the information page prints it: "01 23 45".
std::string serialText(const DeviceState::Serial& serial);

// Byte range of a partial write: start as an unsigned address, count
// limited to the scratch size and cut at the end of the image.
struct ByteRange {
  std::size_t start;
  std::size_t count;
};
ByteRange partialRange(std::int8_t start, std::int8_t count);

}  // namespace vrx4
