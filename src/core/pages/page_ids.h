// Control ids of the six parameter pages, by role. A widget's object name
// is its control id; the page rules name the field at fault by its id.
#pragma once

#include "core/pages/page_formats.h"

namespace vrx4 {

// The four buttons of the editing flow. Save lies where Modify is, Cancel
// where Restore is; one of each pair is visible at a time.
struct EditButtonIds {
  int modify;
  int restore;
  int save;
  int cancel;
};

// The controls of a channel page by role. The input pages show the
// measured input on the upper row (y 58) and the pressure it is
// equivalent of below it (y 98); the output pages show the computed output
// on the upper row and the measured pressure below it. Ids that a page
// does not have are 0.
struct ChannelIds {
  int yHigh;              // upper y corner, left of the diagram (16,82)
  int yLow;               // lower y corner (16,202)
  int xLow;               // lower x corner, below the diagram (77,251)
  int xHigh;              // upper x corner (207,251)
  int measured;           // the value the view writes in
  int measuredCaption;
  int equivalent;         // the value the line maps it to
  int equivalentCaption;
  int betweenWord;        // "equivalent of" / "with" / "With" (389,80)
  int groupTitle;         // "ACTUAL INPUTS" / "ACTUAL OUPUTS" / "ACTUAL OUTPUTS" (389,37)
  int selectionGroup;     // U/I group box (279,32)
  int selectionTitle;     // "SELECTION U/I" (289,37)
  int channelLabel;       // "CTRL" / "AUXin" (289,58)
  int radioU;             // (317,58)
  int radioI;             // (341,58)
  int outerGroup;         // 1198
  int diagram;            // the line diagram
  EditButtonIds buttons;
};

const ChannelIds& channelIds(Channel ch);

// AUXin's "TO BE READ AS" group (shown in access mode 4 only).
namespace auxin_id {
constexpr int kReadAsGroup = 1200;  // (279,79)
constexpr int kReadAsText = 1263;
constexpr int kReadAsList = 1048;   // (289,101)
// The list's two items as targets of the label table: "Monitoring value",
// "P2 pressure".
constexpr int kReadAsItems[2] = {10480, 10481};
}  // namespace auxin_id

namespace alarm_id {
constexpr int kLogicPlus = 1224;
constexpr int kLogicMinus = 1225;
constexpr int kOutputOn = 1226;
constexpr int kOutputOff = 1227;
constexpr int kErrorPlus = 1215;
constexpr int kErrorMinus = 1216;
constexpr int kDelayOn = 1220;
constexpr int kTonMin = 1137;
constexpr int kDelayOff = 1221;
constexpr int kLimitUnitPlus = 1213;
constexpr int kLimitUnitMinus = 1214;
// The captions left of the five edits.
constexpr int kErrorPlusCaption = 1211;
constexpr int kErrorMinusCaption = 1212;
constexpr int kDelayOnCaption = 1217;
constexpr int kTonMinCaption = 1218;
constexpr int kDelayOffCaption = 1219;
constexpr int kLogicGroup = 1199;     // (261,26) 134 x 48
constexpr int kLogicTitle = 1209;     // "LOGIC"
constexpr int kLogicLabel = 1210;     // "ALARM"
constexpr int kOutputGroup = 1198;    // (402,26) 116 x 107
constexpr int kOutputTitle = 1204;    // "ACTUAL OUTPUTS"
constexpr int kOutputLabel = 1205;    // "ALARM"
constexpr int kLimitsGroup = 1200;    // (261,94) 134 x 89
constexpr int kLimitsTitle = 1149;    // "PRESSURE LIMITS"
constexpr int kTimesGroup = 1201;     // (261,198) 134 x 101
constexpr int kTimesTitle = 1145;     // "TIMMING LIMITS"
constexpr int kCurvePicture = 1230;   // (5,20)
constexpr EditButtonIds kButtons{1222, 1223, 1228, 1229};
}  // namespace alarm_id

namespace pid_id {
constexpr int kKpHigh = 1279;
constexpr int kKpLow = 1280;
constexpr int kKi = 1281;
constexpr int kKd = 1282;
constexpr int kFirstCaption = 1283;   // 1283..1286, left of the four edits
constexpr int kWarning = 1291;
constexpr int kGroup = 1292;          // (108,34) 267 x 184
constexpr int kDefaultButton = 1054;  // hidden, disabled: "Avoid Entry=Cancel"
// Restore (1289) exists but is never shown or enabled.
constexpr EditButtonIds kButtons{1288, 1289, 1287, 1290};
}  // namespace pid_id

}  // namespace vrx4
