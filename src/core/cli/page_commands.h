// vrx4ctl show and set: every parameter page as the desktop program shows
// it, and each page's Save or Restore from a script.
#pragma once

#include "core/cli/cli_args.h"

namespace vrx4::cli {

int cmdShow(const Args& a);
int cmdSet(const Args& a);

}  // namespace vrx4::cli
