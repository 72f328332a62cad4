// The message boxes of the command-line tool: each becomes lines on the error output, with its title
// before the text. A question gets the answer the subcommand chose for it (Yes for a save that goes on
// as every non-interactive save does, Cancel where nobody can be asked), said after the text.
#pragma once

#include "base/dialogs.h"

#include <optional>
#include <string>

namespace orvenix::cli {

class TerminalDialogs : public Dialogs {
  public:
    explicit TerminalDialogs(Answer questionAnswer = Answer::Cancel) : questionAnswer_(questionAnswer) {}
    Answer Message(const MessageRequest& request) override;
    std::optional<FileDialogResult> FileDialog(const FileDialogRequest&) override { return std::nullopt; }
    // Message boxes shown so far.
    [[nodiscard]] int Shown() const { return shown_; }

  private:
    Answer questionAnswer_;
    int shown_ = 0;
};

} // namespace orvenix::cli
