#include "ui/editor/editor_window.h"

#include "analysis/double_dummy.h"
#include "editor/hand_edit.h"
#include "ui/app/numeric_filter.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace orvenix {

static_assert(kStrains == 5, "the table has five strain columns");

namespace {

constexpr std::array<const char*, 4> kSeatNames{"North", "East", "South", "West"};
constexpr std::array<const char*, 4> kSuitNames{"Spade", "Heart", "Diamond", "Club"};
constexpr std::array<const char*, 4> kHandCaptions{"&North", "&East", "&South", "&West"};
constexpr std::array<const char*, 13> kCardTips{
    "Insert card As", "Insert card King", "Insert card Queen", "Insert card Jack", "Insert card 10",
    "Insert Card 9",  "Insert card 8",    "Insert card 7",     "Insert card 6",    "Insert card 5",
    "Insert card 4",  "Insert card 3",    "Insert card 2"};
// Short faces of the swap and rotate buttons; their full captions are the tooltips.
constexpr std::array<const char*, 8> kSwapFaces{"N \u2194 W", "N \u2194 E", "S \u2194 E", "S \u2194 W",
                                                "N \u2194 S", "E \u2194 W", "\u21BA",     "\u21BB"};
// Marker beside the dealer's hand.
constexpr const char* kDealerMarker = "\u25B6";
// Milliseconds before the focus timer gives the focus back; short enough to feel immediate.
constexpr int kFocusTimerInterval = 10;
// The count box takes digits up to this value; counts above 640 mean one deal into the working copy.
constexpr int kCountBoxMaximum = 999;
// The least width of the double-dummy table, so that its messages wrap into few lines.
constexpr int kDoubleDummyWidth = 150;

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void SetBackground(QWidget* widget, QRgb colour, QPalette::ColorRole role) {
    QPalette p = widget->palette();
    p.setColor(role, QColor::fromRgba(colour));
    widget->setPalette(p);
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text = {}, const QString& tip = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    if (!tip.isEmpty()) label->setToolTip(tip);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text, const QString& tip = {}) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    if (!tip.isEmpty()) button->setToolTip(tip);
    // Enter belongs to the window (it moves to the next hand), never to a default button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QLineEdit* MakeBox(QWidget* parent, const QString& name, const QString& tip, bool readOnly, int width) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    if (!tip.isEmpty()) box->setToolTip(tip);
    box->setReadOnly(readOnly);
    if (readOnly) box->setFocusPolicy(Qt::ClickFocus);
    if (width > 0) box->setFixedWidth(width);
    return box;
}

QString SuitSymbol(int suit) {
    return QString::fromUtf8(kSuitSymbolsUtf8[static_cast<std::size_t>(suit - 1)]);
}

QLabel* MakeSymbol(QWidget* parent, const QString& name, int suit) {
    auto* label = MakeLabel(parent, name, SuitSymbol(suit));
    QFont f = label->font();
    f.setPointSize(f.pointSize() + 3);
    label->setFont(f);
    if (suit == 2 || suit == 3) SetBackground(label, 0xFFC00000, QPalette::WindowText);
    return label;
}

void RetainSpace(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

} // namespace

EditorWindow::EditorWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx), editor_(ctx.set) {
    setObjectName("Edit");
    setWindowTitle("Edit Board");
    BuildControls();

    // Opening: the set gets a first board when there is none, the editor starts on the first board.
    editor_.Open();
    fileNameBox_->setText(Utf8(ctx_.set.fileName));
    stackCountLabel_->setText(Utf8(editor_.StackCountText()));
    DisplayBoard();
    StartFocusTimer();
}

EditorWindow::~EditorWindow() {
    if (ddWorker_.joinable()) ddWorker_.join();
}

