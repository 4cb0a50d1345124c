// vrx4ctl dump and diff: the EEPROM map pages' texts and a comparison of
// two configurations, from files or regulators.
#pragma once

#include "core/cli/cli_args.h"

namespace vrx4::cli {

int cmdDump(const Args& a);
int cmdDiff(const Args& a);

// Exit code of diff when the two configurations differ.
constexpr int kExitDiffer = 6;

}  // namespace vrx4::cli
