// Opening the machine link for a window that talks to the machine (dealing, reading, maintenance).
#pragma once

#include "machine/open_link.h"

#include <optional>
#include <string>

namespace orvenix {

struct AppContext;

// The machine chosen by the command line's --machine (or the setting "Machine"), its link opened with
// Open and the program's link timeout. Nothing when no machine could be opened; the operator has then
// been told why (a link that names nothing, a failure of Open, or a bridge without a machine behind
// it).
std::optional<MachineConnection> OpenMachineLink(const std::string& machineOption, AppContext& ctx);

} // namespace orvenix
