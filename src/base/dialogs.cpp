#include "base/dialogs.h"

namespace orvenix {

Answer ScriptedDialogs::Message(const MessageRequest& request) {
    messages.push_back(request);
    if (!answers_.empty()) {
        const Answer a = answers_.front();
        answers_.pop_front();
        return a;
    }
    switch (request.buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoCancel: return Answer::Yes;
    case Buttons::RetryCancel: return Answer::Retry;
    case Buttons::AbortRetryIgnore: return Answer::Abort;
    case Buttons::Ok:
    case Buttons::OkCancel: break;
    }
    return Answer::Ok;
}

std::optional<FileDialogResult> ScriptedDialogs::FileDialog(const FileDialogRequest& request) {
    fileRequests.push_back(request);
    if (files_.empty()) return std::nullopt;
    auto r = files_.front();
    files_.pop_front();
    return r;
}

} // namespace orvenix