void EditorWindow::ShowDoubleDummy() {
    const Board& board = editor_.editBoard();
    const int n = ctx_.set.currentBoard;
    Board complete = board;
    complete.status = kBoardComplete; // the working copy counts as complete when every hand holds 13
    const bool analysable = CanAnalyse(complete);
    const auto dd = analysable ? DoubleDummyAnalyser::Shared().Cached(complete, n) : std::nullopt;
    // The table's place stays the same size whether it is filled or not.
    for (QLabel* heading : ddHeadings_)
        heading->setVisible(dd.has_value());
    for (std::size_t seat = 0; seat < ddTricks_.size(); ++seat) {
        for (std::size_t strain = 0; strain < ddTricks_[seat].size(); ++strain)
            ddTricks_[seat][strain]->setText(dd ? QString::number(dd->tricks[seat][strain]) : QString());
    }
    if (!analysable) {
        doubleDummyLabel_->setText("Double dummy: the board is not complete");
        doubleDummyButton_->setEnabled(false);
        return;
    }
    if (!dd) {
        doubleDummyLabel_->setText(ddRunning_ ? "Double dummy: analysing..." : "");
        doubleDummyButton_->setEnabled(!ddRunning_);
        return;
    }
    doubleDummyLabel_->setText(QString::fromStdString(ParLine(dd->par)));
    doubleDummyButton_->setEnabled(false);
}

void EditorWindow::onDoubleDummyClicked() {
    if (ddRunning_) return;
    if (ddWorker_.joinable()) ddWorker_.join(); // the last one has finished: it cleared ddRunning_
    Board board = editor_.editBoard();
    board.status = kBoardComplete;
    const int n = ctx_.set.currentBoard;
    if (!CanAnalyse(board)) return;
    ddRunning_ = true;
    ShowDoubleDummy();
    QPointer<EditorWindow> self(this);
    ddWorker_ = std::thread([board, n, self] {
        std::string error;
        try {
            DoubleDummyAnalyser::Shared().Analyse(board, n);
        } catch (const std::exception& e) {
            error = e.what();
        }
        // Back on the window's thread; the window may have closed meanwhile.
        QMetaObject::invokeMethod(
            qApp,
            [self, error] {
                if (!self) return;
                self->ddRunning_ = false;
                self->ShowDoubleDummy();
                if (!error.empty()) self->doubleDummyLabel_->setText(QString::fromStdString(error));
            },
            Qt::QueuedConnection);
    });
}

void EditorWindow::BuildDoubleDummyTable() {
    ddFrame_ = new QFrame(content_);
    ddFrame_->setObjectName("fraDoubleDummy");
    auto* grid = new QGridLayout(ddFrame_);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setVerticalSpacing(1);
    // Strains in the order of the analysis (clubs to notrump), seats N, E, S, W.
    for (int strain = 0; strain < kStrains; ++strain) {
        const QString text = strain < 4 ? SuitSymbol(4 - strain) : QString("NT");
        QLabel* heading = MakeLabel(ddFrame_, QString("lblDDStrain%1").arg(strain), text);
        if (strain == 1 || strain == 2) SetBackground(heading, 0xFFC00000, QPalette::WindowText);
        heading->setAlignment(Qt::AlignRight);
        ddHeadings_.push_back(heading);
        grid->addWidget(heading, 0, strain + 1);
    }
    for (int seat = 0; seat < 4; ++seat) {
        QLabel* letter =
            MakeLabel(ddFrame_, QString("lblDDSeat%1").arg(seat), QString(QChar(kSeatLetters[seat])));
        ddHeadings_.push_back(letter);
        grid->addWidget(letter, seat + 1, 0);
        for (int strain = 0; strain < kStrains; ++strain) {
            QLabel* cell = MakeLabel(ddFrame_, QString("lblTricks%1%2").arg(seat).arg(strain), "13");
            cell->setAlignment(Qt::AlignRight);
            ddTricks_[static_cast<std::size_t>(seat)][static_cast<std::size_t>(strain)] = cell;
            grid->addWidget(cell, seat + 1, strain + 1);
        }
    }
    // The par, or why there is no table; up to three lines.
    doubleDummyLabel_ = MakeLabel(ddFrame_, "lblDoubleDummy");
    doubleDummyLabel_->setWordWrap(true);
    doubleDummyLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(doubleDummyLabel_, 5, 0, 1, kStrains + 1);
    // Sized once for a full table, so that filling or emptying it never moves anything else.
    const int width = std::max(grid->sizeHint().width(), kDoubleDummyWidth);
    doubleDummyLabel_->setFixedSize(width - 4, 3 * doubleDummyLabel_->fontMetrics().lineSpacing());
    ddFrame_->setFixedSize(ddFrame_->sizeHint());
}

