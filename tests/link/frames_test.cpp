#include "core/link/frames.h"
#include "core/link/frame_acceptor.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/base/decimal_text.h"
#include "core/link/param_dictionary.h"

namespace vrx4 {
namespace {

std::vector<std::uint8_t> vec(std::span<const std::uint8_t> s) { return {s.begin(), s.end()}; }
int word(const TxFrame& f, std::size_t at) { return f.data[at] | (f.data[at + 1] << 8); }

TEST(Frames, ChecksumAndRequests) {
  EXPECT_EQ(frameChecksum(std::vector<std::uint8_t>{0x44, 0x25}), 0);

  // Single-letter requests carry no checksum or end byte.
  EXPECT_EQ(vec(singleByteRequest('E').bytes()), (std::vector<std::uint8_t>{'E'}));
  EXPECT_EQ(vec(buildMemoryRead(Area::Base, 0x25, 4).bytes()),
            (std::vector<std::uint8_t>{0x44, 0x25, 0x64, 0xCD, 0x7E}));
  EXPECT_TRUE(buildMemoryRead(Area::Base, 0, 0).length == 0u && buildMemoryRead(Area::Base, 0, 32).length == 0u);

  for (std::uint8_t v : std::initializer_list<std::uint8_t>{0x00, 0x3A, 0xBB, 0xFF}) {
    const std::vector<std::uint8_t> data{v};
    EXPECT_EQ(vec(buildMemoryWrite(Area::Option, 0, data).bytes()),
              (std::vector<std::uint8_t>{0x44, 0x00, 0x01, v, static_cast<std::uint8_t>((0x45 + v) & 0xFF), 0x7E}));
  }
  const TxFrame w = buildMemoryWrite(Area::Base, 0xF8, std::vector<std::uint8_t>(10, 0x11));
  EXPECT_TRUE(w.length == 15u && w.data[2] == 0x4A && frameIsSound(w.bytes()));
}

TEST(Frames, LiveCommandBytesAndTheirEcho) {
  Image base{};
  LiveTestSnapshot t;
  t.auxinText = "2.5", t.ctrlText = "5", t.uoutText = "-1.2345", t.ioutText = "12.0009";
  // V_TO_B_A = 1024 (gain 1), V_TO_B_B = 500 (0.5): 5 V -> 5.5 -> 5500;
  // A_TO_B_A = 640 (0.625), A_TO_B_B = -2500: 5 mA -> 0.625
  for (auto [name, v] : {std::pair{"V_TO_B_A", 1024}, {"V_TO_B_B", 500}, {"A_TO_B_A", 640}, {"A_TO_B_B", -2500}})
    writeField(base, *findField(Area::Base, name), v);
  t.m_bTestCtrl = 1, t.m_bTestUout = 1, t.m_nTestAlarmState = 0, t.m_nP2Source = 1;

  TxFrame f = buildLiveCommand(t, base);
  ASSERT_EQ(f.length, 17u);
  EXPECT_EQ(f.data[0], 'A');
  // -1234.5 truncates toward zero to -1234, sent as its low 16 bits
  EXPECT_EQ((std::array{word(f, 1), word(f, 3), word(f, 5), word(f, 7), word(f, 9), word(f, 11)}),
            (std::array{2500, 5500, 0, 0, 0x10000 - 1234, 12000}));
  EXPECT_EQ(f.data[13], 0x05);  // P2 source + alarm forced on
  EXPECT_EQ(f.data[14], 0x80 | 0x10 | 0x02);
  EXPECT_TRUE(frameIsSound(f.bytes()));

  t.m_nTestCtrlUnit = 1;
  f = buildLiveCommand(t, base);
  EXPECT_EQ(word(f, 3), 625);
  EXPECT_EQ(f.data[13], 0x15);

  // Unreadable, empty and absurd texts never make the conversion undefined.
  t.ctrlText = "", t.auxinText = "abc", t.uoutText = "1e300", t.ioutText = "-1e300";
  f = buildLiveCommand(t, base);
  EXPECT_EQ(word(f, 1), 0);
  EXPECT_EQ(thousandthsWord(1e300), 0xFFFF);   // INT32_MAX & 0xFFFF
  EXPECT_EQ(thousandthsWord(-1e300), 0x0000);  // INT32_MIN & 0xFFFF
  EXPECT_EQ(thousandthsWord(std::nan("")), 0);

  // A test field is a value only in the grammar of typed numbers; a blank
  // field forces 0, anything else is no value (never 1 for "1,5").
  EXPECT_EQ(liveTestValue(" 2.5 "), 2.5);
  EXPECT_EQ(liveTestValue(""), 0.0);
  EXPECT_FALSE(liveTestValue("1,5"));  // the grammar itself: typed_values_test

  // The echo is compared on the forced channels only.
  t = LiveTestSnapshot{}, t.uoutText = "5", t.ctrlText = "3";
  const TxFrame cmd = buildLiveCommand(t, base);
  // The device reports Uout 5.000 V, CONTROL unrelated.
  auto frame = buildMeasurementFrame({0, 1234, 24000, 0, 5000, 0}, 0, 0);
  EXPECT_TRUE(liveEchoMatches(cmd.bytes(), frame, t, 0));  // nothing forced
  t.m_bTestUout = 1;
  EXPECT_TRUE(liveEchoMatches(cmd.bytes(), frame, t, 0));
  t.m_bTestCtrl = 1;
  EXPECT_FALSE(liveEchoMatches(cmd.bytes(), frame, t, 0));
  t.m_bTestCtrl = 0, t.m_bTestAlarm = 1, t.m_nTestAlarmState = 0;  // alarm forced on: bit 0 of byte 13 set
  const TxFrame cmd2 = buildLiveCommand(t, base);
  EXPECT_FALSE(liveEchoMatches(cmd2.bytes(), frame, t, 0));
  EXPECT_TRUE(liveEchoMatches(cmd2.bytes(), frame, t, 1));
  // Too short to compare: no difference is reported.
  EXPECT_TRUE(liveEchoMatches(cmd2.bytes().first(12), frame, t, 0));
}

TEST(Frames, DecodeReplies) {
  auto m = buildMeasurementFrame({0xFFFF, 0xFFFF, 24000, 6000, 0x7FFF, 0}, 0b0001'1101, 0xA5);
  LiveMeasurement d = decodeMeasurement(m, 0);
  EXPECT_EQ(d.m_value, (std::array<float, 6>{65535, -1, 24000, 6000, 32767, 0}));
  EXPECT_EQ(d.m_status, 0x1D);
  EXPECT_EQ((std::array{d.m_statusBit0, d.m_infoPending, d.m_statusBit2, d.m_statusBit3, d.m_statusBit4}),
            (std::array{1, 0, 1, 1, 1}));
  EXPECT_EQ(d.m_flagBit, (std::array<int, 8>{1, 0, 1, 0, 0, 1, 0, 1}));
  // info pending from the status bit or from a pending info byte
  EXPECT_EQ(decodeMeasurement(buildMeasurementFrame({}, 0x02, 0), 0).m_infoPending, 1);
  EXPECT_EQ(decodeMeasurement(buildMeasurementFrame({}, 0x00, 0), 7).m_infoPending, 1);

  // CONTROL is signed: its boundaries.
  EXPECT_EQ(decodeMeasurement(buildMeasurementFrame({0, 0x7FFF, 0, 0, 0, 0}, 0, 0), 0).m_value[1], 32767.0f);
  EXPECT_EQ(decodeMeasurement(buildMeasurementFrame({0, 0x8000, 0, 0, 0, 0}, 0, 0), 0).m_value[1], -32768.0f);

  const std::array<std::uint8_t, 8> info{1, 2, 3, 4, 5, 6, 7, 8};
  const auto e = buildInformationFrame(info);
  EXPECT_TRUE(frameIsSound(e) && decodeInformation(e) == info);

  const std::vector<std::uint8_t> data{0x01, 0x23, 0x45, 0x67};
  const MemoryData md = decodeMemory(buildMemoryFrame(0x25, 0x64, data).bytes());
  EXPECT_EQ(md.address, 0x25);
  EXPECT_EQ(vec(md.bytes()), data);
}

TEST(ParamDictionary, TablesAreConsistent) {
  for (Area area : {Area::Base, Area::Option}) {
    std::set<std::string> names;
    int end = 0;
    for (const ParamField& f : fields(area)) {
      EXPECT_TRUE(names.insert(std::string(f.name)).second) << f.name;
      EXPECT_TRUE(f.width >= 1 && f.width <= 3) << f.name;
      EXPECT_GE(f.offset, end) << f.name << " overlaps the field before it";
      end = f.offset + f.width;
    }
    // Named fields stop where the named areas stop.
    EXPECT_EQ(end, area == Area::Base ? 0x60 : 0x73);
  }
  EXPECT_FALSE(findField(Area::Option, "SN"));
}

TEST(ParamDictionary, BigEndianFields) {
  Image im{};
  const ParamField sn = *findField(Area::Base, "SN");
  writeField(im, sn, 0x012345);
  EXPECT_EQ((std::array{im[0x25], im[0x26], im[0x27]}), (std::array<std::uint8_t, 3>{0x01, 0x23, 0x45}));
  EXPECT_EQ(readField(im, sn), 0x012345);

  // Signed words sign-extend; unsigned ones do not.
  const ParamField slope = *findField(Area::Base, "A_TO_B_B");
  writeField(im, slope, -2500);
  EXPECT_EQ((std::array{im[0x07], im[0x08]}), (std::array<std::uint8_t, 2>{0xF6, 0x3C}));
  EXPECT_TRUE(readField(im, slope) == -2500 && readSigned16(im, 0x07) == -2500);
  im[0x30] = 0xFF, im[0x31] = 0xFE;
  EXPECT_EQ(readField(im, *findField(Area::Base, "FORCE_0_ENTREE")), 0xFFFE);
}


TEST(DecimalText, ReadsLikeATypedNumber) {
  // A comma is not a decimal point here, whatever the desktop's locale.
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  for (auto [text, v] : {std::pair{"2.5", 2.5}, {"  -1.25", -1.25}, {".5", 0.5}, {"12abc", 12.0}, {"", 0.0},
                         {"-", 0.0}, {"nan", 0.0}, {"1e-999", 0.0}, {"2,5", 2.0}})
    EXPECT_DOUBLE_EQ(parseDecimal(text), v) << text;
  EXPECT_TRUE(std::isinf(parseDecimal("1e999")));
  std::setlocale(LC_NUMERIC, "C");
}

// Feeds bytes; returns every frame accepted along the way.
std::vector<std::vector<std::uint8_t>> feed(FrameAcceptor& acc, std::span<const std::uint8_t> bytes) {
  std::vector<std::vector<std::uint8_t>> out;
  for (std::uint8_t b : bytes) {
    if (acc.push(b)) out.emplace_back(acc.frame().begin(), acc.frame().end());
  }
  return out;
}

std::vector<std::uint8_t> measurement(std::uint16_t p2) { return vec(buildMeasurementFrame({1, 2, 3, p2, 5, 6}, 0, 0)); }

TEST(FrameAcceptor, StrayBytesAndResync) {
  // Stray bytes, a frame with a wrong checksum, and a candidate whose bytes
  // hold an 'A' (the acceptor resynchronises inside it), each followed by
  // a good frame: that one is accepted, and only it.
  const auto good = measurement(6000);
  auto bad = measurement(100);
  bad[15] ^= 0x01;
  FrameAcceptor acc;
  for (std::vector<std::uint8_t> in : {std::vector<std::uint8_t>{0x13, 0x37}, bad, std::vector<std::uint8_t>{'A', 'A', 'A'}}) {
    acc.expect(ReplyKind::Measurement);
    in.insert(in.end(), good.begin(), good.end());
    const auto frames = feed(acc, in);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], good);
  }
}

TEST(FrameAcceptor, InformationAndMemoryLengths) {
  FrameAcceptor acc;
  const std::array<std::uint8_t, 8> info{9, 0, 0, 0, 0, 0, 0, 1};
  acc.expect(ReplyKind::Information);
  // A measurement frame is not an information frame: no 'E' header, no accept.
  EXPECT_TRUE(feed(acc, measurement(1)).empty());
  EXPECT_EQ(feed(acc, buildInformationFrame(info)).size(), 1u);  // accepted whole: RandomStreamsWithEmbeddedFrames

  const TxFrame mem = buildMemoryFrame(0x14, 0x2A, std::vector<std::uint8_t>(10, 0x5A));
  acc.expect(ReplyKind::Memory, 10);
  EXPECT_EQ(acc.expectedLength(), 15u);

  // The same reply awaited with the wrong count never completes.
  acc.expect(ReplyKind::Memory, 4);
  EXPECT_TRUE(feed(acc, mem.bytes()).empty());
}

TEST(FrameAcceptor, RandomStreamsWithEmbeddedFrames) {
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 1000; ++round) {
    const int kind = round % 3;
    const int count = 1 + round % 31;
    std::vector<std::uint8_t> data(kind == 1 ? 8 : static_cast<std::size_t>(count)), frame;
    for (auto& b : data) b = static_cast<std::uint8_t>(byte(rng));
    FrameAcceptor acc;
    if (kind == 0) frame = measurement(static_cast<std::uint16_t>(round));
    else if (kind == 1) frame = vec(buildInformationFrame(std::span<const std::uint8_t, 8>(data.data(), 8)));
    else frame = vec(buildMemoryFrame(static_cast<std::uint8_t>(byte(rng)), 0x20, data).bytes());
    acc.expect(static_cast<ReplyKind>(kind), count);
    // Random noise, which may hold the header byte, then the frame. The
    // noise may by chance complete a sound frame of its own; what matters
    // is that the embedded one is found and nothing is read out of bounds.
    std::vector<std::uint8_t> stream(static_cast<std::size_t>(byte(rng) % 60));
    for (auto& b : stream) b = static_cast<std::uint8_t>(byte(rng));
    const std::size_t noise = stream.size();
    stream.insert(stream.end(), frame.begin(), frame.end());
    bool found = false;
    for (std::size_t i = 0; i < stream.size(); ++i) {
      if (acc.push(stream[i]) && i == stream.size() - 1) found = std::ranges::equal(acc.frame(), frame);
      ASSERT_LE(acc.buffered(), acc.expectedLength());
    }
    // The buffer slides one byte at a time, so every start position is
    // tried and the embedded frame is always reached.
    EXPECT_TRUE(found) << "round " << round << " noise " << noise;
  }
}

}  // namespace
}  // namespace vrx4
