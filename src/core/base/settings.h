// The program's settings as "VRX4.ini" keeps them: what is read at start,
// what is written back and when.
#pragma once

#include <cstdint>
#include <string>

#include "core/base/profile_file.h"

namespace vrx4 {

inline constexpr const char* kMsgPortFallback = "Error .ini, Port COM1 is only used";

// The largest view size the program records (and so restores).
inline constexpr std::int32_t kMaxSavedWidth = 1024;
inline constexpr std::int32_t kMaxSavedHeight = 768;

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

  // Reads every key in order. A value out of its range (unit or language
  // above 3, range above 1, a graph limit below 1) reads as the key's
  // default; a window size outside 1..1024 by 1..768 reads as none (0, 0).
  // The file itself is not changed. Returns true when the port was empty
  // or missing: the caller shows kMsgPortFallback; "COM1" is then used.
  bool load(const ProfileFile& file);
  // Writes port, window size and agreement state, in that order.
  bool save(ProfileFile& file) const;

  // True when the window opens at (0, 0) with the stored size rather than
  // maximised.
  bool restoresWindowSize() const;
};

}  // namespace vrx4
