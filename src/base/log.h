// The activity log "dealer.log": a header line per run, then one line per reported error. It stops
// growing past 32000 bytes (one more session past that) and is never touched once past 64000 bytes.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace orvenix {

class Dialogs;
enum class Buttons;
enum class Icon;
enum class Answer;

class ActivityLog {
public:
    explicit ActivityLog(std::filesystem::path path = "dealer.log");
    ~ActivityLog();
    ActivityLog(const ActivityLog&) = delete;
    ActivityLog& operator=(const ActivityLog&) = delete;

    // Appends one line; any failure is ignored.
    void LogLine(const std::string& text);
    void Close();
    [[nodiscard]] bool SwitchedOff() const { return state_ < 0; }
    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

    // The clock text of the header line; tests replace it.
    std::function<std::string()> now;

private:
    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
    int state_ = 0; // 0 = not yet open, 1 = open, -1 = switched off for the rest of the run
};

// The current local date and time, as the log's header shows it.
std::string CurrentDateTimeText();

// Logs "title: message" and shows the message in a box with the given style and title.
Answer ReportError(Dialogs& dialogs, ActivityLog& log, const std::string& message, Buttons buttons, Icon icon,
                   const std::string& title);

} // namespace orvenix
