// The main window: the summary of the board set in memory and the menu of every command.
#pragma once

#include "app/context.h"
#include "app/file_commands.h"
#include "app/options.h"
#include "dealing/session.h"
#include "generate/seeds.h"

#include <QMainWindow>
#include <QString>

#include <array>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QStatusBar;
class QTreeWidget;
class QDate;

namespace orvenix {

class HelpWindow;
class History;

// Cursor position in screen coordinates, or in the client coordinates of the given widget.
int MouseX(const QWidget* widget = nullptr);
int MouseY(const QWidget* widget = nullptr);

// The generator's seed words from the cursor position and the date: the first is ((x * 256 + y) OR 1)
// AND 0xFFFF on 32-bit integers, the second the days since 1 January 2008, AND 0xFFFF.

// Event texts of 200 characters or more are refused.
inline constexpr int kEventTextLimit = 200;

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    MainWindow(AppContext& ctx, const ProgramOptions& options, QWidget* parent = nullptr);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Shows the window, reads the history file and ends with "Ready". Call once after construction.
    void Start();

    [[nodiscard]] AppContext& context() { return ctx_; }
    [[nodiscard]] const ProgramOptions& options() const { return options_; }
    [[nodiscard]] SessionMode sessionMode() const { return sessionMode_; }
    // The text shown in the status line.
    [[nodiscard]] QString statusText() const;
    // The history file in use, null while the program runs without one.
    [[nodiscard]] History* history() const { return history_.get(); }

    // Recomputes and redraws the whole summary of the set; also shows its file name and event texts.
    void RefreshSetDisplay();
    // Puts the set's file name and event texts into their boxes without marking the set modified, and
    // the file name with the mark of unsaved changes into the title.
    void ShowSetTexts();
    // Shows one text in the status line (through the context, as every command does).
    void SetStatus(const std::string& text);

    // ---- Commands (each in its own command_<name>.cpp) ----------------------------------------------
    void onNewTriggered();
    void onLoadTriggered();
    // Runs the Save command; true when the set was written (the set is then no longer modified).
    bool onSaveTriggered();
    // What the file commands need of this window: the summary redrawn, the board-number window.
    FileCommandHooks FileHooks();
    void onDeleteTriggered();
    void onDealTriggered();
    void onReadTriggered();
    void onEditTriggered();
    void onPrintTriggered();
    void onMaintenanceTriggered();
    void onContentsTriggered();
    void onAboutTriggered();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void BuildControls();
    void ShowStatus(const std::string& text);
    // The history's state in the status bar's corner: its board records, or why it does not record.
    void ShowHistoryState();
    void BuildMenus();
    // The title: the set's file name, the program, and the mark while the set has unsaved changes.
    void ShowTitle();
    void EventTextEdited(QLineEdit* box, std::string& stored);
    // Deal and Read share their flow; only the words differ.
    void RunSession(SessionMode mode);
    // Refuses a command that needs a board set when none exists; true when it was refused.
    bool RefuseWithoutSet(const std::string& title);

    AppContext& ctx_;
    ProgramOptions options_;
    std::unique_ptr<History> history_;
    SessionMode sessionMode_ = SessionMode::Deal;
    bool started_ = false;

    QLineEdit* fileNameBox_ = nullptr;
    QLineEdit* eventNameBox_ = nullptr;
    QLineEdit* eventSiteBox_ = nullptr;
    QLineEdit* eventDateBox_ = nullptr;
    QLineEdit* firstBoardBox_ = nullptr;
    QLineEdit* lastBoardBox_ = nullptr;
    QLineEdit* boardCountBox_ = nullptr;
    QLineEdit* completedBox_ = nullptr;
    QTreeWidget* shapeList_ = nullptr;
    std::array<QLineEdit*, 4> hcpBoxes_{};
    std::array<QLineEdit*, 4> distributionBoxes_{};
    QLineEdit* maxFrequencyBox_ = nullptr;
    QLineEdit* minFrequencyBox_ = nullptr;
    QLineEdit* innerSimilarityBox_ = nullptr;
    QLineEdit* innerSimilarBoardsBox_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QLabel* historyLabel_ = nullptr;
    HelpWindow* helpWindow_ = nullptr; // made when the guide is first opened
};

// Text from the core for the screen: UTF-8, with the display font's suit codes 6, 3, 4, 5 shown as the
// Unicode suit symbols.
QString ScreenText(const std::string& text);

} // namespace orvenix
