#include "base/log.h"

#include "base/dialogs.h"

#include <ctime>

namespace orvenix {
namespace {
constexpr long kStopAfter = 32000;
constexpr long kNeverOpenPast = 64000;

long FileLength(std::FILE* f) {
    if (std::fseek(f, 0, SEEK_END) != 0) return -1;
    return std::ftell(f);
}
} // namespace

std::string CurrentDateTimeText() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    char buf[64];
    const std::size_t n = std::strftime(buf, sizeof buf, "%d/%m/%Y %H:%M:%S", &tm);
    return std::string(buf, n);
}

ActivityLog::ActivityLog(std::filesystem::path path) : now(CurrentDateTimeText), path_(std::move(path)) {}

ActivityLog::~ActivityLog() {
    Close();
}

void ActivityLog::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    if (state_ > 0) state_ = 0;
}

void ActivityLog::LogLine(const std::string& text) {
    if (state_ < 0) return;
    if (file_ == nullptr) {
        file_ = std::fopen(path_.string().c_str(), "ab");
        if (file_ == nullptr) return;
        const long length = FileLength(file_);
        if (length < 0 || length > kNeverOpenPast) {
            std::fclose(file_);
            file_ = nullptr;
            state_ = -1;
            return;
        }
        state_ = 1;
        const std::string header = "====== " + now() + "\r\n";
        std::fwrite(header.data(), 1, header.size(), file_);
    }
    const std::string line = text + "\r\n";
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
    if (FileLength(file_) > kStopAfter) {
        std::fclose(file_);
        file_ = nullptr;
        state_ = -1;
    }
}

Answer ReportError(Dialogs& dialogs, ActivityLog& log, const std::string& message, Buttons buttons, Icon icon,
                   const std::string& title) {
    log.LogLine(title + ": " + message);
    return dialogs.Show(message, title, buttons, icon);
}

} // namespace orvenix
