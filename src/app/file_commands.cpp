#include "app/file_commands.h"

#include "base/messages.h"
#include "base/text_encoding.h"
#include "formats/frame.h"
#include "history/history.h"

#include <optional>
#include <string_view>

namespace orvenix {

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// The last n characters (bytes: the stored format is an ASCII extension).
std::string LastChars(const std::string& text, std::size_t n) {
    return text.size() <= n ? text : text.substr(text.size() - n);
}

std::string BoardCountText(const BoardSet& set) {
    return std::to_string(set.lastBoard - set.firstBoard + 1);
}

void Refresh(const FileCommandHooks& hooks) {
    if (hooks.refresh) hooks.refresh();
}

} // namespace

bool OfferToSave(AppContext& ctx, const FileCommandHooks& hooks, const std::string& title) {
    if (!ctx.set.modified) return true;
    const Answer answer =
        ctx.dialogs.Show(FormatMessage(MsgSetNotSaved), title, Buttons::YesNoCancel, Icon::Exclamation);
    if (answer == Answer::No) return true;
    if (answer != Answer::Yes) return false;
    // A set that was to be saved but was not (the save was cancelled or failed) is not given up.
    return SaveCommand(ctx, hooks) && !ctx.set.modified;
}

bool LoadCommand(AppContext& ctx, const FileCommandHooks& hooks) {
    BoardSet& set = ctx.set;
    ctx.StatusText("Loading");
    if (!OfferToSave(ctx, hooks, "Load New Board Set")) {
        ctx.StatusText("Ready");
        return false;
    }

    const std::string initFormat = ctx.settings.Read(keys::kInitFormat);
    FileDialogRequest request;
    request.save = false;
    request.title = "Open Board Set file";
    request.directory = StartDirectory(ctx.settings.Read(keys::kInitDirectory));
    request.filters = LoadFilters();
    request.selectedFilter = LoadFilterIndex(initFormat);
    const std::optional<FileDialogResult> chosen = ctx.dialogs.FileDialog(request);
    if (!chosen || chosen->path.empty()) {
        // The set stays in memory as it was, with its modified mark: nothing was replaced.
        ctx.StatusText("Ready");
        Refresh(hooks);
        return false;
    }

    // From here the set in memory is replaced, whatever the file holds.
    set.modified = false;
    const std::string path = chosen->path;
    set.fileName.clear();
    ClearForLoad(set);
    Refresh(hooks);

    const LoadAttempt a = LoadFileInto(path, set);
    bool loaded = false;
    switch (a.failure) {
    case LoadFailure::None:
        loaded = true;
        break;
    case LoadFailure::UnknownFormat: {
        const std::string text = FormatMessage(MsgUnknownFormatLoad, a.extension);
        ctx.StatusText("Load operation aborted");
        ReportError(ctx.dialogs, ctx.log, text, Buttons::Ok, Icon::Critical, "Load Error");
        break;
    }
    case LoadFailure::File:
        LoadErrorBox(ctx.dialogs, a.file.errorNumber, a.file.description);
        break;
    case LoadFailure::Format:
        ctx.StatusText("Load operation aborted");
        ctx.dialogs.Show(a.format.Text(), "Load Error", Buttons::Ok, Icon::Critical);
        break;
    }

    if (loaded && a.needsBoardNumbers && hooks.chooseBoardNumbers)
        hooks.chooseBoardNumbers(set, a.formatName);

    if (!loaded) {
        ClearForLoad(set);
        set.fileName.clear();
        ctx.StatusText("Ready");
        set.modified = false;
        Refresh(hooks);
        return false;
    }

    const std::string title = FileNameOf(path);
    ctx.settings.Write(keys::kInitFormat, Lower(LastChars(title, 3)));
    ctx.settings.Write(keys::kInitDirectory, DirectoryWithSeparator(path));
    if (ctx.history != nullptr) {
        const std::string name = Utf8Left(title.substr(0, title.rfind('.')), 13);
        if (ctx.history->FindHistoryName(name) == 0) ctx.history->RecordHistory(ctx, set, name);
    }
    set.fileName = path;
    set.modified = false;
    Refresh(hooks);
    ctx.StatusText("Boards loaded: " + BoardCountText(set));
    return true;
}

bool SaveCommand(AppContext& ctx, const FileCommandHooks& hooks) {
    BoardSet& set = ctx.set;
    ctx.StatusText("Saving");
    if (set.lastBoard < 1) {
        const std::string text = FormatMessage(MsgNoBoardSet);
        ctx.StatusText(text);
        ctx.dialogs.Show(text, "Save Error", Buttons::Ok, Icon::Critical);
        ctx.StatusText("Ready");
        return false;
    }

    const std::string initFormat = ctx.settings.Read(keys::kInitFormat);
    FileDialogRequest request;
    request.save = true;
    request.title = "Save Board Set";
    request.directory = StartDirectory(ctx.settings.Read(keys::kInitDirectory));
    request.filters = SaveFilters();
    request.selectedFilter = SaveFilterIndex(initFormat);
    const std::optional<FileDialogResult> chosen = ctx.dialogs.FileDialog(request);
    if (!chosen || chosen->path.empty()) {
        ctx.StatusText("Ready");
        return false;
    }

    const std::string list = IncompleteBoardList(set);
    std::string path = chosen->path;
    // A name typed without an extension takes the one of the file type chosen in the dialog.
    if (FileNameOf(path).find('.') == std::string::npos && chosen->filterIndex >= 0 &&
        chosen->filterIndex < static_cast<int>(BoardSetFormats().size())) {
        path += std::string(".") + BoardSetFormats()[static_cast<std::size_t>(chosen->filterIndex)].extension;
    }
    const std::string title = FileNameOf(path);
    const std::size_t dot = title.rfind('.');
    const std::optional<FileFormat> format =
        dot == std::string::npos ? std::nullopt : FormatOfExtension(title.substr(dot + 1));
    if (!format) {
        ctx.StatusText("Save operation aborted");
        ctx.dialogs.Show(FormatMessage(MsgUnknownFormatSave, title), "Save Error", Buttons::Ok,
                         Icon::Critical);
        ctx.StatusText("Ready");
        return false;
    }
    if (!SaveCheckedFile(*format, path, set, list, ctx.dialogs)) {
        ctx.StatusText("Save operation aborted");
        ctx.StatusText("Ready");
        return false;
    }

    if (ctx.history != nullptr) ctx.history->RecordHistory(ctx, set, title.substr(0, dot));
    ctx.settings.Write(keys::kInitFormat, Lower(LastChars(path, 3)));
    ctx.settings.Write(keys::kInitDirectory, DirectoryWithSeparator(path));
    ctx.StatusText("Boards Saved: " + BoardCountText(set));
    set.fileName = path;
    Refresh(hooks);
    set.modified = false;
    return true;
}

} // namespace orvenix
