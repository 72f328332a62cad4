// The main window's file commands, Load, Save and the question before a modified set is given up, shared
// by the windows and every other front end. Dialogs, settings, history and the status line come from the
// AppContext; the window adds what only it can do through FileCommandHooks.
#pragma once

#include "app/context.h"

#include <functional>
#include <string>

namespace orvenix {

struct FileCommandHooks {
    // Lets the user move boards loaded without board numbers (the board-number window); none: the boards
    // stay at 1..N. formatName is the format's name ("DUP" gives its own explanation).
    std::function<void(BoardSet& set, const std::string& formatName)> chooseBoardNumbers;
    // Redraws the main window's summary of the set.
    std::function<void()> refresh;
};

// The Load command; true when a set was loaded.
bool LoadCommand(AppContext& ctx, const FileCommandHooks& hooks);
// The Save command; true when the set was written (the set is then no longer modified).
bool SaveCommand(AppContext& ctx, const FileCommandHooks& hooks);
// Before a command gives up a modified set (New, Load, Exit): asks MsgSetNotSaved with Yes, No and Cancel
// in a box titled title, and saves on Yes. True when the command may go on: the set was not modified,
// the answer was No, or it was Yes and the set was saved. Cancel, a closed box or a save that did not
// complete keep the set.
bool OfferToSave(AppContext& ctx, const FileCommandHooks& hooks, const std::string& title);

} // namespace orvenix
