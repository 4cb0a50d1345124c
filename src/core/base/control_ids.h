// Dialog, control and resource numbers of the shell. A widget's object name
// is its control id, so tests and the label table find it by number.
#pragma once

namespace vrx4 {

namespace dialog {
constexpr int kAbout = 100;
constexpr int kView = 101;
constexpr int kLive = 133;
constexpr int kPassword = 135;
constexpr int kPortSelection = 136;
constexpr int kMode = 141;
constexpr int kInfo = 142;
constexpr int kCalibration = 143;
constexpr int kAfterSales = 144;
constexpr int kCtrl = 146;
constexpr int kUout = 147;
constexpr int kIout = 148;
constexpr int kAuxin = 149;
constexpr int kLogoMaker = 152;
constexpr int kLogoBrand = 154;
constexpr int kLogoSoftware = 155;
constexpr int kTools = 156;
constexpr int kAlarm = 157;
constexpr int kGraph = 158;
constexpr int kAgreement = 159;
constexpr int kPressureRange = 202;
constexpr int kPid = 203;
}  // namespace dialog

// Controls of the main view.
namespace view_id {
constexpr int kGraph = 1055;
constexpr int kControl = 1056;
constexpr int kAlarm = 1057;
constexpr int kIout = 1058;
constexpr int kUout = 1059;
constexpr int kAuxin = 1060;
constexpr int kLive = 1061;
constexpr int kHome = 1062;
constexpr int kCalibration = 1063;
constexpr int kAfterSales = 1064;
constexpr int kTools = 1065;
constexpr int kPid = 1066;
constexpr int kDecoUp = 1067;
constexpr int kDecoDown = 1068;
constexpr int kReconnect = 1069;
constexpr int kBar = 1075;
constexpr int kPsi = 1076;
constexpr int kKpa = 1077;
constexpr int kMpa = 1078;
constexpr int kModeCaption = 1085;
constexpr int kStatusText = 1086;
constexpr int kStatusPlace = 1091;
constexpr int kEnglish = 1096;
constexpr int kFrancais = 1097;
constexpr int kDeutsch = 1098;
constexpr int kItaliano = 1099;
constexpr int kManual = 1106;
constexpr int kLamp = 2005;
constexpr int kSeparators[] = {1079, 1080, 1082, 1083, 1084, 1100, 1101, 1102, 1103, 1104};
}  // namespace view_id

// Common buttons of dialogs.
namespace common_id {
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kAppAbout = 57664;  // the about command
constexpr int kAppExit = 57665;   // the exit command ("EXIT", "I disagree")
// The note of a page whose values the regulator has not confirmed.
constexpr int kShownNote = 2006;
}  // namespace common_id

namespace mode_id {
constexpr int kSetting = 1076;
constexpr int kVisualisation = 1077;
constexpr int kSettingPro = 1078;
constexpr int kHeading = 1080;
constexpr int kFrame = 1198;
constexpr int kPasswordEdit = 1246;
constexpr int kPasswordLabel = 1248;
}  // namespace mode_id

namespace password_id {
constexpr int kEdit = 1046;
constexpr int kPrompt = 1278;
}  // namespace password_id

namespace range_id {
constexpr int kList = 1048;
}  // namespace range_id

namespace agreement_id {
constexpr int kText = 1250;
constexpr int kAgree = 1251;
}  // namespace agreement_id

// Terms-of-use documents by language: ENGLISH, FRANCAIS, DEUTSCH, ITALIANO.
namespace resource {
constexpr int kDocumentTemplate = 128;
constexpr int kTerms[] = {185, 186, 184, 183};
}  // namespace resource

namespace about_id {
constexpr int kVersionText = 1001;
}  // namespace about_id

}  // namespace vrx4
