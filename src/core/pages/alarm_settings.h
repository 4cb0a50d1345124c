// The alarm page's six OPTION parameters: the output logic AL_LOGIC, the
// pressure-error limits AL_LIM_P and AL_LIM_N (thousandths of a bar) and
// the times AL_DEL_ON, AL_T_MIN and AL_DEL_OFF (steps of 20 ms). Save and
// Restore write the 19 bytes OPTION 9..27 one at a time (op 12); the AUXin
// pairs at OPTION 10..17 lie inside that block and are carried unchanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/link/device_state.h"
#include "core/pages/page_formats.h"
#include "core/pages/page_request.h"

namespace vrx4 {

namespace alarm_logic {
constexpr int kPlus = 0;   // "+"
constexpr int kMinus = 1;  // "-"
}  // namespace alarm_logic

// The logic an AL_LOGIC byte means: "-" from 0x80 up, "+" below.
int alarmLogic(std::uint8_t byte);
// "+" or "-".
const char* alarmLogicText(int logic);
// The byte Save writes: 0x80 for "-", 0x00 for "+" (the whole byte).
std::uint8_t alarmLogicByte(int logic);

// The values in page units: limits in the display pressure unit, times in
// seconds.
struct AlarmValues {
  int logic = alarm_logic::kPlus;
  double limitPlus = 0.0;   // "1-" "Error +"
  double limitMinus = 0.0;  // "2-" "Error -"
  double delayOn = 0.0;     // "3-" "Delay ON"
  double tonMin = 0.0;      // "4-" "Ton min"
  double delayOff = 0.0;    // "5-" "Delay OFF"
};
AlarmValues decodeAlarm(const Image& optionDevice, float factor);

// The texts of the five edits.
struct AlarmTexts {
  std::string errorPlus;
  std::string errorMinus;
  std::string delayOn;
  std::string tonMin;
  std::string delayOff;
};

// Everything the page shows from the device image (Refresh): the logic
// for the radio pair, the values and their texts.
struct AlarmView {
  AlarmValues values;
  AlarmTexts texts;
};
AlarmView showAlarm(const Images& device, const PageUnits& u);

// What the user has on the page. A field left empty (nullopt) keeps the
// device's word or byte exactly as it is; the page passes the fields the
// user changed (changedAlarmFields), the command line those given.
struct AlarmEdits {
  std::optional<int> logic;
  std::optional<std::string> errorPlus;
  std::optional<std::string> errorMinus;
  std::optional<std::string> delayOn;
  std::optional<std::string> tonMin;
  std::optional<std::string> delayOff;
};

// What a page Save passes on: the fields whose text the user changed from
// the one the page shows, and the logic if it is not the one shown. Every
// other field keeps the device's word (or AL_LOGIC byte) exactly: a limit
// of 0.300 bar shown as "4" PSI stays 0.300 bar.
AlarmEdits changedAlarmFields(const AlarmEdits& typed, const AlarmView& shown);

// Save: the logic byte, OPTION 10..17 from the device image, then the
// values given, encoded with R(). Refused, naming the field, when its text
// is not a number in the grammar of decimal_text.h, or, with its limits,
// when its word does not fit a signed 16-bit word; the fields are checked
// in the order the page reads them: Error +, Error -, Delay ON, Delay OFF,
// Ton min.
SaveOutcome saveAlarm(const Images& device, const AlarmEdits& edits, const PageUnits& u);

// Restore: the factory copy OPTION 57..75, with OPTION 10..17 taken from
// the device image again so that the AUXin scaling is left as it is.
SaveOutcome restoreAlarm(const Images& device);

}  // namespace vrx4