void EditorWindow::BuildControls() {
    auto* outer = new QVBoxLayout(this);
    content_ = new QWidget(this);
    content_->setObjectName("content");
    outer->addWidget(content_);
    auto* main = new QHBoxLayout(content_);

    // ---- The table: four hands round the spare cards, dealer and vulnerability ----------------------
    auto* table = new QGridLayout;
    main->addLayout(table, 1);
    const std::array<std::pair<int, int>, 4> handCell{{{0, 1}, {1, 2}, {2, 1}, {1, 0}}};
    for (int s = 0; s < 4; ++s) {
        auto* hand = new QFrame(content_);
        hand->setObjectName(QString("fraHand%1").arg(s));
        hand->setFrameShape(QFrame::StyledPanel);
        auto* grid = new QGridLayout(hand);
        dealerMarkers_[s] = MakeLabel(hand, QString("lblDealer%1").arg(s), kDealerMarker);
        RetainSpace(dealerMarkers_[s]);
        handCaptions_[s] = MakeLabel(hand, QString("lblHand%1").arg(s), kHandCaptions[s]);
        handCaptions_[s]->setAutoFillBackground(false);
        cardCountLabels_[s] = MakeLabel(hand, QString("lblCnt%1").arg(s), "0",
                                        QString("Card count for the %1 hand").arg(kSeatNames[s]));
        cardCountLabels_[s]->setAutoFillBackground(true);
        cardCountLabels_[s]->setAlignment(Qt::AlignCenter);
        cardCountLabels_[s]->setMinimumWidth(24);
        cardCountLabels_[s]->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        pointsLabels_[s] = MakeLabel(hand, QString("lblHCP%1").arg(s), "0",
                                     QString("HCP count for the %1 hand").arg(kSeatNames[s]));
        pointsLabels_[s]->setAlignment(Qt::AlignCenter);
        pointsLabels_[s]->setMinimumWidth(24);
        grid->addWidget(dealerMarkers_[s], 0, 0);
        grid->addWidget(handCaptions_[s], 0, 1);
        grid->addWidget(cardCountLabels_[s], 0, 2);
        grid->addWidget(pointsLabels_[s], 0, 3);
        std::array<std::array<QLabel*, 4>*, 4> symbols{&spadeSymbols_, &heartSymbols_, &diamondSymbols_,
                                                       &clubSymbols_};
        static constexpr std::array<const char*, 4> kSymbolNames{"lblS", "lblH", "lblD", "lblC"};
        for (int suit = 1; suit <= 4; ++suit) {
            const int index = SuitBoxIndex(s + 1, suit);
            QLabel* symbol = MakeSymbol(hand, QString("%1%2").arg(kSymbolNames[suit - 1]).arg(s), suit);
            (*symbols[suit - 1])[s] = symbol;
            QLineEdit* box =
                MakeBox(hand, QString("txtSuit%1").arg(index),
                        QString("%1 %2 cards").arg(kSeatNames[s], kSuitNames[suit - 1]), false, 0);
            box->setAutoFillBackground(true);
            box->setMinimumWidth(120);
            SetBackground(box, kEditBoxColour, QPalette::Base);
            suitBoxes_[index] = box;
            grid->addWidget(symbol, suit, 0);
            grid->addWidget(box, suit, 1, 1, 3);
            connect(box, &QLineEdit::textChanged, this, [this, index] { onSuitTextChanged(index); });
        }
        handCaptions_[s]->setBuddy(suitBoxes_[SuitBoxIndex(s + 1, 1)]);
        table->addWidget(hand, handCell[s].first, handCell[s].second);
    }

    auto* centre = new QFrame(content_);
    centre->setObjectName("fraCentre");
    auto* centreLayout = new QVBoxLayout(centre);
    auto* spare = new QGridLayout;
    for (int suit = 1; suit <= 4; ++suit) {
        spareSymbols_[suit - 1] = MakeSymbol(centre, QString("lblSpareSymbol%1").arg(suit - 1), suit);
        spareLabels_[suit - 1] = MakeLabel(centre, QString("lblSpare%1").arg(suit - 1), {},
                                           QString("Undistributed %1 suit cards").arg(kSuitNames[suit - 1]));
        RetainSpace(spareLabels_[suit - 1]);
        RetainSpace(spareSymbols_[suit - 1]);
        spare->addWidget(spareSymbols_[suit - 1], suit - 1, 0);
        spare->addWidget(spareLabels_[suit - 1], suit - 1, 1);
    }
    centreLayout->addLayout(spare);
    dealerFrame_ = new QGroupBox("Dealer:", centre);
    dealerFrame_->setObjectName("fraDealer");
    dealerLabel_ = MakeLabel(dealerFrame_, "lblDeal", {}, "Display Dealer for the current board");
    (new QVBoxLayout(dealerFrame_))->addWidget(dealerLabel_);
    vulnerabilityFrame_ = new QGroupBox("Vulnerable:", centre);
    vulnerabilityFrame_->setObjectName("fraVuln");
    vulnerabilityLabel_ =
        MakeLabel(vulnerabilityFrame_, "lblVul", {}, "Display Vulnerability for the current board");
    (new QVBoxLayout(vulnerabilityFrame_))->addWidget(vulnerabilityLabel_);
    auto* dealerRow = new QHBoxLayout;
    dealerRow->addWidget(dealerFrame_);
    dealerRow->addWidget(vulnerabilityFrame_);
    centreLayout->addLayout(dealerRow);
    table->addWidget(centre, 1, 1);
    BuildDoubleDummyTable();
    table->addWidget(ddFrame_, 2, 0, Qt::AlignCenter);

    // Card buttons and the swap and rotate buttons under the table.
    auto* cards = new QHBoxLayout;
    for (int i = 0; i < 13; ++i) {
        cardButtons_[i] =
            MakeButton(content_, QString("cmdCard%1").arg(i), QString(QChar(kRankLetters[i])), kCardTips[i]);
        cardButtons_[i]->setFixedWidth(30);
        cards->addWidget(cardButtons_[i]);
        connect(cardButtons_[i], &QPushButton::clicked, this, [this, i] { onCardClicked(i); });
    }
    table->addLayout(cards, 3, 0, 1, 3);
    auto* swaps = new QHBoxLayout;
    for (int i = 0; i < 8; ++i) {
        swapButtons_[i] = MakeButton(content_, QString("cmdSwap%1").arg(i), kSwapFaces[i], kSwapCaptions[i]);
        swapButtons_[i]->setAccessibleName(kSwapCaptions[i]);
        swaps->addWidget(swapButtons_[i]);
        connect(swapButtons_[i], &QPushButton::clicked, this, [this, i] { onSwapClicked(i); });
    }
    table->addLayout(swaps, 4, 0, 1, 3);

    // ---- The command column ------------------------------------------------------------------------
    auto* side = new QVBoxLayout;
    main->addLayout(side);
    fillButton_ = MakeButton(content_, "cmdFill", "F&ill", "Distribute all remaining cards");
    randomButton_ = MakeButton(content_, "cmdRandom", "&Random", "Generate Random distribution");
    countLabel_ = MakeLabel(content_, "lblCount", "Count:");
    countBox_ = MakeBox(content_, "txtCount", "Count of boards to generate", false, 50);
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(countLabel_);
    countRow->addWidget(countBox_);
    acceptButton_ = MakeButton(content_, "cmdAccept", "A&ccept", "Accept and store current edits");
    restoreButton_ = MakeButton(content_, "cmdRestore", "Res&tore", "Restore saved board");
    side->addWidget(fillButton_);
    side->addWidget(randomButton_);
    side->addLayout(countRow);
    side->addWidget(acceptButton_);
    side->addWidget(restoreButton_);

    auto* position = new QGridLayout;
    currentBoardBox_ = MakeBox(content_, "txtCurrentBoard", {}, true, 50);
    firstBoardBox_ = MakeBox(content_, "txtFirstBoard", {}, true, 50);
    lastBoardBox_ = MakeBox(content_, "txtLastBoard", {}, true, 50);
    totalBoardsBox_ = MakeBox(content_, "txtTotalBoards", {}, true, 50);
    const std::array<std::pair<const char*, QLineEdit*>, 4> rows{{{"Current Board:", currentBoardBox_},
                                                                  {"First Board:", firstBoardBox_},
                                                                  {"Last Board:", lastBoardBox_},
                                                                  {"Total Boards:", totalBoardsBox_}}};
    for (int r = 0; r < 4; ++r) {
        position->addWidget(new QLabel(rows[r].first, content_), r, 0);
        position->addWidget(rows[r].second, r, 1);
    }
    side->addLayout(position);
    firstButton_ = MakeButton(content_, "cmdFirst", "&First");
    previousButton_ = MakeButton(content_, "cmdPrev", "&Prev");
    // Alt+N is North's hand; Next has Page Down.
    nextButton_ = MakeButton(content_, "cmdNext", "Next", "Move to the next board (Page Down)");
    lastButton_ = MakeButton(content_, "cmdLast", "&Last");
    auto* nav = new QHBoxLayout;
    for (QPushButton* b : {firstButton_, previousButton_, nextButton_, lastButton_})
        nav->addWidget(b);
    side->addLayout(nav);
    doubleDummyButton_ = MakeButton(content_, "cmdDoubleDummy", "Double dummy",
                                    "Tricks each declarer makes in each strain, and the par");
    side->addWidget(doubleDummyButton_);
    connect(doubleDummyButton_, &QPushButton::clicked, this, [this] { onDoubleDummyClicked(); });

    setFrame_ = new QGroupBox("Working Set", content_);
    setFrame_->setObjectName("fraSet");
    insertButton_ = MakeButton(setFrame_, "cmdInsert", "Insert", "Insert empty board");
    addButton_ = MakeButton(setFrame_, "cmdAdd", "Add", "Add Empty Board on the end of the Set");
    deleteButton_ = MakeButton(setFrame_, "cmdDelete", "Delete", "Delete the current board");
    shiftLeftButton_ = MakeButton(setFrame_, "cmdShiftLeft", "<< Shift", "Shift all boards left");
    shiftRightButton_ = MakeButton(setFrame_, "cmdShiftRight", "Shift >>", "Shift all boards right");
    auto* setGrid = new QGridLayout(setFrame_);
    setGrid->addWidget(insertButton_, 0, 0);
    setGrid->addWidget(addButton_, 0, 1);
    setGrid->addWidget(deleteButton_, 0, 2);
    setGrid->addWidget(shiftLeftButton_, 1, 0);
    setGrid->addWidget(shiftRightButton_, 1, 2);
    side->addWidget(setFrame_);

    stackFrame_ = new QGroupBox("Temporary Stack", content_);
    stackFrame_->setObjectName("fraStack");
    pushButton_ = MakeButton(stackFrame_, "cmdPush", "Push", "Save the current board on the temporary Stack");
    popButton_ = MakeButton(stackFrame_, "cmdPop", "Pop", "Insert a board from the temporary stack");
    stackCountLabel_ =
        MakeLabel(stackFrame_, "lblStackCnt", {}, "Number of Boards saved on the Temporary stack");
    auto* stackGrid = new QGridLayout(stackFrame_);
    stackGrid->addWidget(pushButton_, 0, 0);
    stackGrid->addWidget(popButton_, 0, 1);
    stackGrid->addWidget(stackCountLabel_, 1, 0, 1, 2);
    side->addWidget(stackFrame_);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel("File Name:", content_));
    fileNameBox_ = MakeBox(content_, "txtFileName", {}, true, 0);
    fileRow->addWidget(fileNameBox_, 1);
    side->addLayout(fileRow);
    side->addStretch(1);
    exitButton_ = MakeButton(content_, "cmdExit", "E&xit", "Exit this screen");
    side->addWidget(exitButton_);

    focusTimer_ = new QTimer(this);
    focusTimer_->setObjectName("Timer3");
    focusTimer_->setInterval(kFocusTimerInterval);
    connect(focusTimer_, &QTimer::timeout, this, &EditorWindow::onFocusTimer);

    connect(fillButton_, &QPushButton::clicked, this, &EditorWindow::onFillClicked);
    connect(randomButton_, &QPushButton::clicked, this, &EditorWindow::onRandomClicked);
    connect(countBox_, &QLineEdit::textEdited, this,
            [this] { NumericFilter(countBox_, countText_, kCountBoxMaximum); });
    connect(acceptButton_, &QPushButton::clicked, this, &EditorWindow::onAcceptClicked);
    connect(restoreButton_, &QPushButton::clicked, this, &EditorWindow::onRestoreClicked);
    connect(firstButton_, &QPushButton::clicked, this, [this] { Navigate(&BoardEditor::First); });
    connect(previousButton_, &QPushButton::clicked, this, [this] { Navigate(&BoardEditor::Prev); });
    connect(nextButton_, &QPushButton::clicked, this, [this] { Navigate(&BoardEditor::Next); });
    connect(lastButton_, &QPushButton::clicked, this, [this] { Navigate(&BoardEditor::Last); });
    connect(insertButton_, &QPushButton::clicked, this, [this] { SetOperation(&BoardEditor::Insert); });
    connect(addButton_, &QPushButton::clicked, this, [this] { SetOperation(&BoardEditor::Add); });
    connect(deleteButton_, &QPushButton::clicked, this, [this] { SetOperation(&BoardEditor::Delete); });
    connect(shiftLeftButton_, &QPushButton::clicked, this, [this] { SetOperation(&BoardEditor::ShiftLeft); });
    connect(shiftRightButton_, &QPushButton::clicked, this,
            [this] { SetOperation(&BoardEditor::ShiftRight); });
    connect(pushButton_, &QPushButton::clicked, this, &EditorWindow::onPushClicked);
    connect(popButton_, &QPushButton::clicked, this, &EditorWindow::onPopClicked);
    connect(exitButton_, &QPushButton::clicked, this, [this] { close(); });

    // Enter anywhere in the window, and the focus colours of the suit boxes and the count box.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (watched == this || isAncestorOf(qobject_cast<QWidget*>(watched)))) {
            if (event->type() == QEvent::KeyPress) EnterPressed();
            event->accept();
            return true;
        }
        // Page Down is Next from anywhere in the window, the suit boxes included.
        if (key->key() == Qt::Key_PageDown && key->modifiers() == Qt::NoModifier &&
            (watched == this || isAncestorOf(qobject_cast<QWidget*>(watched)))) {
            if (event->type() == QEvent::KeyPress && nextButton_->isEnabled()) nextButton_->click();
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        for (int i = 0; i < kSuitBoxCount; ++i) {
            if (watched == suitBoxes_[i]) SuitBoxFocus(i, event->type() == QEvent::FocusIn);
        }
        if (watched == countBox_ && event->type() == QEvent::FocusIn) {
            QTimer::singleShot(0, countBox_, [box = countBox_] { box->selectAll(); });
        }
    }
    return QDialog::eventFilter(watched, event);
}

