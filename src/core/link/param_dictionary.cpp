#include "core/link/param_dictionary.h"

#include <array>

namespace vrx4 {
namespace {

// Slopes and offsets of the scaling pairs and the alarm words are signed;
// every other field is an unsigned raw value.
constexpr std::array<ParamField, 41> kBase{{
    {"CONSIGNE", 0x00, 1, false},
    {"V_TO_B_A", 0x01, 2, true},
    {"V_TO_B_B", 0x03, 2, true},
    {"A_TO_B_A", 0x05, 2, true},
    {"A_TO_B_B", 0x07, 2, true},
    {"SOFT", 0x20, 3, false},
    {"REV_SOFT", 0x23, 1, false},
    {"TYPE_MECA", 0x24, 1, false},
    {"SN", 0x25, 3, false},
    {"CONFIG_ORIG", 0x28, 1, false},
    {"REGULATEUR", 0x29, 2, false},
    {"KPHG", 0x2B, 1, false},
    {"KPLOW", 0x2C, 1, false},
    {"KI", 0x2D, 1, false},
    {"KD", 0x2E, 1, false},
    {"SALVE_APPELS", 0x2F, 1, false},
    {"FORCE_0_ENTREE", 0x30, 2, false},
    {"FORCE_0_SORTIE", 0x32, 2, false},
    {"T1SORTIE0", 0x34, 2, false},
    {"T1STEP2", 0x36, 2, false},
    {"T1SORTIE0STEP3", 0x38, 2, false},
    {"T1STEP4", 0x3A, 2, false},
    {"T1STEP5_1", 0x3C, 2, false},
    {"T1STEP5_2", 0x3E, 2, false},
    {"T1MINOFFSET", 0x40, 2, false},
    {"T1MIN_MIN", 0x42, 2, false},
    {"T1MIN_MAX", 0x44, 2, false},
    {"CTRL_A_I", 0x46, 2, false},
    {"CTRL_A_U", 0x48, 2, false},
    {"CTRL_B_I", 0x4A, 2, false},
    {"CTRL_B_U", 0x4C, 2, false},
    {"P2_A", 0x4E, 2, false},
    {"P2_B", 0x50, 2, false},
    {"PENTE_BANANE", 0x52, 2, false},
    {"PWM_BOB_MAINT", 0x54, 2, false},
    {"PERIODE_PWM", 0x56, 1, false},
    {"PRESCALE_PWM", 0x57, 1, false},
    {"PRESSION800PM", 0x58, 2, false},
    {"PRESSION500PM", 0x5A, 2, false},
    {"RESERVE_1", 0x5C, 2, false},
    {"RESERVE_2", 0x5E, 2, false},
}};

constexpr std::array<ParamField, 27> kOption{{
    {"FLAG", 0x00, 1, false},
    {"B_TO_V_A", 0x01, 2, true},
    {"B_TO_V_B", 0x03, 2, true},
    {"B_TO_A_A", 0x05, 2, true},
    {"B_TO_A_B", 0x07, 2, true},
    {"AL_LOGIC", 0x09, 1, false},
    {"V_TO_B_A", 0x0A, 2, true},
    {"V_TO_B_B", 0x0C, 2, true},
    {"A_TO_B_A", 0x0E, 2, true},
    {"A_TO_B_B", 0x10, 2, true},
    {"AL_LIM_P", 0x12, 2, true},
    {"AL_LIM_N", 0x14, 2, true},
    {"AL_DEL_ON", 0x16, 2, true},
    {"AL_DEL_OFF", 0x18, 2, true},
    {"AL_T_MIN", 0x1A, 2, true},
    {"NUMERO_SOFT", 0x60, 3, false},
    {"REVISION_SOFT", 0x63, 1, false},
    {"AUXin_U_A", 0x64, 2, false},
    {"AUXin_U_B", 0x66, 1, false},
    {"AUXin_I_A", 0x67, 2, false},
    {"AUXin_I_B", 0x69, 1, false},
    {"UOUT_A", 0x6A, 2, false},
    {"UOUT_B", 0x6C, 1, false},
    {"IOUT_A", 0x6D, 2, false},
    {"IOUT_B", 0x6F, 1, false},
    {"ALIM_A", 0x70, 2, false},
    {"ALIM_B", 0x72, 1, false},
}};

}  // namespace

std::span<const ParamField> baseFields() { return kBase; }
std::span<const ParamField> optionFields() { return kOption; }
std::span<const ParamField> fields(Area area) {
  return area == Area::Base ? baseFields() : optionFields();
}

std::optional<ParamField> findField(Area area, std::string_view name) {
  for (const ParamField& f : fields(area)) {
    if (f.name == name) return f;
  }
  return std::nullopt;
}

std::int32_t readField(const Image& image, const ParamField& field) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < field.width; ++i) v = (v << 8) | image[field.offset + i];
  if (field.isSigned) {
    const unsigned bits = 8u * field.width;
    const std::uint32_t sign = 1u << (bits - 1);
    if (v & sign) return static_cast<std::int32_t>(v) - static_cast<std::int32_t>(1u << bits);
  }
  return static_cast<std::int32_t>(v);
}

void writeField(Image& image, const ParamField& field, std::int32_t value) {
  auto v = static_cast<std::uint32_t>(value);
  for (std::size_t i = field.width; i-- > 0;) {
    image[field.offset + i] = static_cast<std::uint8_t>(v & 0xFF);
    v >>= 8;
  }
}

std::int16_t readSigned16(const Image& image, std::size_t offset) {
  const auto hi = image[offset % kImageSize];
  const auto lo = image[(offset + 1) % kImageSize];
  return static_cast<std::int16_t>(static_cast<std::uint16_t>((hi << 8) | lo));
}

}  // namespace vrx4
