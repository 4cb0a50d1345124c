// The program's settings as "VRX4.ini" keeps them: what is read at start,
// what is written back and when.
#pragma once

#include <cstdint>
#include <string>

#include "app/profile_file.h"

namespace vrx4 {

inline constexpr const char* kMsgPortFallback = "Error .ini, Port COM1 is only used";

struct Settings {
  std::string m_strPort;
  std::int32_t m_nWindowCX = 0;
  std::int32_t m_nWindowCY = 0;
  bool m_bAgreementAccepted = false;
  std::uint8_t m_nPressureUnit = 0;
  std::uint8_t m_nLanguage = 0;
  std::int32_t m_nGraphMaxPoints = 65535;
  std::uint8_t m_nPressureScale = 0;
  bool m_bAutoScale = false;

  // Reads every key in order. Returns true when the port was empty or
  // missing: the caller shows kMsgPortFallback; "COM1" is then used.
  bool load(const ProfileFile& file);
  // Writes port, window size and agreement state, in that order.
  bool save(ProfileFile& file) const;

  // True when the window opens at (0, 0) with the stored size rather than
  // maximised.
  bool restoresWindowSize() const;
};

}  // namespace vrx4
