#include "core/base/settings.h"

namespace vrx4 {

namespace {

// An integer key whose value must lie in [low, high]; anything else (a
// typing error, a value from a newer version) reads as the default.
long inRange(const ProfileFile& f, const char* section, const char* key, long fallback, long low, long high) {
  const long v = f.getInt(section, key, fallback);
  return v >= low && v <= high ? v : fallback;
}

}  // namespace

bool Settings::load(const ProfileFile& f) {
  m_strPort = f.getString("Communication", "port", "");
  const bool portMissing = m_strPort.empty();
  if (portMissing) m_strPort = "COM1";
  m_nWindowCX = static_cast<std::int32_t>(f.getInt("Windows_size", "CX", 0));
  m_nWindowCY = static_cast<std::int32_t>(f.getInt("Windows_size", "CY", 0));
  // The view never records more than its cap; a size outside 1..cap was
  // not written by the program and would give a useless window.
  if (m_nWindowCX < 1 || m_nWindowCX > kMaxSavedWidth || m_nWindowCY < 1 || m_nWindowCY > kMaxSavedHeight)
    m_nWindowCX = m_nWindowCY = 0;
  m_bAgreementAccepted = f.getInt("Agreement", "State", 0) != 0;
  m_nPressureUnit = static_cast<std::uint8_t>(inRange(f, "Units", "Pressure", 0, 0, 3));
  m_nLanguage = static_cast<std::uint8_t>(inRange(f, "Units", "Language", 0, 0, 3));
  m_nGraphMaxPoints = static_cast<std::int32_t>(inRange(f, "Graph", "Nb_aff_max", 65535, 1, 0x7FFFFFFF));
  m_nPressureScale = static_cast<std::uint8_t>(inRange(f, "Units", "EchelleP", 0, 0, 1));
  m_bAutoScale = f.getInt("Units", "FlagEchelleAuto", 0) != 0;
  return portMissing;
}

bool Settings::save(ProfileFile& f) const {
  bool ok = f.writeString("Communication", "port", m_strPort);
  ok = f.writeInt("Windows_size", "CX", m_nWindowCX) && ok;
  ok = f.writeInt("Windows_size", "CY", m_nWindowCY) && ok;
  ok = f.writeInt("Agreement", "State", m_bAgreementAccepted ? 1 : 0) && ok;
  return ok;
}

bool Settings::restoresWindowSize() const {
  return m_nWindowCX != 0 && m_nWindowCY != 0 && (m_nWindowCX <= 980 || m_nWindowCY <= 640);
}

}  // namespace vrx4
