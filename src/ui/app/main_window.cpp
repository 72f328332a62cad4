#include "ui/app/main_window.h"

#include "app/seeding.h"

#include "base/messages.h"
#include "base/settings.h"
#include "base/version.h"
#include "generate/random.h"
#include "generate/statistics.h"
#include "history/history.h"
#include "ui/app/help_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDate>
#include <QFontDatabase>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace orvenix {

namespace {

constexpr const char* kSeatNames = "NESW";

QLineEdit* MakeBox(QWidget* parent, const QString& name, const QString& tip, bool readOnly, int width = 0) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    box->setReadOnly(readOnly);
    if (readOnly) {
        box->setFocusPolicy(Qt::ClickFocus);
        // Results are shown on the window's background, so that only the boxes one types into look
        // like boxes to type into.
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        box->setPalette(palette);
    }
    if (width > 0) box->setFixedWidth(width);
    return box;
}

QFrame* MakePanel(QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString ScreenText(const std::string& text) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        int suit = -1;
        if (i < text.size()) {
            const auto byte = static_cast<unsigned char>(text[i]);
            const auto* it = std::find(kSuitSymbols.begin(), kSuitSymbols.end(), byte);
            if (it != kSuitSymbols.end()) suit = static_cast<int>(it - kSuitSymbols.begin());
        }
        if (i == text.size() || suit >= 0) {
            out += QString::fromUtf8(text.data() + start, static_cast<qsizetype>(i - start));
            if (suit >= 0) out += QString::fromUtf8(kSuitSymbolsUtf8[static_cast<std::size_t>(suit)]);
            start = i + 1;
        }
    }
    return out;
}

int MouseX(const QWidget* widget) {
    const QPoint p = QCursor::pos();
    return widget != nullptr ? widget->mapFromGlobal(p).x() : p.x();
}

int MouseY(const QWidget* widget) {
    const QPoint p = QCursor::pos();
    return widget != nullptr ? widget->mapFromGlobal(p).y() : p.y();
}

MainWindow::MainWindow(AppContext& ctx, const ProgramOptions& options, QWidget* parent)
    : QMainWindow(parent), ctx_(ctx), options_(options) {
    setObjectName("MainMenu");
    setWindowTitle("Orvenix - Main Menu");
    BuildControls();
    BuildMenus();
    ctx_.status = [this](const std::string& text) { ShowStatus(text); };

    // Start-up. The message templates, card tables, shape table and similarity
    // limits are fixed tables of the core and need no filling here.
    // No set, current board 1, empty event texts and editor stack, not modified.
    ctx_.set.Reset();
    ctx_.shapeTally.fill(0);
    versionLabel_->setText(QString::fromStdString("Version " + VersionText() + " "));
    ctx_.seeds = SeedRandomSource(ctx_.random, options_.seed, PointerPosition{MouseX(), MouseY()});
    SetStatus("Loading...");
    ShowSetTexts();
}

MainWindow::~MainWindow() {
    ctx_.status = [](const std::string&) {};
    if (ctx_.history == history_.get()) ctx_.history = nullptr;
}

void MainWindow::Start() {
    if (started_) return;
    started_ = true;
    show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const std::filesystem::path path = options_.historyPath.value_or(History::DefaultPath());
    history_ = History::Startup(ctx_, path);
    ctx_.history = history_.get();
    ShowHistoryState();
    SetStatus("Ready");
}

void MainWindow::ShowHistoryState() {
    // "Ready" replaces the history's own status text at once; what matters for the rest of the run (no
    // history, or a history that does not record) stays visible beside the status text.
    QString text = "No history";
    if (history_) {
        if (!history_->Notice().empty()) {
            text = Utf8(history_->Notice());
        } else if (history_->ReadOnly()) {
            text = "history is read-only - not recording";
        } else {
            text = QString("History records: %1").arg(history_->BoardRecordCount());
        }
    }
    historyLabel_->setText(text);
}

