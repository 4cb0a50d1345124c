#include "core/base/language_table.h"

#include "core/base/control_ids.h"
#include "core/base/pressure_units.h"

namespace vrx4 {
namespace {

using D = LabelTarget;
constexpr int V = dialog::kView;
constexpr int L = dialog::kLive;
constexpr int G = dialog::kGraph;
constexpr int T = dialog::kTools;
constexpr std::uint32_t bit(std::uint32_t mode) { return 1u << mode; }

// Most rows give only a key and its targets; the other members keep their
// defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
std::vector<LabelRow> buildTable() {
  using K = Kept;
  using R = LabelRule;
  const int M = dialog::kMode, I = dialog::kInfo, A = dialog::kAgreement;
  // The parameter pages (10480 and 10481 are the two items of AUXin's
  // "TO BE READ AS" list).
  const int C = dialog::kCtrl, AX = dialog::kAuxin, U = dialog::kUout, IO = dialog::kIout, AL = dialog::kAlarm,
            P = dialog::kPid;
  // The EEPROM map pages.
  const int CA = dialog::kCalibration, AS = dialog::kAfterSales;
  return {
      {"Wrong password", {}, {K::WrongPassword}},
      {"OK", {}, {K::Ok}},
      {"Reload eeprom", {D{T, 1067}}, {K::SerialMismatch}},
      {"VISUALISATION", {D{M, mode_id::kVisualisation}}},
      {"SETTING", {D{M, mode_id::kSetting}}},
      {"SETTING PRO", {D{M, mode_id::kSettingPro}}},
      {"PASSWORD", {}},
      {"INPUTS", {D{L, 1041}}},
      {"CTRL", {D{L, 1033}, D{G, 1231}, D{dialog::kCtrl, 1144}, D{dialog::kCtrl, 1148}}},
      {"AUXin", {D{L, 1034}, D{G, 1232}, D{dialog::kAuxin, 1189}, D{dialog::kAuxin, 1180}}},
      {"Test value", {D{L, 1047}, D{L, 1051}}},
      {"MEASUREMENTS", {D{L, 1042}}},
      {"24VDC", {}},
      {"P2 is read from", {D{L, 1012}}},
      {"Internal sensor", {D{L, 1021}}},
      {"OUTPUTS", {D{L, 1081}}},
      {"Uout", {D{L, 1048}, D{G, 1235}, D{dialog::kUout, 1156}, D{V, view_id::kUout}}},
      {"Iout", {D{L, 1049}, D{G, 1236}, D{dialog::kIout, 1169}, D{V, view_id::kIout}}},
      {"Alarm", {D{V, view_id::kAlarm}, D{L, 1052}, D{G, 1237}, D{dialog::kAlarm, 1210}, D{AL, 1205}}},
      {"MESSAGES", {D{L, 1083}, D{dialog::kCalibration, 1119}}},
      {"OTHER VALUES", {D{L, 1084}}},
      {"HOME", {D{V, view_id::kHome}}},
      {"LIVE", {D{V, view_id::kLive}}},
      {"GRAPH", {D{V, view_id::kGraph}}},
      {"CONTROL", {D{V, view_id::kControl}}},
      {"AUXin", {D{V, view_id::kAuxin}}},
      {"PID", {D{V, view_id::kPid}}},
      {"Warning PID settings", {D{P, 1291}}},
      {"Calibration", {D{V, view_id::kCalibration}}},
      {"After-Sales", {D{V, view_id::kAfterSales}}},
      {"bar", {D{V, view_id::kBar}}},
      {"PSI", {D{V, view_id::kPsi}}},
      {"Kpa", {D{V, view_id::kKpa}}},
      {"Mpa", {D{V, view_id::kMpa}}},
      {"RE-CONNEXION", {D{V, view_id::kReconnect}, D{T, 1066}}},
      {"communicate", {}, {K::Communicate}},
      {"NO communicate", {}, {K::NoCommunicate}, R::StatusText},
      {"File", {D{T, 1201}}},
      {"Edit", {}},
      {"Tool", {D{V, view_id::kTools}}},
      {"Save",
       {D{T, 1058}, D{C, 1149}, D{AX, 1191}, D{U, 1163}, D{IO, 1175}, D{AL, 1228}, D{P, 1287}, D{AS, 1113},
        D{AS, 1116}},
       {K::Save}},
      {"Delete", {}},
      {"Cancel", {D{C, 1056}, D{AX, 1192}, D{U, 1164}, D{IO, 1176}, D{AL, 1229}, D{P, 1290}}, {K::Cancel}},
      {"Import", {D{T, 1059}, D{CA, 1122}, D{CA, 1124}}},
      {"Export", {D{T, 1060}, D{CA, 1123}, D{CA, 1055}}},
      {"Basic parameters", {D{CA, 1127}}},
      {"Optional parameters", {D{CA, 1125}}},
      {"Modify",
       {D{C, 1147}, D{AX, 1183}, D{U, 1161}, D{IO, 1173}, D{AL, 1222}, D{P, 1288}, D{CA, 1128}, D{CA, 1130},
        D{AS, 1111}, D{AS, 1114}}},
      {"Restore",
       {D{C, 1055}, D{AX, 1184}, D{U, 1162}, D{IO, 1174}, D{AL, 1223}, D{CA, 1129}, D{CA, 1131}, D{AS, 1112},
        D{AS, 1115}}},
      {"Factory", {}},
      {"ACTUAL INPUTS", {D{C, 1143}, D{AX, 1190}}},
      {"equivalent of", {D{C, 1145}, D{AX, 1187}}},
      {"SELECTION U/I", {D{C, 1142}, D{AX, 1179}}},
      {"ACTUAL OUTPUTS", {D{U, 1155}, D{IO, 1167}, D{AL, 1204}}},
      {"with", {D{U, 1157}, D{IO, 1170}}},
      {"LOGIC", {D{AL, 1209}}},
      {"PRESSURE LIMITS", {D{AL, 1149}}},
      {"Error +", {D{AL, 1211}}},
      {"Error -", {D{AL, 1212}}},
      {"TIMING LIMITS", {D{AL, 1145}}},
      {"Delay ON", {D{AL, 1217}}},
      {"Ton min", {D{AL, 1218}}},
      {"Delay OFF", {D{AL, 1219}}},
      {"STATE", {}},
      {"TO BE READ AS", {D{AX, 1263}}},
      {"Monitoring value", {D{AX, 10480}}},
      {"P2 pressure", {D{AX, 10481}}},
      {"Capture", {D{G, 1239}}},
      {"Timebase", {D{G, 1264}}},
      {"I agree", {D{A, agreement_id::kAgree}}},
      {"I refuse", {D{A, common_id::kAppExit}}},
      {"Select your mode...", {D{M, mode_id::kHeading}}},
      {"EXIT", {D{M, common_id::kAppExit}}},
      {"Enter your password:", {D{M, mode_id::kPasswordLabel}}, {K::PasswordCaption}},
      {"Warning before password", {}, {K::PasswordPrompt}},
      {"New", {D{T, 1202}}},
      {"Open", {D{T, 1055}}, {K::OpenButton}},
      {"Close", {D{T, 1056}}, {K::Close}},
      {"Save as...", {D{T, 1057}}},
      {"Print setup", {}},
      {"Print", {}},
      {"Restore VRX's configuration", {D{T, 1063}}},
      {"VRX's information", {D{T, 1064}}},
      {"Port COMx selection", {D{T, 1065}}, {K::PortCaption}},
      {"VRX's serial number", {D{I, 1103}}},
      {"Type of Base software", {D{I, 1104}}},
      {"Version of BASE software", {D{I, 1105}}},
      {"Type of Option software", {D{I, 1106}}},
      {"Version of Option software", {D{I, 1107}}},
      {"Copyright", {}},
      {"About Tarvo", {D{T, 1062}}, {K::AboutCaption}},
      {"MAPPING EEPROM BASE", {D{AS, 1109}}},
      {"MAPPING EEPROM OPTION", {D{AS, 1110}}},
      {"VISUALISATION", {}, {}, R::ModeCaption, {}, bit(1)},
      {"SETTING", {}, {}, R::ModeCaption, {}, bit(2)},
      {"SETTING PRO", {}, {}, R::ModeCaption, {}, bit(3) | bit(4)},
      {"P2", {D{L, 1043}, D{G, 1233}, D{dialog::kIout, 1171}, D{dialog::kUout, 1158}}, {}, R::PlusUnit,
       {D{dialog::kAlarm, 1213}, D{dialog::kAlarm, 1214}}},
      {"CTRL", {D{dialog::kCtrl, 1146}}, {}, R::PlusUnit},
      {"AUXin", {D{dialog::kAuxin, 1185}}, {}, R::PlusUnit},
      {"error", {D{L, 1000}}, {}, R::PlusUnit},
      {"Reset VRX", {}, {K::TransferDone}},
      {"Transfer stopped other VRX", {}, {K::WriteAbandoned}},
      {"Write refused other VRX", {}, {K::WriteRefused}},
      {"Images not confirmed", {}, {K::ImagesNotConfirmed}},
      {"Write running file mode", {}, {K::WriteRunningFileMode}},
      {"Pressure range", {D{T, 1068}}, {K::RangeCaption}},
      {"Transfer running", {}, {K::TransferBusy}},
      {"Write request not valid", {}, {K::RequestInvalid}},
      {"Capture rows lost", {}, {K::CaptureRowsLost}},
      {"Capture file gone", {}, {K::CaptureFileGone}},
      {"Capture rows lost so far", {}, {K::CaptureRowsLostSoFar}},
      {"Unsaved work kept", {}, {K::KeptWorkOffer}},
      {"Later", {}, {K::Later}},
      {"Graph oldest samples left", {}, {K::GraphOldestLeft}},
      {"Capture ready", {}, {K::CaptureReady}},
      {"Capture writing", {}, {K::CaptureWriting}},
      {"Capture paused", {}, {K::CapturePaused}},
      {"Capture rows written", {}, {K::CaptureRowsWritten}},
      {"Capture ended", {}, {K::CaptureEnded}},
      {"Discard", {}, {K::Discard}},
      {"Unsaved changes", {}, {K::UnsavedChanges}},
      {"File not saved", {}, {K::FileNotSaved}},
      {"File does not supply", {}, {K::FileDoesNotSupply}},
      {"Changed meanwhile", {}, {K::ChangedMeanwhile}},
      {"Not a number", {}, {K::NotANumber}},
      {"Not a whole number", {}, {K::NotAWholeNumber}},
      {"lower x corner", {}, {K::LowerXCorner}},
      {"upper x corner", {}, {K::UpperXCorner}},
      {"lower y corner", {}, {K::LowerYCorner}},
      {"upper y corner", {}, {K::UpperYCorner}},
      {"Read from the VRX", {D{I, 1108}}},
      {"Report...", {D{T, 1069}}},
  };
}
#pragma GCC diagnostic pop

}  // namespace

const std::vector<LabelRow>& labelTable() {
  static const std::vector<LabelRow> table = buildTable();
  return table;
}

std::string_view languageSection(std::uint8_t language) {
  static constexpr std::string_view kSections[] = {"ENGLISH", "FRANCAIS", "DEUTSCH", "ITALIANO"};
  return language < 4 ? kSections[language] : std::string_view{};
}

LabelPass computeLabels(const ProfileFile& file, std::uint8_t languageIndex, std::uint8_t unit,
                        std::uint32_t accessMode, bool lampRed) {
  LabelPass pass;
  const std::string_view section = languageSection(languageIndex);
  const std::string suffix = unitSuffix(unit);
  bool captionSet = false;
  bool captionRowsSeen = false;
  auto lookUp = [&](std::string_view key) {
    pass.keysLookedUp.emplace_back(key);
    // No section means no lookup can succeed.
    return section.empty() ? std::string{} : file.getString(section, key, "");
  };
  for (const LabelRow& row : labelTable()) {
    if (row.rule == LabelRule::ModeCaption) {
      captionRowsSeen = true;
      if ((row.modeMask & (accessMode < 32 ? 1u << accessMode : 0u)) == 0) continue;
      pass.texts.push_back({{dialog::kView, view_id::kModeCaption}, lookUp(row.key)});
      captionSet = true;
      continue;
    }
    if (captionRowsSeen && !captionSet) {
      // The mode caption rows are behind us and none matched the mode.
      pass.texts.push_back({{dialog::kView, view_id::kModeCaption}, ""});
      captionSet = true;
    }
    std::string value = lookUp(row.key);
    for (Kept k : row.kept) pass.kept[static_cast<std::size_t>(k)] = value;
    const std::string shown = row.rule == LabelRule::PlusUnit ? value + suffix : value;
    for (const LabelTarget& t : row.targets) pass.texts.push_back({t, shown});
    for (const LabelTarget& t : row.suffixOnly) pass.texts.push_back({t, suffix});
    if (row.rule == LabelRule::StatusText) {
      pass.texts.push_back({{dialog::kView, view_id::kStatusText},
                            pass.keptText(lampRed ? Kept::NoCommunicate : Kept::Communicate)});
    }
  }
  return pass;
}

std::string modeCaption(const ProfileFile& file, std::uint8_t languageIndex, std::uint32_t accessMode) {
  const std::string_view section = languageSection(languageIndex);
  std::string_view key;
  if (accessMode == 1) key = "VISUALISATION";
  else if (accessMode == 2) key = "SETTING";
  else if (accessMode == 3 || accessMode == 4) key = "SETTING PRO";
  if (key.empty() || section.empty()) return {};
  return file.getString(section, key, "");
}

std::string informationText(const ProfileFile& errors, std::uint8_t languageIndex,
                            const std::array<std::uint8_t, 8>& info) {
  const std::string_view section = languageSection(languageIndex);
  std::string text;
  for (std::uint8_t code : info) {
    if (!section.empty()) text += errors.getString(section, std::to_string(code), "");
    text += "\r\n";
  }
  return text;
}

}  // namespace vrx4
