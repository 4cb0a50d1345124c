// Every frame of the serial protocol: checksum, the host's requests and
// commands, and decoders for the device's replies.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/link/device_state.h"
#include "core/link/live_measurement.h"

namespace vrx4 {

constexpr std::uint8_t kEndByte = 0x7E;  // '~'
constexpr std::uint8_t kMeasurementRequest = 'R';
constexpr std::uint8_t kInformationRequest = 'E';
constexpr std::uint8_t kLiveAnnounce = 'a';
constexpr std::uint8_t kLiveCommandHeader = 'A';
constexpr std::uint8_t kMeasurementHeader = 'A';
constexpr std::uint8_t kInformationHeader = 'E';
constexpr std::uint8_t kMemoryHeader = 'D';

constexpr std::size_t kMeasurementFrameLength = 17;
constexpr std::size_t kInformationFrameLength = 11;
constexpr std::size_t kLiveCommandLength = 17;
constexpr int kMaxMemoryCount = 31;
constexpr std::size_t kMaxFrameLength = kMaxMemoryCount + 5;

// Memory control byte bits.
constexpr std::uint8_t kMemoryReadBit = 0x20;
constexpr std::uint8_t kMemoryBaseBit = 0x40;
constexpr std::uint8_t kMemoryCountMask = 0x1F;

// Sum modulo 256 of every byte before the checksum, i.e. bytes
// 0 .. length-3 of a framed message; 0 for fewer than 3 bytes.
std::uint8_t frameChecksum(std::span<const std::uint8_t> frame);
// Sum modulo 256 of all the given bytes.
std::uint8_t sumBytes(std::span<const std::uint8_t> bytes);
// True when the last byte is '~' and the one before it the checksum.
bool frameIsSound(std::span<const std::uint8_t> frame);

// A frame the host sends; at most 36 bytes (memory write of 31 bytes).
struct TxFrame {
  std::array<std::uint8_t, kMaxFrameLength> data{};
  std::size_t length = 0;
  std::span<const std::uint8_t> bytes() const { return {data.data(), length}; }
};

TxFrame singleByteRequest(std::uint8_t letter);  // 'R', 'E' or 'a'
// 'D', address, 0x20|n (OPTION) or 0x60|n (BASE), checksum, '~'.
// count must be 1..31; otherwise the frame is empty (length 0).
TxFrame buildMemoryRead(Area area, std::uint8_t address, int count);
// 'D', address, n or 0x40|n, n data bytes, checksum, '~'. data.size() must
// be 1..31; otherwise the frame is empty.
TxFrame buildMemoryWrite(Area area, std::uint8_t address, std::span<const std::uint8_t> data);

// The LIVE page's test fields as the live command needs them.
struct LiveTestSnapshot {
  int m_bTestCtrl = 0;
  int m_bTestAuxin = 0;
  int m_bTestSpare1 = 0;
  int m_bTestSpare2 = 0;
  int m_bTestUout = 0;
  int m_bTestIout = 0;
  int m_bTestAlarm = 0;
  int m_nTestAuxinUnit = 0;
  int m_nP2Source = 0;
  int m_nTestCtrlUnit = 0;
  int m_nTestAlarmState = 1;
  std::string auxinText;  // test edit 1017
  std::string ctrlText;   // test edit 1016
  std::string uoutText;   // test edit 1039, volts
  std::string ioutText;   // test edit 1040, milliamperes
};

// A test field's value as the live command sends it: a number in the one
// grammar of typed values (readNumber), or 0 for a blank field. Any other
// text is no value at all: "1,5" must never go out as 1 and "abc" as 0,
// since a forced value moves a real machine. The LIVE page keeps sending
// the last text that was a value while a field holds no value.
std::optional<double> liveTestValue(std::string_view text);

// Whether the command built from `t` forces anything on the regulator: a
// ticked test or P2 read from another source than the usual one.
bool anyTestOn(const LiveTestSnapshot& t);

// The 17-byte 'A' command. The CONTROL value goes through the BASE device
// image's V_TO_B_A / V_TO_B_B, or A_TO_B_A / A_TO_B_B for a current test.
TxFrame buildLiveCommand(const LiveTestSnapshot& test, const Image& baseDevice);

// value x 1000 truncated toward zero, as the low 16 bits sent low byte
// first. Values beyond the 32-bit range are limited to it and NaN is 0,
// so no input can make the conversion undefined.
std::uint16_t thousandthsWord(double value);

// ---- device replies ----
LiveMeasurement decodeMeasurement(std::span<const std::uint8_t, kMeasurementFrameLength> frame,
                                  std::uint8_t deviceInfoByte0);
// Bytes 1..8 of an information frame.
std::array<std::uint8_t, kDeviceInfoSize> decodeInformation(
    std::span<const std::uint8_t, kInformationFrameLength> frame);

struct MemoryData {
  std::uint8_t address = 0;
  std::array<std::uint8_t, kMaxMemoryCount> data{};
  std::size_t count = 0;
  std::span<const std::uint8_t> bytes() const { return {data.data(), count}; }
};
// Decodes a memory frame of `count` data bytes (frame.size() == count + 5).
MemoryData decodeMemory(std::span<const std::uint8_t> frame);

// Builds a measurement frame (the device side; also used by tests).
std::array<std::uint8_t, kMeasurementFrameLength> buildMeasurementFrame(
    const std::array<std::uint16_t, 6>& rawValues, std::uint8_t status, std::uint8_t flags);
std::array<std::uint8_t, kInformationFrameLength> buildInformationFrame(
    std::span<const std::uint8_t, kDeviceInfoSize> info);
// 'D', address, control byte, data, checksum, '~'.
TxFrame buildMemoryFrame(std::uint8_t address, std::uint8_t control,
                         std::span<const std::uint8_t> data);

// Echo check of a live command: for each test flag that is set, the named
// bytes of the device's last measurement frame equal those of the command
// (alarm: statusBit0 against bit 0 of command byte 13). No check is made
// unless both hold at least 13 bytes. True when nothing differs.
bool liveEchoMatches(std::span<const std::uint8_t> command, std::span<const std::uint8_t> frame,
                     const LiveTestSnapshot& test, int statusBit0);

}  // namespace vrx4
