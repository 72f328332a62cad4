// Opening the machine link for a window that talks to the machine (dealing, reading, maintenance).
#pragma once

#include "machine/link.h"

#include <memory>
#include <string>

namespace orvenix {

struct AppContext;

// The link chosen by the command line's --machine (or the setting "Machine"), opened with InitComm and
// the program's link timeout. Nothing when no machine could be opened; the operator has then been told
// why (a link that names nothing, a failure of InitComm, or a bridge without a machine behind it).
std::unique_ptr<MachineLink> OpenMachineLink(const std::string& machineOption, AppContext& ctx);

} // namespace orvenix
