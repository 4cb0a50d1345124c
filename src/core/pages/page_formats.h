// What the parameter pages need to know about the display: the pressure
// unit and its factor, the pressure range, the access mode, and from them
// the full scale of the pressure axis and the number of decimals each
// field shows.
#pragma once

#include <cstdint>
#include <string>

#include "core/base/access_modes.h"
#include "core/base/pressure_units.h"

namespace vrx4 {

// The display context a page is shown in.
struct PageUnits {
  std::uint8_t unit = unit::kBar;  // m_nPressureUnit: 0 bar, 1 PSI, 2 kPa, 3 MPa
  float factor = 1.0f;             // m_fPressureFactor, from bar to the unit
  std::uint8_t scale = 0;          // m_nPressureScale: 1 = the high (doubled) range
  std::uint32_t accessMode = access::kVisualisation;  // g_accessMode

  // The context for a unit, with the unit's own factor.
  static PageUnits of(std::uint8_t unit, std::uint8_t scale, std::uint32_t accessMode);
};

// Pmax, the pressure full scale of the channel pages: 10 bar, 150 PSI,
// 1000 kPa or 1 MPa, twice that in the high range. A unit above 3 counts
// as bar, as its factor does.
int pressureFullScale(std::uint8_t unit, std::uint8_t scale);

// The four pages that show a characteristic line.
enum class Channel : std::uint8_t { Control, Auxin, Uout, Iout };

// "CONTROL", "AUXin", "Uout", "Iout".
const char* channelName(Channel ch);
// CONTROL and AUXin are inputs with a U/I choice; Uout and Iout are outputs.
inline bool isInputChannel(Channel ch) { return ch == Channel::Control || ch == Channel::Auxin; }

// Decimals of the four corner fields. Setting precision ("%.2f" on all
// four) applies on the CONTROL page in access modes 2..4 and on the other
// pages in mode 4 only. Otherwise the voltage or current axis shows one
// decimal and the pressure axis the unit's decimals (bar 1, PSI 0, kPa 0,
// MPa 2).
int cornerXDecimals(Channel ch, const PageUnits& u);
int cornerYDecimals(Channel ch, const PageUnits& u);

// Decimals of the equivalent field: three in setting precision (CONTROL in
// modes 2..4, the others in mode 4); otherwise the unit's decimals on the
// input pages and one decimal on the output pages. (The output pages'
// "%2.1f" never pads: every finite one-decimal text has at least three
// characters, so it is the same text as "%.1f".)
int equivalentDecimals(Channel ch, const PageUnits& u);

// Decimals of the alarm page: all five fields "%.3f" in mode 4; otherwise
// the times one decimal and the limits the unit's decimals.
int alarmTimeDecimals(const PageUnits& u);
int alarmLimitDecimals(const PageUnits& u);

// The unit's name for messages: "bar", "PSI", "kPa", "MPa".
std::string pressureUnitName(std::uint8_t unit);

}  // namespace vrx4
