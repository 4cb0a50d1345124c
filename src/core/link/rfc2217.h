// The client side of Telnet with the COM-PORT-OPTION (RFC 854, 855, 856 and
// 2217), as a pure byte codec: it turns the bytes of the line into what goes
// on the connection and back, answers the server's option negotiation, asks
// the remote serial port for the regulator's settings (38400 baud, 8 data
// bits, no parity, 1 stop bit, no flow control) and tells whether the
// server accepted them. It does no input or output of its own.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vrx4::telnet {

constexpr std::uint8_t kIac = 255;
constexpr std::uint8_t kDont = 254;
constexpr std::uint8_t kDo = 253;
constexpr std::uint8_t kWont = 252;
constexpr std::uint8_t kWill = 251;
constexpr std::uint8_t kSb = 250;
constexpr std::uint8_t kSe = 240;

constexpr std::uint8_t kBinary = 0;
constexpr std::uint8_t kEcho = 1;
constexpr std::uint8_t kSuppressGoAhead = 3;
constexpr std::uint8_t kComPort = 44;

// COM-PORT-OPTION commands as the client sends them; the server answers
// with the same code plus 100.
namespace com {
constexpr std::uint8_t kSetBaudRate = 1;
constexpr std::uint8_t kSetDataSize = 2;
constexpr std::uint8_t kSetParity = 3;
constexpr std::uint8_t kSetStopSize = 4;
constexpr std::uint8_t kSetControl = 5;
constexpr std::uint8_t kPurgeData = 12;
constexpr std::uint8_t kServerOffset = 100;
constexpr std::uint8_t kParityNone = 1;
constexpr std::uint8_t kOneStopBit = 1;
constexpr std::uint8_t kNoFlowControl = 1;
constexpr std::uint8_t kPurgeBoth = 3;
}  // namespace com

constexpr std::uint32_t kBaudRate = 38400;

class ClientCodec {
 public:
  enum class Settings { Pending, Accepted, Refused };

  // What a new connection starts with: the options this client offers
  // (binary transmission both ways, the COM-PORT-OPTION). The serial
  // settings follow as soon as the server agrees to the COM-PORT-OPTION.
  std::vector<std::uint8_t> start();

  // Appends the byte as it goes on the connection: 0xFF doubled, and a CR
  // followed by NUL while binary transmission is not agreed.
  void encode(std::uint8_t byte, std::vector<std::uint8_t>& out) const;

  // Takes bytes received from the server, in pieces of any size: the line's
  // bytes are appended to `data`, and what the negotiation needs to send
  // back is appended to `reply`.
  void decode(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& data, std::vector<std::uint8_t>& reply);

  // The request that the remote port drop what it holds in both directions.
  static std::vector<std::uint8_t> purgeRequest();

  // Whether the server accepted all five serial settings, refused one of
  // them or the COM-PORT-OPTION itself (refusal() says what), or has not
  // answered yet.
  Settings settings() const { return m_settings; }
  const std::string& refusal() const { return m_refusal; }

  // The longest subnegotiation kept; the rest of a longer one is dropped.
  static constexpr std::size_t kMaxSubnegotiation = 64;

 private:
  enum class State : std::uint8_t { Data, Iac, Verb, Sub, SubIac };
  void onVerb(std::uint8_t verb, std::uint8_t option, std::vector<std::uint8_t>& reply);
  void onSubnegotiation();
  void sendSettings(std::vector<std::uint8_t>& reply);
  void refuse(std::string why);

  State m_state = State::Data;
  std::uint8_t m_verb = 0;
  bool m_afterCr = false;  // the last data byte was CR (a NUL after it is padding)
  std::vector<std::uint8_t> m_sub;
  bool m_subOverflow = false;

  // Options this side performs (WILL) and those the server performs (DO),
  // each enabled once agreed.
  std::bitset<256> m_local;
  std::bitset<256> m_remote;
  // Offers and requests this side made and the server has not answered.
  std::bitset<256> m_localAsked;
  std::bitset<256> m_remoteAsked;
  bool m_settingsSent = false;
  std::uint8_t m_answered = 0;  // one bit per setting the server confirmed
  Settings m_settings = Settings::Pending;
  std::string m_refusal;
};

// The five settings this client asks for, as one message each.
std::vector<std::uint8_t> settingsRequest();

}  // namespace vrx4::telnet
