// The Telnet / COM-PORT-OPTION codec: escaping both ways, the answers to a
// server's negotiation, the serial settings and their refusal, and input
// of any shape never overrunning it.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/link/rfc2217.h"

namespace vrx4::telnet {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes decodeAll(ClientCodec& c, const Bytes& in, Bytes* reply = nullptr) {
  Bytes data, ignored;
  c.decode(in, data, reply != nullptr ? (reply->clear(), *reply) : ignored);
  return data;
}

// A COM-PORT-OPTION answer from the server.
Bytes answer(std::uint8_t code, Bytes value) {
  Bytes b{kIac, kSb, kComPort, static_cast<std::uint8_t>(code + com::kServerOffset)};
  b.insert(b.end(), value.begin(), value.end());
  b.insert(b.end(), {kIac, kSe});
  return b;
}

// A codec whose server agreed to binary both ways and to the COM-PORT-OPTION.
ClientCodec agreed(Bytes* reply = nullptr) {
  ClientCodec c;
  (void)c.start();
  decodeAll(c, {kIac, kDo, kBinary, kIac, kWill, kBinary, kIac, kDo, kComPort}, reply);
  return c;
}

TEST(Rfc2217Codec, EscapesFFBothWaysWhereverTheStreamIsCut) {
  ClientCodec c = agreed();
  Bytes line;
  for (int b = 0; b < 256; ++b) line.push_back(static_cast<std::uint8_t>(b));
  line.insert(line.end(), {0xFF, 0xFF, 0x0D, 0x00, 0x7E});
  Bytes wire;
  for (std::uint8_t b : line) c.encode(b, wire);
  EXPECT_EQ(wire.size(), line.size() + 3);  // three 0xFF, each doubled; binary keeps CR NUL as it is
  for (std::size_t cut = 0; cut <= wire.size(); ++cut) {
    ClientCodec d = agreed();
    Bytes data, reply;
    d.decode(std::span(wire).first(cut), data, reply);
    d.decode(std::span(wire).subspan(cut), data, reply);
    ASSERT_EQ(data, line) << "cut at " << cut;
    ASSERT_TRUE(reply.empty());
  }
}

TEST(Rfc2217Codec, AnswersTheServerAsksForTheSettingsOnceTheOptionIsAgreedAndReportsARefusal) {
  ClientCodec c;
  EXPECT_EQ(c.start(), (Bytes{kIac, kWill, kBinary, kIac, kDo, kBinary, kIac, kWill, kComPort}));
  // Until binary is agreed, CR NUL is a bare CR.
  Bytes wire, reply;
  c.encode(0x0D, wire);
  EXPECT_EQ(wire, (Bytes{0x0D, 0x00}));
  EXPECT_EQ(decodeAll(c, {0x0D, 0x00, 0x41, 0x00}), (Bytes{0x0D, 0x41, 0x00}));
  // What ser2net and device servers offer: go-ahead suppressed, echo,
  // binary, a terminal type the client has none of.
  decodeAll(c, {kIac, kWill, kSuppressGoAhead, kIac, kWill, kEcho, kIac, kDo, 24, kIac, kWill, kBinary, kIac, kDo, kBinary},
            &reply);
  EXPECT_EQ(reply, (Bytes{kIac, kDo, kSuppressGoAhead, kIac, kDont, kEcho, kIac, kWont, 24}));
  EXPECT_EQ(c.settings(), ClientCodec::Settings::Pending);

  decodeAll(c, {kIac, kDo, kComPort}, &reply);
  Bytes settings{kIac, kSb, kComPort, com::kSetBaudRate, 0x00, 0x00, 0x96, 0x00, kIac, kSe,
                 kIac, kSb, kComPort, com::kSetDataSize, 8, kIac, kSe,
                 kIac, kSb, kComPort, com::kSetParity, 1, kIac, kSe,
                 kIac, kSb, kComPort, com::kSetStopSize, 1, kIac, kSe,
                 kIac, kSb, kComPort, com::kSetControl, 1, kIac, kSe};
  EXPECT_EQ(reply, settings);
  // Asked again, nothing is sent twice.
  decodeAll(c, {kIac, kDo, kComPort, kIac, kWill, kBinary}, &reply);
  EXPECT_TRUE(reply.empty());

  // Line state notices and data between the answers change nothing.
  Bytes answers = answer(com::kSetBaudRate, {0x00, 0x00, 0x96, 0x00});
  for (auto part : {answer(6, {0x60}), Bytes{0x41}, answer(com::kSetDataSize, {8}), answer(com::kSetParity, {1}),
                    answer(com::kSetStopSize, {1})})
    answers.insert(answers.end(), part.begin(), part.end());
  EXPECT_EQ(decodeAll(c, answers), (Bytes{0x41}));
  EXPECT_EQ(c.settings(), ClientCodec::Settings::Pending);
  EXPECT_EQ((decodeAll(c, answer(com::kSetControl, {1})), c.settings()), ClientCodec::Settings::Accepted);

  EXPECT_EQ(ClientCodec::purgeRequest(), (Bytes{kIac, kSb, kComPort, com::kPurgeData, 3, kIac, kSe}));

  // The option or a setting refused is reported.
  ClientCodec noOption;
  (void)noOption.start();
  decodeAll(noOption, {kIac, kDont, kComPort});
  EXPECT_EQ(noOption.settings(), ClientCodec::Settings::Refused);
  EXPECT_NE(noOption.refusal().find("RFC 2217"), std::string::npos) << noOption.refusal();

  for (auto [code, value, text] :
       {std::tuple{com::kSetBaudRate, Bytes{0x00, 0x00, 0x25, 0x80}, "38400 baud (it answered 9600)"},
        {com::kSetParity, Bytes{3}, "no parity (it answered 3)"}}) {
    ClientCodec d = agreed();
    decodeAll(d, answer(code, value));
    EXPECT_EQ(d.settings(), ClientCodec::Settings::Refused);
    EXPECT_EQ(d.refusal(), std::string("the remote serial port refused ") + text);
  }
}

TEST(Rfc2217Codec, InputOfAnyShapeNeitherOverrunsNorInventsData) {
  std::mt19937 random(2217);
  for (int round = 0; round < 200; ++round) {
    ClientCodec c;
    (void)c.start();
    Bytes in(1 + random() % 600);
    // Mostly commands and subnegotiations, some of them endless.
    for (auto& b : in) {
      const unsigned high = random() % 5 == 0 ? 0x20u : 0xF0u;
      b = static_cast<std::uint8_t>(random() % 3 == 0 ? 0xFFu : high + random() % 16);
    }
    Bytes data, reply;
    for (std::size_t at = 0, n = 0; at < in.size(); at += n) {
      n = std::min<std::size_t>(in.size() - at, 1 + random() % 40);
      c.decode(std::span(in).subspan(at, n), data, reply);
    }
    ASSERT_LE(data.size(), in.size());
    ASSERT_LE(reply.size(), in.size() + 64);
  }
}

}  // namespace
}  // namespace vrx4::telnet
