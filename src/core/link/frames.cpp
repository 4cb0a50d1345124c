#include "core/link/frames.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/base/decimal_text.h"
#include "core/link/param_dictionary.h"

namespace vrx4 {
namespace {

std::uint16_t lowHigh(std::span<const std::uint8_t> f, std::size_t at) {
  return static_cast<std::uint16_t>(f[at] | (f[at + 1] << 8));
}

void putWord(std::uint8_t* at, std::uint16_t w) {
  at[0] = static_cast<std::uint8_t>(w & 0xFF);
  at[1] = static_cast<std::uint8_t>(w >> 8);
}

void seal(TxFrame& f) {
  f.data[f.length - 2] = frameChecksum(f.bytes());
  f.data[f.length - 1] = kEndByte;
}

std::uint8_t memoryControl(Area area, bool read, int count) {
  auto c = static_cast<std::uint8_t>(count & kMemoryCountMask);
  if (read) c |= kMemoryReadBit;
  if (area == Area::Base) c |= kMemoryBaseBit;
  return c;
}

}  // namespace

std::uint8_t sumBytes(std::span<const std::uint8_t> bytes) {
  unsigned sum = 0;
  for (std::uint8_t b : bytes) sum += b;
  return static_cast<std::uint8_t>(sum & 0xFF);
}

std::uint8_t frameChecksum(std::span<const std::uint8_t> frame) {
  if (frame.size() < 3) return 0;
  return sumBytes(frame.first(frame.size() - 2));
}

bool frameIsSound(std::span<const std::uint8_t> frame) {
  return frame.size() >= 3 && frame.back() == kEndByte &&
         frame[frame.size() - 2] == frameChecksum(frame);
}

TxFrame singleByteRequest(std::uint8_t letter) {
  TxFrame f;
  f.data[0] = letter;
  f.length = 1;
  return f;
}

TxFrame buildMemoryRead(Area area, std::uint8_t address, int count) {
  TxFrame f;
  if (count < 1 || count > kMaxMemoryCount) return f;
  f.data[0] = kMemoryHeader;
  f.data[1] = address;
  f.data[2] = memoryControl(area, true, count);
  f.length = 5;
  seal(f);
  return f;
}

TxFrame buildMemoryWrite(Area area, std::uint8_t address, std::span<const std::uint8_t> data) {
  TxFrame f;
  if (data.empty() || data.size() > static_cast<std::size_t>(kMaxMemoryCount)) return f;
  f.data[0] = kMemoryHeader;
  f.data[1] = address;
  f.data[2] = memoryControl(area, false, static_cast<int>(data.size()));
  std::copy(data.begin(), data.end(), f.data.begin() + 3);
  f.length = data.size() + 5;
  seal(f);
  return f;
}

std::uint16_t thousandthsWord(double value) {
  const double scaled = std::trunc(value * 1000.0);
  std::int64_t whole = 0;
  if (std::isnan(scaled)) {
    whole = 0;
  } else if (scaled >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    whole = std::numeric_limits<std::int32_t>::max();
  } else if (scaled <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
    whole = std::numeric_limits<std::int32_t>::min();
  } else {
    whole = static_cast<std::int64_t>(scaled);
  }
  return static_cast<std::uint16_t>(static_cast<std::uint64_t>(whole) & 0xFFFF);
}

bool anyTestOn(const LiveTestSnapshot& t) {
  return t.m_bTestCtrl != 0 || t.m_bTestAuxin != 0 || t.m_bTestSpare1 != 0 || t.m_bTestSpare2 != 0 ||
         t.m_bTestUout != 0 || t.m_bTestIout != 0 || t.m_bTestAlarm != 0 || t.m_nP2Source != 0;
}

std::optional<double> liveTestValue(std::string_view text) {
  if (text.find_first_not_of(" \t") == std::string_view::npos) return 0.0;
  return readNumber(text);
}

TxFrame buildLiveCommand(const LiveTestSnapshot& t, const Image& baseDevice) {
  TxFrame f;
  f.length = kLiveCommandLength;
  f.data[0] = kLiveCommandHeader;

  const bool current = t.m_nTestCtrlUnit == 1;
  const double gain = readSigned16(baseDevice, current ? 0x05 : 0x01) / 1024.0;
  const double offset = readSigned16(baseDevice, current ? 0x07 : 0x03) / 1000.0;
  const double ctrl = liveTestValue(t.ctrlText).value_or(0.0) * gain + offset;

  putWord(&f.data[1], thousandthsWord(liveTestValue(t.auxinText).value_or(0.0)));
  putWord(&f.data[3], thousandthsWord(ctrl));
  // bytes 5..8 stay 0: the two spare channels carry no value
  putWord(&f.data[9], thousandthsWord(liveTestValue(t.uoutText).value_or(0.0)));
  putWord(&f.data[11], thousandthsWord(liveTestValue(t.ioutText).value_or(0.0)));

  std::uint8_t flags = 0;
  if (t.m_nTestCtrlUnit) flags |= 0x10;
  if (t.m_nTestAuxinUnit) flags |= 0x08;
  if (t.m_nP2Source) flags |= 0x04;
  if (t.m_nTestAlarmState == 0) flags |= 0x01;  // alarm forced on
  f.data[13] = flags;

  std::uint8_t bits = 0x80;
  if (t.m_bTestAlarm) bits |= 0x40;
  if (t.m_bTestIout) bits |= 0x20;
  if (t.m_bTestUout) bits |= 0x10;
  if (t.m_bTestSpare1) bits |= 0x08;
  if (t.m_bTestSpare2) bits |= 0x04;
  if (t.m_bTestCtrl) bits |= 0x02;
  if (t.m_bTestAuxin) bits |= 0x01;
  f.data[14] = bits;

  seal(f);
  return f;
}

LiveMeasurement decodeMeasurement(std::span<const std::uint8_t, kMeasurementFrameLength> frame,
                                  std::uint8_t deviceInfoByte0) {
  LiveMeasurement m;
  m.m_value[0] = static_cast<float>(lowHigh(frame, 1));
  m.m_value[1] = static_cast<float>(static_cast<std::int16_t>(lowHigh(frame, 3)));
  m.m_value[2] = static_cast<float>(lowHigh(frame, 5));
  m.m_value[3] = static_cast<float>(lowHigh(frame, 7));
  m.m_value[4] = static_cast<float>(lowHigh(frame, 9));
  m.m_value[5] = static_cast<float>(lowHigh(frame, 11));
  const std::uint8_t s = frame[13];
  m.m_status = s;
  m.m_statusBit0 = s & 1;
  m.m_infoPending = ((s >> 1) & 1) || deviceInfoByte0 != 0 ? 1 : 0;
  m.m_statusBit2 = (s >> 2) & 1;
  m.m_statusBit3 = (s >> 3) & 1;
  m.m_statusBit4 = (s >> 4) & 1;
  m.m_statusBit5 = (s >> 5) & 1;
  m.m_statusBit6 = (s >> 6) & 1;
  m.m_statusBit7 = (s >> 7) & 1;
  for (int i = 0; i < 8; ++i) m.m_flagBit[static_cast<std::size_t>(i)] = (frame[14] >> i) & 1;
  return m;
}

std::array<std::uint8_t, kDeviceInfoSize> decodeInformation(
    std::span<const std::uint8_t, kInformationFrameLength> frame) {
  std::array<std::uint8_t, kDeviceInfoSize> info{};
  std::copy_n(frame.begin() + 1, kDeviceInfoSize, info.begin());
  return info;
}

MemoryData decodeMemory(std::span<const std::uint8_t> frame) {
  MemoryData d;
  if (frame.size() < 6) return d;
  d.address = frame[1];
  d.count = std::min(frame.size() - 5, static_cast<std::size_t>(kMaxMemoryCount));
  std::copy_n(frame.begin() + 3, d.count, d.data.begin());
  return d;
}

std::array<std::uint8_t, kMeasurementFrameLength> buildMeasurementFrame(
    const std::array<std::uint16_t, 6>& rawValues, std::uint8_t status, std::uint8_t flags) {
  std::array<std::uint8_t, kMeasurementFrameLength> f{};
  f[0] = kMeasurementHeader;
  for (std::size_t i = 0; i < 6; ++i) putWord(&f[1 + 2 * i], rawValues[i]);
  f[13] = status;
  f[14] = flags;
  f[15] = frameChecksum(f);
  f[16] = kEndByte;
  return f;
}

std::array<std::uint8_t, kInformationFrameLength> buildInformationFrame(
    std::span<const std::uint8_t, kDeviceInfoSize> info) {
  std::array<std::uint8_t, kInformationFrameLength> f{};
  f[0] = kInformationHeader;
  std::copy(info.begin(), info.end(), f.begin() + 1);
  f[9] = frameChecksum(f);
  f[10] = kEndByte;
  return f;
}

TxFrame buildMemoryFrame(std::uint8_t address, std::uint8_t control,
                         std::span<const std::uint8_t> data) {
  TxFrame f;
  if (data.size() > static_cast<std::size_t>(kMaxMemoryCount)) return f;
  f.data[0] = kMemoryHeader;
  f.data[1] = address;
  f.data[2] = control;
  std::copy(data.begin(), data.end(), f.data.begin() + 3);
  f.length = data.size() + 5;
  seal(f);
  return f;
}

bool liveEchoMatches(std::span<const std::uint8_t> command, std::span<const std::uint8_t> frame,
                     const LiveTestSnapshot& t, int statusBit0) {
  if (command.size() < 13 || frame.size() < 13) return true;
  auto same = [&](std::size_t at) { return command[at] == frame[at] && command[at + 1] == frame[at + 1]; };
  if (t.m_bTestCtrl && !same(3)) return false;
  if (t.m_bTestAuxin && !same(1)) return false;
  if (t.m_bTestSpare1 && !same(7)) return false;
  if (t.m_bTestSpare2 && !same(5)) return false;
  if (t.m_bTestUout && !same(9)) return false;
  if (t.m_bTestIout && !same(11)) return false;
  if (t.m_bTestAlarm && statusBit0 != (command[13] & 1)) return false;
  return true;
}

}  // namespace vrx4
