// Every message box, question and file dialog of the program goes through this interface, so that the
// core can ask and report without a window system and tests can answer and read every text.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace orvenix {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct MessageRequest {
    std::string text;
    std::string title;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

struct FileDialogRequest {
    bool save = false;
    std::string title;
    std::string directory;
    std::string fileName;
    std::vector<std::string> filters; // "PBN files (*.pbn)" style entries
    int selectedFilter = -1;          // index into filters, -1 = none selected
    bool confirmReplace = true;       // save: the dialog itself asks before an existing file is replaced
};

struct FileDialogResult {
    std::string path;
    int filterIndex = -1;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual Answer Message(const MessageRequest& request) = 0;
    // Empty when the user cancelled.
    virtual std::optional<FileDialogResult> FileDialog(const FileDialogRequest& request) = 0;

    Answer Show(const std::string& text, const std::string& title, Buttons buttons, Icon icon) {
        return Message({text, title, buttons, icon});
    }
};

// Test double: records every request and gives queued answers. With no queued answer a message box
// gets the default button's answer (Ok, or Yes for questions) and a file dialog is cancelled.
class ScriptedDialogs : public Dialogs {
public:
    Answer Message(const MessageRequest& request) override;
    std::optional<FileDialogResult> FileDialog(const FileDialogRequest& request) override;

    void QueueAnswer(Answer a) { answers_.push_back(a); }
    void QueueFile(std::optional<FileDialogResult> r) { files_.push_back(std::move(r)); }
    void QueueFile(const std::string& path, int filter = -1) { files_.push_back(FileDialogResult{path, filter}); }

    std::vector<MessageRequest> messages;
    std::vector<FileDialogRequest> fileRequests;
    [[nodiscard]] const MessageRequest& Last() const { return messages.back(); }
    [[nodiscard]] std::size_t PendingAnswers() const { return answers_.size(); }

private:
    std::deque<Answer> answers_;
    std::deque<std::optional<FileDialogResult>> files_;
};

} // namespace orvenix
