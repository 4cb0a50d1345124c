#include "core/link/rfc2217.h"

namespace vrx4::telnet {
namespace {

constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kNul = 0x00;

// Options this client performs, and those it wants the server to perform.
// Binary transmission keeps CR and NUL bytes as they are; suppressing
// go-ahead is what every character-mode server offers. Anything else, the
// server's echo in particular (the regulator's replies must not be mixed
// with our own bytes), is refused.
bool wantLocal(std::uint8_t option) { return option == kBinary || option == kComPort; }
bool wantRemote(std::uint8_t option) { return option == kBinary || option == kSuppressGoAhead; }

void command(std::vector<std::uint8_t>& out, std::uint8_t verb, std::uint8_t option) {
  out.insert(out.end(), {kIac, verb, option});
}

// One COM-PORT-OPTION subnegotiation, its value bytes escaped.
void subnegotiation(std::vector<std::uint8_t>& out, std::uint8_t code, std::span<const std::uint8_t> value) {
  out.insert(out.end(), {kIac, kSb, kComPort, code});
  for (std::uint8_t b : value) {
    out.push_back(b);
    if (b == kIac) out.push_back(kIac);
  }
  out.insert(out.end(), {kIac, kSe});
}

struct Setting {
  std::uint8_t code;
  std::uint32_t value;
  std::size_t width;  // bytes of the value
  const char* what;   // as the user reads it
};

constexpr Setting kSettings[] = {
    {com::kSetBaudRate, kBaudRate, 4, "38400 baud"},
    {com::kSetDataSize, 8, 1, "8 data bits"},
    {com::kSetParity, com::kParityNone, 1, "no parity"},
    {com::kSetStopSize, com::kOneStopBit, 1, "1 stop bit"},
    {com::kSetControl, com::kNoFlowControl, 1, "no flow control"},
};
constexpr std::uint8_t kAllAnswered = (1u << std::size(kSettings)) - 1;

}  // namespace

std::vector<std::uint8_t> settingsRequest() {
  std::vector<std::uint8_t> out;
  for (const Setting& s : kSettings) {
    std::vector<std::uint8_t> value;
    for (std::size_t i = s.width; i-- > 0;) value.push_back(static_cast<std::uint8_t>(s.value >> (8 * i)));
    subnegotiation(out, s.code, value);
  }
  return out;
}

std::vector<std::uint8_t> ClientCodec::start() {
  std::vector<std::uint8_t> out;
  command(out, kWill, kBinary);
  command(out, kDo, kBinary);
  command(out, kWill, kComPort);
  m_localAsked.set(kBinary);
  m_localAsked.set(kComPort);
  m_remoteAsked.set(kBinary);
  return out;
}

std::vector<std::uint8_t> ClientCodec::purgeRequest() {
  std::vector<std::uint8_t> out;
  const std::uint8_t both = com::kPurgeBoth;
  subnegotiation(out, com::kPurgeData, std::span(&both, 1));
  return out;
}

void ClientCodec::encode(std::uint8_t byte, std::vector<std::uint8_t>& out) const {
  out.push_back(byte);
  if (byte == kIac) out.push_back(kIac);
  else if (byte == kCr && !m_local.test(kBinary)) out.push_back(kNul);
}

void ClientCodec::decode(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& data,
                         std::vector<std::uint8_t>& reply) {
  for (std::uint8_t b : in) {
    switch (m_state) {
      case State::Data:
        if (b == kIac) {
          m_state = State::Iac;
          m_afterCr = false;
        } else if (b == kNul && m_afterCr && !m_remote.test(kBinary)) {
          m_afterCr = false;  // CR NUL is a bare CR
        } else {
          data.push_back(b);
          m_afterCr = b == kCr;
        }
        break;
      case State::Iac:
        if (b == kIac) {
          data.push_back(kIac);
          m_state = State::Data;
        } else if (b == kWill || b == kWont || b == kDo || b == kDont) {
          m_verb = b;
          m_state = State::Verb;
        } else if (b == kSb) {
          m_sub.clear();
          m_subOverflow = false;
          m_state = State::Sub;
        } else {
          m_state = State::Data;  // NOP, go-ahead, data mark...: nothing to do
        }
        break;
      case State::Verb:
        onVerb(m_verb, b, reply);
        m_state = State::Data;
        break;
      case State::Sub:
        if (b == kIac) m_state = State::SubIac;
        else if (m_sub.size() < kMaxSubnegotiation) m_sub.push_back(b);
        else m_subOverflow = true;
        break;
      case State::SubIac:
        if (b == kIac) {
          if (m_sub.size() < kMaxSubnegotiation) m_sub.push_back(kIac);
          else m_subOverflow = true;
          m_state = State::Sub;
          break;
        }
        if (!m_subOverflow) onSubnegotiation();
        m_sub.clear();
        // IAC SE ends it; a server that forgot the SE sent another command.
        m_state = b == kSe ? State::Data : State::Iac;
        if (b != kSe) decode(std::span(&b, 1), data, reply);
        break;
    }
  }
}

void ClientCodec::onVerb(std::uint8_t verb, std::uint8_t option, std::vector<std::uint8_t>& reply) {
  switch (verb) {
    case kDo:
      if (!wantLocal(option)) {
        command(reply, kWont, option);
        return;
      }
      if (!m_local.test(option)) {
        m_local.set(option);
        if (!m_localAsked.test(option)) command(reply, kWill, option);
      }
      m_localAsked.reset(option);
      if (option == kComPort && !m_settingsSent) sendSettings(reply);
      return;
    case kDont:
      if (m_local.test(option)) command(reply, kWont, option);
      m_local.reset(option);
      m_localAsked.reset(option);
      if (option == kComPort) refuse("the server does not offer the serial port settings (RFC 2217 COM-PORT-OPTION)");
      return;
    case kWill:
      if (!wantRemote(option)) {
        command(reply, kDont, option);
        return;
      }
      if (!m_remote.test(option)) {
        m_remote.set(option);
        if (!m_remoteAsked.test(option)) command(reply, kDo, option);
      }
      m_remoteAsked.reset(option);
      return;
    case kWont:
      if (m_remote.test(option)) command(reply, kDont, option);
      m_remote.reset(option);
      m_remoteAsked.reset(option);
      return;
    default:
      return;
  }
}

void ClientCodec::sendSettings(std::vector<std::uint8_t>& reply) {
  const auto request = settingsRequest();
  reply.insert(reply.end(), request.begin(), request.end());
  m_settingsSent = true;
}

void ClientCodec::onSubnegotiation() {
  if (m_sub.size() < 2 || m_sub[0] != kComPort || m_settings != Settings::Pending) return;
  const std::uint8_t code = m_sub[1];
  for (std::size_t i = 0; i < std::size(kSettings); ++i) {
    const Setting& s = kSettings[i];
    if (code != s.code + com::kServerOffset) continue;
    if (m_sub.size() < 2 + s.width) return refuse(std::string("the server's answer to ") + s.what + " is cut short");
    std::uint32_t value = 0;
    for (std::size_t k = 0; k < s.width; ++k) value = (value << 8) | m_sub[2 + k];
    if (value != s.value)
      return refuse(std::string("the remote serial port refused ") + s.what + " (it answered " +
                    std::to_string(value) + ")");
    m_answered = static_cast<std::uint8_t>(m_answered | (1u << i));
    if (m_answered == kAllAnswered) m_settings = Settings::Accepted;
    return;
  }
}

void ClientCodec::refuse(std::string why) {
  if (m_settings != Settings::Pending) return;
  m_settings = Settings::Refused;
  m_refusal = std::move(why);
}

}  // namespace vrx4::telnet
