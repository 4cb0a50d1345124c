#include "core/sim/factory_images.h"

#include <algorithm>

#include "core/link/param_dictionary.h"

namespace vrx4::sim {
namespace {

void set(Image& im, Area area, const char* name, std::int32_t value) {
  writeField(im, *findField(area, name), value);
}

}  // namespace

FactoryImages factoryImages(std::array<std::uint8_t, 3> serial) {
  FactoryImages f;
  Image& b = f.base;
  Image& o = f.option;

  // BASE: command scaling, identity, PID gains, regulation constants.
  set(b, Area::Base, "CONSIGNE", 0x00);    // bit 0 clear: voltage command
  set(b, Area::Base, "V_TO_B_A", 1024);    // 1 bar per volt
  set(b, Area::Base, "V_TO_B_B", 0);
  set(b, Area::Base, "A_TO_B_A", 640);     // 0.625 bar per mA
  set(b, Area::Base, "A_TO_B_B", -2500);   // 4 mA -> 0 bar
  b[0x09] = 0x00; b[0x0A] = 0x64; b[0x0B] = 0x00; b[0x0C] = 0x32;
  b[0x0D] = 0x0A; b[0x0E] = 0x05; b[0x0F] = 0x01;
  std::copy_n(b.begin(), 0x10, b.begin() + 0x10);  // the factory copy
  set(b, Area::Base, "SOFT", 0x565234);
  set(b, Area::Base, "REV_SOFT", 0x12);
  set(b, Area::Base, "TYPE_MECA", 0x02);
  b[0x25] = serial[0]; b[0x26] = serial[1]; b[0x27] = serial[2];
  set(b, Area::Base, "CONFIG_ORIG", 0x01);
  set(b, Area::Base, "REGULATEUR", 0x0103);
  set(b, Area::Base, "KPHG", 120);
  set(b, Area::Base, "KPLOW", 60);
  set(b, Area::Base, "KI", 20);
  set(b, Area::Base, "KD", 5);
  set(b, Area::Base, "SALVE_APPELS", 3);
  std::uint16_t word = 0x0100;
  for (std::size_t at = 0x30; at < 0x5C; at += 2, word = static_cast<std::uint16_t>(word + 0x0111)) {
    b[at] = static_cast<std::uint8_t>(word >> 8);
    b[at + 1] = static_cast<std::uint8_t>(word & 0xFF);
  }
  set(b, Area::Base, "PERIODE_PWM", 0xC8);
  set(b, Area::Base, "PRESCALE_PWM", 0x04);
  for (std::size_t at = 0x60; at < 0x74; ++at) b[at] = static_cast<std::uint8_t>(0x30 + at - 0x60);
  b[0x6F] = 10;  // pressure range byte: a 10-bar device

  // OPTION: output scaling, AUXin scaling, alarm, software identity.
  set(o, Area::Option, "FLAG", 0x00);
  set(o, Area::Option, "B_TO_V_A", 1024);   // 1 V per bar
  set(o, Area::Option, "B_TO_V_B", 0);
  set(o, Area::Option, "B_TO_A_A", 1638);   // 1.6 mA per bar
  set(o, Area::Option, "B_TO_A_B", 4000);   // from 4 mA
  set(o, Area::Option, "AL_LOGIC", 0x00);
  set(o, Area::Option, "V_TO_B_A", 1024);
  set(o, Area::Option, "V_TO_B_B", 0);
  set(o, Area::Option, "A_TO_B_A", 640);
  set(o, Area::Option, "A_TO_B_B", -2500);
  set(o, Area::Option, "AL_LIM_P", 500);    // 0.5 bar
  set(o, Area::Option, "AL_LIM_N", 500);
  set(o, Area::Option, "AL_DEL_ON", 50);    // 1 s
  set(o, Area::Option, "AL_DEL_OFF", 25);   // 0.5 s
  set(o, Area::Option, "AL_T_MIN", 10);     // 0.2 s
  for (std::size_t at = 0x1C; at < 0x30; ++at) o[at] = static_cast<std::uint8_t>(at);
  std::copy_n(o.begin(), 0x30, o.begin() + 0x30);  // the device's backup copy
  set(o, Area::Option, "NUMERO_SOFT", 0x4F5034);
  set(o, Area::Option, "REVISION_SOFT", 0x07);
  set(o, Area::Option, "AUXin_U_A", 0x0400);
  set(o, Area::Option, "AUXin_U_B", 0x02);
  set(o, Area::Option, "AUXin_I_A", 0x0200);
  set(o, Area::Option, "AUXin_I_B", 0x01);
  set(o, Area::Option, "UOUT_A", 0x03FE);
  set(o, Area::Option, "UOUT_B", 0x03);
  set(o, Area::Option, "IOUT_A", 0x01FF);
  set(o, Area::Option, "IOUT_B", 0x04);
  set(o, Area::Option, "ALIM_A", 0x0190);
  set(o, Area::Option, "ALIM_B", 0x05);
  for (std::size_t at = 0x73; at < 0xA0; ++at) o[at] = static_cast<std::uint8_t>(0xA0 + (at - 0x73));
  return f;
}

}  // namespace vrx4::sim
