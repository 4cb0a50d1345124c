// The label table: every key looked up in "Language.ini", in lookup order,
// with the controls and kept strings its value goes to. Pages add targets
// to rows; the rules of the pass live in computeLabels.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/profile_file.h"

namespace vrx4 {

struct LabelTarget {
  int dialog;   // dialog number of the page or window (control_ids.h)
  int control;  // control id inside it
  bool operator==(const LabelTarget&) const = default;
};

// Strings kept after a load for texts shown later (dialogs, messages).
enum class Kept : std::uint8_t {
  WrongPassword,
  Ok,
  Cancel,
  SerialMismatch,
  TransferDone,
  WriteAbandoned,
  WriteRefused,  // a write stopped before its first byte: another regulator answered
  Communicate,
  NoCommunicate,
  Close,
  AboutCaption,
  PortCaption,
  RangeCaption,
  PasswordCaption,
  PasswordPrompt,
  TransferBusy,    // a parameter page's write while another transfer runs
  RequestInvalid,  // a write request the link engine cannot carry
  CaptureRowsLost,  // rows of the capture file that could not be written ("%d", "%s": why)
  CaptureFileGone,  // the capture file went away ("%s": the file, "%d" rows lost, "%s": why)
  CaptureRowsLostSoFar,  // the line on the graph page while rows are lost ("%d", "%s": why)
  KeptWorkOffer,  // at start: open unsaved work kept when the program was ended ("%s": file, copy, file)
  OpenButton,     // its answers: "Open", Discard and "Later"
  Later,
  GraphOldestLeft,  // the graph's store is full: its oldest samples leave
  CaptureReady,       // the graph page's capture status: a file open, no row written yet
  CaptureWriting,     // rows are being written
  CapturePaused,      // the pause button is down
  CaptureRowsWritten,  // "%d" rows in the capture file
  CaptureEnded,       // the summary ("%d" written, "%d" lost, "%s" the file)
  Save,               // the answers of the unsaved-changes question
  Discard,
  UnsavedChanges,     // the question before file-mode work is dropped ("%s": the file)
  FileNotSaved,       // after a failed save ("%s": why)
  FileDoesNotSupply,  // Export to VRX of a file that leaves ranges to the regulator ("%s")
  ChangedMeanwhile,   // a map page's edit met a change of the same values ("%s": which)
  NotANumber,         // a parameter page's field that holds no number ("%s": the field)
  NotAWholeNumber,    // a PID gain that holds no whole number ("%s": the gain)
  LowerXCorner,       // the four corner fields of the channel pages, by name
  UpperXCorner,
  LowerYCorner,
  UpperYCorner,
  ImagesNotConfirmed, // Import from VRX before the connected regulator's images are confirmed
  WriteRunningFileMode,  // New or Open while a write to the regulator runs
  Count
};

enum class LabelRule : std::uint8_t {
  Plain,        // the value as it is
  PlusUnit,     // the value followed by the unit suffix; suffixOnly gets the suffix alone
  StatusText,   // then the status text shows "communicate" or "NO communicate"
  ModeCaption,  // looked up only in the modes of modeMask, for the mode caption
};

struct LabelRow {
  std::string_view key;
  std::vector<LabelTarget> targets;
  std::vector<Kept> kept;
  LabelRule rule = LabelRule::Plain;
  std::vector<LabelTarget> suffixOnly;
  std::uint32_t modeMask = 0;  // bit n = access mode n (ModeCaption rows)
};

const std::vector<LabelRow>& labelTable();

// "ENGLISH", "FRANCAIS", "DEUTSCH", "ITALIANO"; empty for any other number.
std::string_view languageSection(std::uint8_t language);

struct LabelAssignment {
  LabelTarget target;
  std::string text;
};

struct LabelPass {
  std::vector<LabelAssignment> texts;  // in the order they are applied
  std::array<std::string, static_cast<std::size_t>(Kept::Count)> kept;
  std::vector<std::string> keysLookedUp;
  const std::string& keptText(Kept k) const { return kept[static_cast<std::size_t>(k)]; }
};

// The whole label pass for a language, unit, access mode and lamp state.
// A missing file, section or key gives empty texts.
LabelPass computeLabels(const ProfileFile& language, std::uint8_t languageIndex, std::uint8_t unit,
                        std::uint32_t accessMode, bool lampRed);

// The mode caption alone (the view's data exchange sets it on every update).
std::string modeCaption(const ProfileFile& language, std::uint8_t languageIndex, std::uint32_t accessMode);

// The eight information messages for the device's information bytes, each
// line ended by "\r\n"; an unknown code gives an empty line.
std::string informationText(const ProfileFile& errors, std::uint8_t languageIndex,
                            const std::array<std::uint8_t, 8>& info);

}  // namespace vrx4