void EditorWindow::done(int result) {
    // The random fill lets events through while it runs; the window stays until it has finished.
    if (busy_) return;
    if (editor_.NeedsDiscardQuestion()) {
        const Answer answer = ctx_.dialogs.Show("Discard changes?", "Changes not Accepted", Buttons::OkCancel,
                                                Icon::Information);
        if (answer != Answer::Ok) return;
    }
    focusTimer_->stop();
    QDialog::done(result);
}

void EditorWindow::DisplayBoard() {
    editor_.DisplayBoard();
    ShowPosition();
    updating_ = true;
    const Board& board = editor_.editBoard();
    ShowDealer(EffectiveDealer(board, ctx_.set.currentBoard));
    ShowVulnerability(EffectiveVulnerability(board, ctx_.set.currentBoard));
    RefreshEditor();
    updating_ = false;
}

void EditorWindow::ShowPosition() {
    const BoardSet& set = ctx_.set;
    currentBoardBox_->setText(QString::number(set.currentBoard));
    firstBoardBox_->setText(QString::number(set.firstBoard));
    lastBoardBox_->setText(QString::number(set.lastBoard));
    totalBoardsBox_->setText(QString::number(editor_.totalBoards()));
}

void EditorWindow::ShowDealer(int seat) {
    if (seat < 1 || seat > 4) seat = DealerOf(ctx_.set.currentBoard);
    dealerLabel_->setText(QString(QChar(kSeatLetters[seat - 1])));
    for (int s = 0; s < 4; ++s)
        dealerMarkers_[s]->setVisible(s == seat - 1);
}