void MainWindow::BuildControls() {
    auto* central = new QWidget(this);
    central->setObjectName("centralWidget");
    setCentralWidget(central);

    // Event information and file name.
    auto* eventPanel = MakePanel(central);
    auto* eventForm = new QFormLayout(eventPanel);
    fileNameBox_ = MakeBox(eventPanel, "txtFileName", "File name of the current Board Set", true);
    eventNameBox_ = MakeBox(eventPanel, "txtEventName", "Enter Event Name here", false);
    eventSiteBox_ = MakeBox(eventPanel, "txtEventSite", "Enter Event Site Name here", false);
    eventDateBox_ = MakeBox(eventPanel, "txtEventDate", "Enter Event Date here", false);
    eventForm->addRow("File Name:", fileNameBox_);
    eventForm->addRow("Event Name:", eventNameBox_);
    eventForm->addRow("Event Site:", eventSiteBox_);
    eventForm->addRow("Event Date:", eventDateBox_);
    connect(eventNameBox_, &QLineEdit::textEdited, this,
            [this] { EventTextEdited(eventNameBox_, ctx_.set.eventName); });
    connect(eventSiteBox_, &QLineEdit::textEdited, this,
            [this] { EventTextEdited(eventSiteBox_, ctx_.set.eventSite); });
    connect(eventDateBox_, &QLineEdit::textEdited, this,
            [this] { EventTextEdited(eventDateBox_, ctx_.set.eventDate); });

    // Board range.
    auto* rangePanel = MakePanel(central);
    auto* rangeForm = new QFormLayout(rangePanel);
    constexpr int kNumberWidth = 70;
    firstBoardBox_ =
        MakeBox(rangePanel, "txtFirstBoard", "First Board Number of the set", true, kNumberWidth);
    lastBoardBox_ = MakeBox(rangePanel, "txtLastBoard", "Last Board Number of the set", true, kNumberWidth);
    boardCountBox_ = MakeBox(rangePanel, "txtCount", "Number of boards in a set.", true, kNumberWidth);
    completedBox_ =
        MakeBox(rangePanel, "txtCompleted", "Number of completed boards in a set.", true, kNumberWidth);
    rangeForm->addRow("First Board Number:", firstBoardBox_);
    rangeForm->addRow("Last Board Number:", lastBoardBox_);
    rangeForm->addRow("Number of Boards in Set:", boardCountBox_);
    rangeForm->addRow("Number of Completed Boards:", completedBox_);

    // Average points per seat.
    auto* pointsPanel = MakePanel(central);
    auto* pointsGrid = new QGridLayout(pointsPanel);
    auto* hcpHeader = new QLabel("HCP", pointsPanel);
    auto* distribHeader = new QLabel("Distr", pointsPanel);
    hcpHeader->setAlignment(Qt::AlignCenter);
    distribHeader->setAlignment(Qt::AlignCenter);
    pointsGrid->addWidget(hcpHeader, 0, 1);
    pointsGrid->addWidget(distribHeader, 0, 2);
    for (int s = 0; s < 4; ++s) {
        const QString seat(QChar::fromLatin1(kSeatNames[s]));
        pointsGrid->addWidget(new QLabel("Hand " + seat + ":", pointsPanel), s + 1, 0);
        hcpBoxes_[static_cast<std::size_t>(s)] = MakeBox(pointsPanel, QString("txtHcp%1").arg(s),
                                                         "Average High Card Points for " + seat, true, 60);
        distributionBoxes_[static_cast<std::size_t>(s)] = MakeBox(
            pointsPanel, QString("txtDistrib%1").arg(s), "Average Distribution Points for " + seat, true, 60);
        pointsGrid->addWidget(hcpBoxes_[static_cast<std::size_t>(s)], s + 1, 1);
        pointsGrid->addWidget(distributionBoxes_[static_cast<std::size_t>(s)], s + 1, 2);
    }
    pointsGrid->setColumnStretch(3, 1);

    // Card frequencies and similarity.
    auto* freqPanel = MakePanel(central);
    auto* freqForm = new QFormLayout(freqPanel);
    maxFrequencyBox_ =
        MakeBox(freqPanel, "txtMaxFreq", "Maximum card frequency for any Hand (ave 25%)", true, 110);
    minFrequencyBox_ =
        MakeBox(freqPanel, "txtMinFreq", "Minimum card frequency for any Hand (ave 25%)", true, 110);
    innerSimilarityBox_ = MakeBox(freqPanel, "txtInSim", "Maximum number of identical cards", true, 40);
    innerSimilarBoardsBox_ =
        MakeBox(freqPanel, "txtInDeals", "Board numbers for similar hands within the current set", true, 80);
    auto* simRow = new QHBoxLayout;
    simRow->addWidget(innerSimilarityBox_);
    simRow->addWidget(innerSimilarBoardsBox_);
    simRow->addStretch(1);
    freqForm->addRow("Max frequency:", maxFrequencyBox_);
    freqForm->addRow("Min frequency:", minFrequencyBox_);
    freqForm->addRow("Inner Similarity:", simRow);

    // Hand shape statistics.
    auto* shapesLabel = new QLabel("Hand Shapes", central);
    shapeList_ = new QTreeWidget(central);
    shapeList_->setObjectName("lbxShapes");
    shapeList_->setToolTip("Actual and expected Hand shapes");
    shapeList_->setColumnCount(4);
    shapeList_->setHeaderLabels({"Shape", "Actual", "Expected", "Diffrence"});
    shapeList_->setRootIsDecorated(false);
    shapeList_->setUniformRowHeights(true);
    shapeList_->setAlternatingRowColors(true);
    shapeList_->setSelectionMode(QAbstractItemView::NoSelection);
    shapeList_->setFocusPolicy(Qt::NoFocus);
    shapeList_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Four columns sharing the width of the list.
    shapeList_->header()->setStretchLastSection(false);
    shapeList_->header()->setMinimumSectionSize(40);
    shapeList_->header()->setSectionResizeMode(QHeaderView::Stretch);
    shapeList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int c = 1; c < 4; ++c)
        shapeList_->headerItem()->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    shapeList_->setMinimumWidth(300);
    shapesLabel->setBuddy(shapeList_);

    versionLabel_ = new QLabel(central);
    versionLabel_->setObjectName("lblVersion");
    versionLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* middleRow = new QHBoxLayout;
    middleRow->addWidget(rangePanel, 1);
    middleRow->addWidget(pointsPanel, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(eventPanel);
    left->addLayout(middleRow);
    left->addWidget(freqPanel);
    left->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addWidget(shapesLabel);
    right->addWidget(shapeList_, 1);
    right->addWidget(versionLabel_);

    auto* top = new QHBoxLayout(central);
    top->addLayout(left, 3);
    top->addLayout(right, 2);

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName("StatusBar1");
    setStatusBar(statusBar_);
    // A label rather than a temporary message: menu hints must not wipe the
    // status text.
    statusLabel_ = new QLabel(statusBar_);
    statusLabel_->setObjectName("lblStatus");
    statusBar_->addWidget(statusLabel_, 1);
    historyLabel_ = new QLabel(statusBar_);
    historyLabel_->setObjectName("lblHistory");
    statusBar_->addPermanentWidget(historyLabel_);

    resize(860, 560);
}

