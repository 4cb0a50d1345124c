// Why a command is disabled, and how current the values a page shows are.
//
// The page that disables a command records the reason with it; the
// command's tooltip shows that reason's text in the chosen language, so
// that a grey button always says what would enable it. Values that the
// regulator has not confirmed (the lamp is red, or the images wait for a
// read or for the regulator's serial number) are shown as last read.
#pragma once

#include <cstdint>

#include "core/base/language_table.h"

namespace vrx4 {

enum class Blocked : std::uint8_t {
  None,
  ReadRunning,       // the regulator's memory is being read
  IdentityCheck,     // the images wait for the regulator's serial number
  TransferRunning,   // a transfer with the regulator runs
  RegulatorSilent,   // no regulator answers
  RegulatorAnswers,  // New and Open: file mode is for work without a regulator
  FileOpen,          // New and Open: a file is open
  NoFileOpen,        // Close, Save, Save as...: no file is open
  NotEditing,        // a choice that Modify makes editable
  TestNotTicked,     // a LIVE test value: its channel's box is not ticked
};

// The reason a disabled command shows. While the lamp is red whatever
// waits on the regulator (a read, its serial number, a transfer) waits
// on it answering again, and says so.
Blocked shownReason(Blocked recorded, bool linkSilent);

// The kept language text of a reason; Kept::Count for None.
Kept reasonText(Blocked reason);

// How current the device images a page shows are.
enum class Shown : std::uint8_t {
  Current,      // confirmed by the regulator, or a file's (file mode)
  LastRead,     // the regulator does not answer (the lamp is red)
  Unconfirmed,  // being read, or waiting for the regulator's serial number
};

Shown shownImages(bool fileMode, bool linkSilent, bool imagesConfirmed);

// The kept language text of the note a page shows; Kept::Count for Current.
Kept shownText(Shown shown);

}  // namespace vrx4
