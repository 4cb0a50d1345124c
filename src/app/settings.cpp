#include "app/settings.h"

namespace vrx4 {

bool Settings::load(const ProfileFile& f) {
  m_strPort = f.getString("Communication", "port", "");
  const bool portMissing = m_strPort.empty();
  if (portMissing) m_strPort = "COM1";
  m_nWindowCX = static_cast<std::int32_t>(f.getInt("Windows_size", "CX", 0));
  m_nWindowCY = static_cast<std::int32_t>(f.getInt("Windows_size", "CY", 0));
  m_bAgreementAccepted = f.getInt("Agreement", "State", 0) != 0;
  // Byte-wide fields keep the low 8 bits of whatever is stored.
  m_nPressureUnit = static_cast<std::uint8_t>(f.getInt("Units", "Pressure", 0) & 0xFF);
  m_nLanguage = static_cast<std::uint8_t>(f.getInt("Units", "Language", 0) & 0xFF);
  m_nGraphMaxPoints = static_cast<std::int32_t>(f.getInt("Graph", "Nb_aff_max", 65535));
  m_nPressureScale = static_cast<std::uint8_t>(f.getInt("Units", "EchelleP", 0) & 0xFF);
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
