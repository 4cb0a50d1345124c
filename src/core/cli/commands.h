// The vrx4ctl commands; each returns the process exit code.
#pragma once

#include "core/cli/cli_args.h"

namespace vrx4::cli {

int cmdPorts(const Args& a);
int cmdRead(const Args& a);
int cmdWrite(const Args& a);
int cmdRestore(const Args& a);
int cmdInfo(const Args& a);
int cmdMonitor(const Args& a);

}  // namespace vrx4::cli