void EditorWindow::ShowVulnerability(int vulnerability) {
    if (vulnerability < 1 || vulnerability > 4) vulnerability = VulnerabilityOf(ctx_.set.currentBoard);
    vulnerabilityLabel_->setText(kVulnerabilityNames[static_cast<std::size_t>(vulnerability)]);
    const bool ns = vulnerability == 2 || vulnerability == 4;
    const bool ew = vulnerability == 3 || vulnerability == 4;
    for (int s = 0; s < 4; ++s) {
        const bool vulnerable = (s % 2 == 0) ? ns : ew;
        QPalette p = handCaptions_[s]->palette();
        p.setColor(QPalette::WindowText, vulnerable ? QColor::fromRgba(kEditVulnerableColour)
                                                    : palette().color(QPalette::WindowText));
        handCaptions_[s]->setPalette(p);
    }
}

void EditorWindow::RefreshEditor() {
    const bool wasUpdating = updating_;
    // The boxes are rewritten from the board; their change events must not parse the text again.
    updating_ = true;
    const Board& board = editor_.editBoard();
    for (int i = 0; i < kSuitBoxCount; ++i) {
        const QString text = QString::fromLatin1(HandSuitCards(board, i).c_str());
        if (suitBoxes_[i]->text() != text) suitBoxes_[i]->setText(text);
    }
    for (int suit = 1; suit <= 4; ++suit) {
        const std::string spare = SpareCards(board, suit);
        spareLabels_[suit - 1]->setText(QString::fromLatin1(spare.c_str()));
        spareLabels_[suit - 1]->setVisible(!spare.empty());
        spareSymbols_[suit - 1]->setVisible(!spare.empty());
    }
    updating_ = wasUpdating;
    UpdateCounts();
    ShowPosition();
    ShowDoubleDummy();

    const EditorButtons b = editor_.Buttons();
    pushButton_->setEnabled(b.push);
    popButton_->setEnabled(b.pop);
    acceptButton_->setEnabled(b.accept);
    deleteButton_->setEnabled(b.del);
    previousButton_->setEnabled(b.prev);
    firstButton_->setEnabled(b.first);
    nextButton_->setEnabled(b.next);
    lastButton_->setEnabled(b.last);
    shiftRightButton_->setEnabled(b.shiftRight);
    addButton_->setEnabled(b.add);
    insertButton_->setEnabled(b.insert);
    shiftLeftButton_->setEnabled(b.shiftLeft);
    exitButton_->setEnabled(b.exit);
    stackCountLabel_->setText(Utf8(editor_.StackCountText()));
}

