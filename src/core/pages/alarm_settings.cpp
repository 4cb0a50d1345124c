#include "core/pages/alarm_settings.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

#include "core/base/number_format.h"
#include "core/base/decimal_text.h"
#include "core/link/param_dictionary.h"
#include "core/pages/page_ids.h"

namespace vrx4 {
namespace {

constexpr std::uint8_t kBlockStart = 9;   // AL_LOGIC
constexpr std::uint8_t kBlockSize = 19;   // OPTION 9..27
constexpr std::size_t kFactoryShift = 48; // the factory copy of OPTION 0..27
constexpr std::size_t kAuxinFirst = 10;   // the AUXin pairs, OPTION 10..17
constexpr std::size_t kAuxinSize = 8;
constexpr double kSecondsPerStep = 0.02;

std::size_t offsetOf(std::string_view name) {
  const auto f = findField(Area::Option, name);
  return f ? f->offset : 0;
}

// One of the five numeric settings: its word, how a page value becomes
// that word, and its edit.
struct Setting {
  std::string_view field;    // dictionary name
  const char* caption;       // as the page shows it
  int controlId;
  bool pressure;             // thousandths of a bar (else 20 ms steps)
  std::optional<std::string> AlarmEdits::*edit;
};

// In the order Save reads the edits.
constexpr std::array<Setting, 5> kSettings{{
    {"AL_LIM_P", "Error +", alarm_id::kErrorPlus, true, &AlarmEdits::errorPlus},
    {"AL_LIM_N", "Error -", alarm_id::kErrorMinus, true, &AlarmEdits::errorMinus},
    {"AL_DEL_ON", "Delay ON", alarm_id::kDelayOn, false, &AlarmEdits::delayOn},
    {"AL_DEL_OFF", "Delay OFF", alarm_id::kDelayOff, false, &AlarmEdits::delayOff},
    {"AL_T_MIN", "Ton min", alarm_id::kTonMin, false, &AlarmEdits::tonMin},
}};

double decodeSetting(const Image& image, std::string_view field, bool pressure, float factor) {
  const double raw = readSigned16(image, offsetOf(field));
  return pressure ? raw * static_cast<double>(factor) * 0.001 : raw * kSecondsPerStep;
}

double encodeSetting(double value, bool pressure, float factor) {
  return pressure ? value * 1000.0 / static_cast<double>(factor) : value * 50.0;
}

// A limit for a message: at most `decimals` decimals, trailing zeros cut.
std::string limitText(double value, int decimals) {
  std::string t = formatFixed(value, decimals);
  if (t.find('.') != std::string::npos) {
    while (t.back() == '0') t.pop_back();
    if (t.back() == '.') t.pop_back();
  }
  return t;
}

SaveOutcome refuseSetting(const Setting& s, const PageUnits& u) {
  // The page values whose words are the smallest and largest the device
  // stores, in the page's own style ("Kp High : Min=0 - Max=255").
  const double lo = std::numeric_limits<std::int16_t>::min();
  const double hi = std::numeric_limits<std::int16_t>::max();
  std::string unit = " s";
  double scale = kSecondsPerStep;
  int decimals = 2;
  if (s.pressure) {
    unit = " " + pressureUnitName(u.unit);
    scale = static_cast<double>(u.factor) * 0.001;
    decimals = u.unit == unit::kMpa ? 4 : 3;
  }
  return refuse(s.controlId, s.caption,
                std::string(s.caption) + " : Min=" + limitText(lo * scale, decimals) + unit +
                    " - Max=" + limitText(hi * scale, decimals) + unit);
}

}  // namespace

int alarmLogic(std::uint8_t byte) { return byte >= 0x80 ? alarm_logic::kMinus : alarm_logic::kPlus; }
const char* alarmLogicText(int logic) { return logic == alarm_logic::kMinus ? "-" : "+"; }
std::uint8_t alarmLogicByte(int logic) { return logic == alarm_logic::kMinus ? 0x80 : 0x00; }

AlarmValues decodeAlarm(const Image& image, float factor) {
  AlarmValues v;
  v.logic = alarmLogic(image[offsetOf("AL_LOGIC")]);
  v.limitPlus = decodeSetting(image, "AL_LIM_P", true, factor);
  v.limitMinus = decodeSetting(image, "AL_LIM_N", true, factor);
  v.delayOn = decodeSetting(image, "AL_DEL_ON", false, factor);
  v.tonMin = decodeSetting(image, "AL_T_MIN", false, factor);
  v.delayOff = decodeSetting(image, "AL_DEL_OFF", false, factor);
  return v;
}

AlarmView showAlarm(const Images& device, const PageUnits& u) {
  AlarmView view;
  view.values = decodeAlarm(device.g_optionDevice, u.factor);
  const int td = alarmTimeDecimals(u);
  const int ld = alarmLimitDecimals(u);
  const AlarmValues& v = view.values;
  view.texts = {formatFixed(v.limitPlus, ld), formatFixed(v.limitMinus, ld), formatFixed(v.delayOn, td),
                formatFixed(v.tonMin, td), formatFixed(v.delayOff, td)};
  return view;
}

SaveOutcome saveAlarm(const Images& device, const AlarmEdits& edits, const PageUnits& u) {
  const Image& image = device.g_optionDevice;
  std::array<std::uint8_t, kBlockSize> work{};
  std::copy_n(image.begin() + kBlockStart, kBlockSize, work.begin());
  if (edits.logic) work[0] = alarmLogicByte(*edits.logic);
  for (const Setting& s : kSettings) {
    const std::optional<std::string>& text = edits.*s.edit;
    if (!text) continue;  // the device's word stays
    const auto value = readNumber(*text);
    if (!value) return refuseNotANumber(s.controlId, s.caption);
    const auto word = encodeWord(encodeSetting(*value, s.pressure, u.factor));
    if (!word) return refuseSetting(s, u);
    putWord(work, offsetOf(s.field) - kBlockStart, *word);
  }
  return makeOutcome(op::kWriteOptionBytes, kBlockStart, kBlockSize, work);
}

AlarmEdits changedAlarmFields(const AlarmEdits& typed, const AlarmView& shown) {
  AlarmEdits changed;
  if (typed.logic && *typed.logic != shown.values.logic) changed.logic = typed.logic;
  const std::pair<std::optional<std::string> AlarmEdits::*, const std::string AlarmTexts::*> fields[] = {
      {&AlarmEdits::errorPlus, &AlarmTexts::errorPlus}, {&AlarmEdits::errorMinus, &AlarmTexts::errorMinus},
      {&AlarmEdits::delayOn, &AlarmTexts::delayOn},     {&AlarmEdits::tonMin, &AlarmTexts::tonMin},
      {&AlarmEdits::delayOff, &AlarmTexts::delayOff}};
  for (const auto& [edit, text] : fields) {
    const std::optional<std::string>& t = typed.*edit;
    if (t && *t != shown.texts.*text) changed.*edit = t;
  }
  return changed;
}

SaveOutcome restoreAlarm(const Images& device) {
  const Image& image = device.g_optionDevice;
  std::array<std::uint8_t, kBlockSize> work{};
  std::copy_n(image.begin() + kBlockStart + kFactoryShift, kBlockSize, work.begin());
  std::copy_n(image.begin() + kAuxinFirst, kAuxinSize, work.begin() + (kAuxinFirst - kBlockStart));
  return makeOutcome(op::kWriteOptionBytes, kBlockStart, kBlockSize, work);
}

}  // namespace vrx4
