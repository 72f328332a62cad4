#include "cli/terminal_dialogs.h"

#include "base/messages.h"

#include <iostream>

namespace orvenix::cli {

Answer TerminalDialogs::Message(const MessageRequest& request) {
    ++shown_;
    const bool question = request.buttons == Buttons::YesNo || request.buttons == Buttons::YesNoCancel;
    if (question) std::cerr << "warning: ";
    if (!request.title.empty()) std::cerr << request.title << ": ";
    std::cerr << PlainMessage(request.text) << "\n";
    if (!question) return request.buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    std::cerr << (questionAnswer_ == Answer::Yes ? "(answered Yes)\n" : "(answered No)\n");
    return questionAnswer_ == Answer::Yes ? Answer::Yes : Answer::No;
}

} // namespace orvenix::cli