void EditorWindow::UpdateCounts() {
    editor_.UpdateCounts();
    const Board& board = editor_.editBoard();
    for (int s = 0; s < 4; ++s) {
        const int count = board.cardCount[s + 1];
        cardCountLabels_[s]->setText(QString::number(count));
        SetBackground(cardCountLabels_[s], count == 13 ? kEditCountComplete : kEditCountIncomplete,
                      QPalette::Window);
        pointsLabels_[s]->setText(QString::number(board.highCardPoints[s + 1]));
    }
    fillButton_->setEnabled(editor_.Buttons().fill);
}

void EditorWindow::onSuitTextChanged(int index) {
    if (updating_) return;
    editor_.SetSuitText(index, suitBoxes_[index]->text().toStdString());
    RefreshEditor();
}

void EditorWindow::SuitBoxFocus(int index, bool in) {
    QLineEdit* box = suitBoxes_[index];
    if (in) {
        SetBackground(box, kEditFocusColour, QPalette::Base);
        currentSuitBox_ = index;
        // After a mouse click the press itself would clear a selection made now.
        box->selectAll();
        QTimer::singleShot(0, box, [box] {
            if (box->hasFocus()) box->selectAll();
        });
    } else {
        SetBackground(box, kEditBoxColour, QPalette::Base);
    }
}