void MainWindow::BuildMenus() {
    auto addAction = [this](QWidget* where, const char* name, const char* caption, void (MainWindow::*slot)(),
                            QKeySequence::StandardKey key = QKeySequence::UnknownKey) {
        auto* action = new QAction(caption, this);
        action->setObjectName(name);
        if (key != QKeySequence::UnknownKey) action->setShortcuts(key);
        where->addAction(action);
        connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
        return action;
    };

    QMenuBar* bar = menuBar();
    auto* menuFile = new QMenu("&File", this);
    menuFile->setObjectName("menuFile");
    bar->addMenu(menuFile);
    addAction(menuFile, "menuNew", "&New", &MainWindow::onNewTriggered, QKeySequence::New);
    addAction(menuFile, "menuLoad", "&Load", &MainWindow::onLoadTriggered, QKeySequence::Open);
    auto* save = new QAction("&Save", this);
    save->setObjectName("menuSave");
    save->setShortcuts(QKeySequence::Save);
    menuFile->addAction(save);
    connect(save, &QAction::triggered, this, [this] { onSaveTriggered(); });
    addAction(menuFile, "menuDelete", "&Delete", &MainWindow::onDeleteTriggered);
    QAction* div1 = menuFile->addSeparator();
    div1->setObjectName("div1");
    div1->setParent(this);
    auto* exitAction = new QAction("E&xit", this);
    exitAction->setObjectName("menuExit");
    menuFile->addAction(exitAction);
    connect(exitAction, &QAction::triggered, this, &QWidget::close);

    addAction(bar, "menuDeal", "&Deal", &MainWindow::onDealTriggered);
    addAction(bar, "menuRead", "&Read", &MainWindow::onReadTriggered);
    addAction(bar, "menuEdit", "&Edit", &MainWindow::onEditTriggered);
    addAction(bar, "menuPrint", "&Print", &MainWindow::onPrintTriggered, QKeySequence::Print);
    addAction(bar, "cmdMaintenance", "&Maintenance", &MainWindow::onMaintenanceTriggered);

    auto* menuHelp = new QMenu("&Help", this);
    menuHelp->setObjectName("menuHelp");
    bar->addMenu(menuHelp);
    addAction(menuHelp, "menuContents", "&Contents", &MainWindow::onContentsTriggered,
              QKeySequence::HelpContents);
    addAction(menuHelp, "menuAbout", "&About", &MainWindow::onAboutTriggered);
}

QString MainWindow::statusText() const {
    return statusLabel_->text();
}

void MainWindow::SetStatus(const std::string& text) {
    ctx_.StatusText(text);
}

void MainWindow::ShowStatus(const std::string& text) {
    // Message templates carry margins and line breaks; the status line shows them
    // as one plain line.
    QString shown = ScreenText(PlainMessage(text));
    shown.replace('\n', ' ');
    statusLabel_->setText(shown);
}

