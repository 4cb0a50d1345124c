// A short scripted exchange with the simulated regulator, played as a host
// would over the pseudo-terminal, printing every byte and what it means.
#pragma once

#include <ostream>
#include <string>

namespace vrx4::sim {

// Returns 0 when every reply came and was sound.
int runDemoScript(const std::string& hostPath, std::ostream& out);

}  // namespace vrx4::sim