void EditorWindow::onCardClicked(int index) {
    if (currentSuitBox_ >= 0) {
        QLineEdit* box = suitBoxes_[currentSuitBox_];
        box->setText(box->text().trimmed() + QChar(kRankLetters[index]));
    }
    StartFocusTimer();
}

void EditorWindow::onSwapClicked(int index) {
    editor_.Swap(index);
    RefreshEditor();
    StartFocusTimer();
}

void EditorWindow::onFillClicked() {
    editor_.Fill();
    RefreshEditor();
    StartFocusTimer();
}

void EditorWindow::onRandomClicked() {
    if (busy_) return;
    // The fill lets events through; until it ends the controls are off and the window cannot close.
    struct Busy {
        EditorWindow* window;
        explicit Busy(EditorWindow* w) : window(w) {
            window->busy_ = true;
            window->content_->setEnabled(false);
        }
        ~Busy() {
            window->content_->setEnabled(true);
            window->busy_ = false;
        }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;
    };
    RandomFillResult result;
    {
        const Busy busy(this);
        RandomFillServices services;
        services.randomDeal = [this] { return ctx_.random.RandomDeal(); };
        services.tally = &ctx_.shapeTally;
        services.history = ctx_.history;
        services.processEvents = [] { QCoreApplication::processEvents(); };
        result = editor_.RandomFill(countBox_->text().toStdString(), services);
    }
    if (result.count > 0) {
        countText_ = QString::number(result.count);
        countBox_->setText(countText_);
    }
    if (result.stored) {
        DisplayBoard();
    } else {
        RefreshEditor();
    }
    StartFocusTimer();
    ctx_.StatusText(result.statusText);
}