void MainWindow::ShowSetTexts() {
    const auto show = [](QLineEdit* box, const std::string& text) {
        const QString value = Utf8(text);
        if (box->text() == value) return;
        const QSignalBlocker block(box);
        box->setText(value);
    };
    show(fileNameBox_, ctx_.set.fileName);
    show(eventNameBox_, ctx_.set.eventName);
    show(eventSiteBox_, ctx_.set.eventSite);
    show(eventDateBox_, ctx_.set.eventDate);
    ShowTitle();
}

void MainWindow::ShowTitle() {
    // "[*]" is where the window system puts the mark of unsaved changes.
    const std::string file = FileNameOf(ctx_.set.fileName);
    const QString caption = QString::fromStdString(MainCaption());
    setWindowTitle("[*]" + (file.empty() ? caption : Utf8(file) + " - " + caption));
    setWindowModified(ctx_.set.modified);
}

void MainWindow::EventTextEdited(QLineEdit* box, std::string& stored) {
    const QString text = box->text();
    // The limit counts characters (code points), not bytes or UTF-16 units.
    if (text.toUcs4().size() < kEventTextLimit) {
        stored = text.toStdString();
    } else {
        const int caret = box->cursorPosition();
        const QString previous = Utf8(stored);
        {
            const QSignalBlocker block(box);
            box->setText(previous);
        }
        box->setCursorPosition(std::clamp(caret - 1, 0, static_cast<int>(previous.size())));
    }
    ctx_.set.modified = true;
    ShowTitle();
}

void MainWindow::RefreshSetDisplay() {
    shapeList_->clear();
    for (QLineEdit* box : {firstBoardBox_, lastBoardBox_, boardCountBox_, completedBox_, innerSimilarityBox_,
                           innerSimilarBoardsBox_, maxFrequencyBox_, minFrequencyBox_}) {
        box->clear();
    }
    for (std::size_t s = 0; s < 4; ++s) {
        hcpBoxes_[s]->clear();
        distributionBoxes_[s]->clear();
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    ShowSetTexts();
    ShowHistoryState();

    BoardSet& set = ctx_.set;
    set.completedCount = 0;
    if (set.lastBoard <= 0) return;
    firstBoardBox_->setText(QString::number(set.firstBoard));
    lastBoardBox_->setText(QString::number(set.lastBoard));
    boardCountBox_->setText(QString::number(set.lastBoard - set.firstBoard + 1));

    const SetStatistics stats = ShapeStatistics(set, ctx_.shapeTally);
    completedBox_->setText(QString::number(set.completedCount));
    for (const ShapeRow& row : stats.rows) {
        auto* item = new QTreeWidgetItem(shapeList_, QStringList{Utf8(row.shape), Utf8(row.actual),
                                                                 Utf8(row.expected), Utf8(row.difference)});
        for (int c = 1; c < 4; ++c)
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (set.completedCount > 0) {
        for (std::size_t s = 0; s < 4; ++s) {
            hcpBoxes_[s]->setText(Utf8(stats.averageHcp[s]));
            distributionBoxes_[s]->setText(Utf8(stats.averageDistrib[s]));
        }
    }
    innerSimilarityBox_->setText(QString::number(stats.innerSimilarity));
    innerSimilarBoardsBox_->setText(QString("%1:%2").arg(stats.innerFirst).arg(stats.innerSecond));
    if (set.completedCount > 0) {
        maxFrequencyBox_->setText(ScreenText(stats.maxFrequency));
        minFrequencyBox_->setText(ScreenText(stats.minFrequency));
    }
}

bool MainWindow::RefuseWithoutSet(const std::string& title) {
    if (ctx_.set.lastBoard >= 1) return false;
    const std::string message = FormatMessage(MsgNoBoardSet);
    SetStatus(message);
    ctx_.dialogs.Show(message, title, Buttons::Ok, Icon::Critical);
    return true;
}

void MainWindow::onContentsTriggered() {
    if (helpWindow_ == nullptr) helpWindow_ = new HelpWindow(this);
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

void MainWindow::onAboutTriggered() {
    ctx_.dialogs.Show("Orvenix Desk\r\nVersion " + VersionText(), "About", Buttons::Ok, Icon::Information);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Anything but Yes or No (Cancel, or the box closed) keeps the program running, and so does a save
    // that did not complete.
    if (!OfferToSave(ctx_, FileHooks(), "Exit")) {
        event->ignore();
        return;
    }
    if (ctx_.history == history_.get()) ctx_.history = nullptr;
    history_.reset();
    ctx_.log.Close();
    event->accept();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) eventNameBox_->setFocus();
}

} // namespace orvenix