void EditorWindow::onAcceptClicked() {
    const int before = ctx_.set.currentBoard;
    editor_.Accept();
    if (ctx_.set.currentBoard != before) {
        DisplayBoard();
    } else {
        RefreshEditor();
    }
    StartFocusTimer();
}

void EditorWindow::onRestoreClicked() {
    editor_.Restore();
    DisplayBoard();
    StartFocusTimer();
}

void EditorWindow::Navigate(bool (BoardEditor::*move)()) {
    (editor_.*move)();
    DisplayBoard();
    StartFocusTimer();
}

void EditorWindow::SetOperation(bool (BoardEditor::*operation)()) {
    (editor_.*operation)();
    DisplayBoard();
}

void EditorWindow::onPushClicked() {
    editor_.Push();
    DisplayBoard();
}

void EditorWindow::onPopClicked() {
    editor_.Pop();
    DisplayBoard();
    StartFocusTimer();
}

void EditorWindow::EnterPressed() {
    currentSuitBox_ = (currentSuitBox_ + 4) & 12;
    StartFocusTimer();
}

void EditorWindow::StartFocusTimer() {
    focusTimer_->start();
}

void EditorWindow::onFocusTimer() {
    focusTimer_->stop();
    if (currentSuitBox_ >= 0 && currentSuitBox_ < kSuitBoxCount) suitBoxes_[currentSuitBox_]->setFocus();
}

} // namespace orvenix
