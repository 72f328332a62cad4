#include "ui/editor/edit_window.h"

#include "analysis/double_dummy.h"
#include "editor/hand_edit.h"
#include "ui/app/numeric_filter.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace orvenix {

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
// Milliseconds before Timer3 gives the focus back; short enough to feel immediate.
constexpr int kTimer3Interval = 10;
// The count box takes digits up to this value; counts above 640 mean one deal into the working copy.
constexpr int kCountBoxMaximum = 999;

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

Edit::Edit(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx), editor_(ctx.set) {
    setObjectName("Edit");
    setWindowTitle("Edit Board");
    BuildControls();

    // Opening: the set gets a first board when there is none, the editor starts on the first board.
    editor_.Open();
    txtFileName->setText(Utf8(ctx_.set.fileName));
    lblStackCnt->setText(Utf8(editor_.StackCountText()));
    DisplayBoard();
    StartTimer3();
}

Edit::~Edit() {
    if (ddWorker_.joinable()) ddWorker_.join();
}

void Edit::ShowDoubleDummy() {
    const Board& board = editor_.editBoard();
    const int n = ctx_.set.currentBoard;
    Board complete = board;
    complete.status = kBoardComplete; // the working copy counts as complete when every hand holds 13
    if (!CanAnalyse(complete)) {
        lblDoubleDummy->setText("Double dummy: the board is not complete");
        cmdDoubleDummy->setEnabled(false);
        return;
    }
    const auto dd = DoubleDummyAnalyser::Shared().Cached(complete, n);
    if (!dd) {
        lblDoubleDummy->setText(ddRunning_ ? "Double dummy: analysing..." : "");
        cmdDoubleDummy->setEnabled(!ddRunning_);
        return;
    }
    QString text = "     C  D  H  S NT\n";
    for (int seat = 0; seat < 4; ++seat) {
        text += QString("  %1 ").arg(kSeatLetters[seat]);
        for (int s = 0; s < kStrains; ++s)
            text +=
                QString("%1").arg(dd->tricks[static_cast<std::size_t>(seat)][static_cast<std::size_t>(s)], 3);
        text += "\n";
    }
    text += QString::fromStdString(ParLine(dd->par));
    lblDoubleDummy->setText(text);
    cmdDoubleDummy->setEnabled(false);
}

void Edit::cmdDoubleDummy_Click() {
    if (ddRunning_) return;
    if (ddWorker_.joinable()) ddWorker_.join(); // the last one has finished: it cleared ddRunning_
    Board board = editor_.editBoard();
    board.status = kBoardComplete;
    const int n = ctx_.set.currentBoard;
    if (!CanAnalyse(board)) return;
    ddRunning_ = true;
    ShowDoubleDummy();
    QPointer<Edit> self(this);
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
                if (!error.empty()) self->lblDoubleDummy->setText(QString::fromStdString(error));
            },
            Qt::QueuedConnection);
    });
}

void Edit::BuildControls() {
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
        lblDealer[s] = MakeLabel(hand, QString("lblDealer%1").arg(s), kDealerMarker);
        RetainSpace(lblDealer[s]);
        lblHand[s] = MakeLabel(hand, QString("lblHand%1").arg(s), kHandCaptions[s]);
        lblHand[s]->setAutoFillBackground(false);
        lblCnt[s] = MakeLabel(hand, QString("lblCnt%1").arg(s), "0",
                              QString("Card count for the %1 hand").arg(kSeatNames[s]));
        lblCnt[s]->setAutoFillBackground(true);
        lblCnt[s]->setAlignment(Qt::AlignCenter);
        lblCnt[s]->setMinimumWidth(24);
        lblHCP[s] = MakeLabel(hand, QString("lblHCP%1").arg(s), "0",
                              QString("HCP count for the %1 hand").arg(kSeatNames[s]));
        lblHCP[s]->setAlignment(Qt::AlignCenter);
        lblHCP[s]->setMinimumWidth(24);
        grid->addWidget(lblDealer[s], 0, 0);
        grid->addWidget(lblHand[s], 0, 1);
        grid->addWidget(lblCnt[s], 0, 2);
        grid->addWidget(lblHCP[s], 0, 3);
        std::array<std::array<QLabel*, 4>*, 4> symbols{&lblS, &lblH, &lblD, &lblC};
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
            txtSuit[index] = box;
            grid->addWidget(symbol, suit, 0);
            grid->addWidget(box, suit, 1, 1, 3);
            connect(box, &QLineEdit::textChanged, this, [this, index] { SuitTextChanged(index); });
        }
        lblHand[s]->setBuddy(txtSuit[SuitBoxIndex(s + 1, 1)]);
        table->addWidget(hand, handCell[s].first, handCell[s].second);
    }

    auto* centre = new QFrame(content_);
    centre->setObjectName("fraCentre");
    auto* centreLayout = new QVBoxLayout(centre);
    auto* spare = new QGridLayout;
    for (int suit = 1; suit <= 4; ++suit) {
        lblSpareSymbol[suit - 1] = MakeSymbol(centre, QString("lblSpareSymbol%1").arg(suit - 1), suit);
        lblSpare[suit - 1] = MakeLabel(centre, QString("lblSpare%1").arg(suit - 1), {},
                                       QString("Undistributed %1 suit cards").arg(kSuitNames[suit - 1]));
        RetainSpace(lblSpare[suit - 1]);
        RetainSpace(lblSpareSymbol[suit - 1]);
        spare->addWidget(lblSpareSymbol[suit - 1], suit - 1, 0);
        spare->addWidget(lblSpare[suit - 1], suit - 1, 1);
    }
    centreLayout->addLayout(spare);
    fraDealer = new QGroupBox("Dealer:", centre);
    fraDealer->setObjectName("fraDealer");
    lblDeal = MakeLabel(fraDealer, "lblDeal", {}, "Display Dealer for the current board");
    (new QVBoxLayout(fraDealer))->addWidget(lblDeal);
    fraVuln = new QGroupBox("Vulnerable:", centre);
    fraVuln->setObjectName("fraVuln");
    lblVul = MakeLabel(fraVuln, "lblVul", {}, "Display Vulnerability for the current board");
    (new QVBoxLayout(fraVuln))->addWidget(lblVul);
    auto* dealerRow = new QHBoxLayout;
    dealerRow->addWidget(fraDealer);
    dealerRow->addWidget(fraVuln);
    centreLayout->addLayout(dealerRow);
    table->addWidget(centre, 1, 1);

    // Card buttons and the swap and rotate buttons under the table.
    auto* cards = new QHBoxLayout;
    for (int i = 0; i < 13; ++i) {
        cmdCard[i] =
            MakeButton(content_, QString("cmdCard%1").arg(i), QString(QChar(kRankLetters[i])), kCardTips[i]);
        cmdCard[i]->setFixedWidth(30);
        cards->addWidget(cmdCard[i]);
        connect(cmdCard[i], &QPushButton::clicked, this, [this, i] { cmdCard_Click(i); });
    }
    table->addLayout(cards, 3, 0, 1, 3);
    auto* swaps = new QHBoxLayout;
    for (int i = 0; i < 8; ++i) {
        cmdSwap[i] = MakeButton(content_, QString("cmdSwap%1").arg(i), kSwapFaces[i], kSwapCaptions[i]);
        cmdSwap[i]->setAccessibleName(kSwapCaptions[i]);
        swaps->addWidget(cmdSwap[i]);
        connect(cmdSwap[i], &QPushButton::clicked, this, [this, i] { cmdSwap_Click(i); });
    }
    table->addLayout(swaps, 4, 0, 1, 3);

    // ---- The command column ------------------------------------------------------------------------
    auto* side = new QVBoxLayout;
    main->addLayout(side);
    cmdFill = MakeButton(content_, "cmdFill", "F&ill", "Distribute all remaining cards");
    cmdRandom = MakeButton(content_, "cmdRandom", "&Random", "Generate Random distribution");
    lblCount = MakeLabel(content_, "lblCount", "Count:");
    txtCount = MakeBox(content_, "txtCount", "Count of boards to generate", false, 50);
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(lblCount);
    countRow->addWidget(txtCount);
    cmdAccept = MakeButton(content_, "cmdAccept", "A&ccept", "Accept and store current edits");
    cmdRestore = MakeButton(content_, "cmdRestore", "Res&tore", "Restore saved board");
    side->addWidget(cmdFill);
    side->addWidget(cmdRandom);
    side->addLayout(countRow);
    side->addWidget(cmdAccept);
    side->addWidget(cmdRestore);

    auto* position = new QGridLayout;
    txtCurrentBoard = MakeBox(content_, "txtCurrentBoard", {}, true, 50);
    txtFirstBoard = MakeBox(content_, "txtFirstBoard", {}, true, 50);
    txtLastBoard = MakeBox(content_, "txtLastBoard", {}, true, 50);
    txtTotalBoards = MakeBox(content_, "txtTotalBoards", {}, true, 50);
    const std::array<std::pair<const char*, QLineEdit*>, 4> rows{{{"Current Board:", txtCurrentBoard},
                                                                  {"First Board:", txtFirstBoard},
                                                                  {"Last Board:", txtLastBoard},
                                                                  {"Total Boards:", txtTotalBoards}}};
    for (int r = 0; r < 4; ++r) {
        position->addWidget(new QLabel(rows[r].first, content_), r, 0);
        position->addWidget(rows[r].second, r, 1);
    }
    side->addLayout(position);
    cmdFirst = MakeButton(content_, "cmdFirst", "&First");
    cmdPrev = MakeButton(content_, "cmdPrev", "&Prev");
    cmdNext = MakeButton(content_, "cmdNext", "&Next");
    cmdLast = MakeButton(content_, "cmdLast", "&Last");
    auto* nav = new QHBoxLayout;
    for (QPushButton* b : {cmdFirst, cmdPrev, cmdNext, cmdLast})
        nav->addWidget(b);
    side->addLayout(nav);
    cmdDoubleDummy = MakeButton(content_, "cmdDoubleDummy", "Double dummy",
                                "Tricks each declarer makes in each strain, and the par");
    lblDoubleDummy = MakeLabel(content_, "lblDoubleDummy");
    lblDoubleDummy->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    side->addWidget(cmdDoubleDummy);
    side->addWidget(lblDoubleDummy);
    connect(cmdDoubleDummy, &QPushButton::clicked, this, [this] { cmdDoubleDummy_Click(); });

    fraSet = new QGroupBox("Working Set", content_);
    fraSet->setObjectName("fraSet");
    cmdInsert = MakeButton(fraSet, "cmdInsert", "Insert", "Insert empty board");
    cmdAdd = MakeButton(fraSet, "cmdAdd", "Add", "Add Empty Board on the end of the Set");
    cmdDelete = MakeButton(fraSet, "cmdDelete", "Delete", "Delete the current board");
    cmdShiftLeft = MakeButton(fraSet, "cmdShiftLeft", "<< Shift", "Shift all boards left");
    cmdShiftRight = MakeButton(fraSet, "cmdShiftRight", "Shift >>", "Shift all boards right");
    auto* setGrid = new QGridLayout(fraSet);
    setGrid->addWidget(cmdInsert, 0, 0);
    setGrid->addWidget(cmdAdd, 0, 1);
    setGrid->addWidget(cmdDelete, 0, 2);
    setGrid->addWidget(cmdShiftLeft, 1, 0);
    setGrid->addWidget(cmdShiftRight, 1, 2);
    side->addWidget(fraSet);

    fraStack = new QGroupBox("Temporary Stack", content_);
    fraStack->setObjectName("fraStack");
    cmdPush = MakeButton(fraStack, "cmdPush", "Push", "Save the current board on the temporary Stack");
    cmdPop = MakeButton(fraStack, "cmdPop", "Pop", "Insert a board from the temporary stack");
    lblStackCnt = MakeLabel(fraStack, "lblStackCnt", {}, "Number of Boards saved on the Temporary stack");
    auto* stackGrid = new QGridLayout(fraStack);
    stackGrid->addWidget(cmdPush, 0, 0);
    stackGrid->addWidget(cmdPop, 0, 1);
    stackGrid->addWidget(lblStackCnt, 1, 0, 1, 2);
    side->addWidget(fraStack);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel("File Name:", content_));
    txtFileName = MakeBox(content_, "txtFileName", {}, true, 0);
    fileRow->addWidget(txtFileName, 1);
    side->addLayout(fileRow);
    side->addStretch(1);
    cmdExit = MakeButton(content_, "cmdExit", "E&xit", "Exit this screen");
    side->addWidget(cmdExit);

    Timer3 = new QTimer(this);
    Timer3->setObjectName("Timer3");
    Timer3->setInterval(kTimer3Interval);
    connect(Timer3, &QTimer::timeout, this, &Edit::Timer3_Timer);

    connect(cmdFill, &QPushButton::clicked, this, &Edit::cmdFill_Click);
    connect(cmdRandom, &QPushButton::clicked, this, &Edit::cmdRandom_Click);
    connect(txtCount, &QLineEdit::textEdited, this,
            [this] { NumericFilter(txtCount, countText_, kCountBoxMaximum); });
    connect(cmdAccept, &QPushButton::clicked, this, &Edit::cmdAccept_Click);
    connect(cmdRestore, &QPushButton::clicked, this, &Edit::cmdRestore_Click);
    connect(cmdFirst, &QPushButton::clicked, this, [this] { Navigate(&BoardEditor::First); });
    connect(cmdPrev, &QPushButton::clicked, this, [this] { Navigate(&BoardEditor::Prev); });
    connect(cmdNext, &QPushButton::clicked, this, [this] { Navigate(&BoardEditor::Next); });
    connect(cmdLast, &QPushButton::clicked, this, [this] { Navigate(&BoardEditor::Last); });
    connect(cmdInsert, &QPushButton::clicked, this, [this] { SetOperation(&BoardEditor::Insert); });
    connect(cmdAdd, &QPushButton::clicked, this, [this] { SetOperation(&BoardEditor::Add); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { SetOperation(&BoardEditor::Delete); });
    connect(cmdShiftLeft, &QPushButton::clicked, this, [this] { SetOperation(&BoardEditor::ShiftLeft); });
    connect(cmdShiftRight, &QPushButton::clicked, this, [this] { SetOperation(&BoardEditor::ShiftRight); });
    connect(cmdPush, &QPushButton::clicked, this, &Edit::cmdPush_Click);
    connect(cmdPop, &QPushButton::clicked, this, &Edit::cmdPop_Click);
    connect(cmdExit, &QPushButton::clicked, this, [this] { close(); });

    // Enter anywhere in the window, and the focus colours of the suit boxes and the count box.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool Edit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (watched == this || isAncestorOf(qobject_cast<QWidget*>(watched)))) {
            if (event->type() == QEvent::KeyPress) EnterPressed();
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        for (int i = 0; i < kSuitBoxCount; ++i) {
            if (watched == txtSuit[i]) SuitBoxFocus(i, event->type() == QEvent::FocusIn);
        }
        if (watched == txtCount && event->type() == QEvent::FocusIn) {
            QTimer::singleShot(0, txtCount, [box = txtCount] { box->selectAll(); });
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Edit::done(int result) {
    // The random fill lets events through while it runs; the window stays until it has finished.
    if (busy_) return;
    if (editor_.NeedsDiscardQuestion()) {
        const Answer answer = ctx_.dialogs.Show("Discard changes?", "Changes not Accepted", Buttons::OkCancel,
                                                Icon::Information);
        if (answer != Answer::Ok) return;
    }
    Timer3->stop();
    QDialog::done(result);
}

void Edit::DisplayBoard() {
    editor_.DisplayBoard();
    ShowPosition();
    updating_ = true;
    const Board& board = editor_.editBoard();
    ShowDealer(EffectiveDealer(board, ctx_.set.currentBoard));
    ShowVulnerability(EffectiveVulnerability(board, ctx_.set.currentBoard));
    RefreshEditor();
    updating_ = false;
}

void Edit::ShowPosition() {
    const BoardSet& set = ctx_.set;
    txtCurrentBoard->setText(QString::number(set.currentBoard));
    txtFirstBoard->setText(QString::number(set.firstBoard));
    txtLastBoard->setText(QString::number(set.lastBoard));
    txtTotalBoards->setText(QString::number(editor_.totalBoards()));
}

void Edit::ShowDealer(int seat) {
    if (seat < 1 || seat > 4) seat = DealerOf(ctx_.set.currentBoard);
    lblDeal->setText(QString(QChar(kSeatLetters[seat - 1])));
    for (int s = 0; s < 4; ++s)
        lblDealer[s]->setVisible(s == seat - 1);
}

void Edit::ShowVulnerability(int vulnerability) {
    if (vulnerability < 1 || vulnerability > 4) vulnerability = VulnerabilityOf(ctx_.set.currentBoard);
    lblVul->setText(kVulnerabilityNames[static_cast<std::size_t>(vulnerability)]);
    const bool ns = vulnerability == 2 || vulnerability == 4;
    const bool ew = vulnerability == 3 || vulnerability == 4;
    for (int s = 0; s < 4; ++s) {
        const bool vulnerable = (s % 2 == 0) ? ns : ew;
        QPalette p = lblHand[s]->palette();
        p.setColor(QPalette::WindowText, vulnerable ? QColor::fromRgba(kEditVulnerableColour)
                                                    : palette().color(QPalette::WindowText));
        lblHand[s]->setPalette(p);
    }
}

void Edit::RefreshEditor() {
    const bool wasUpdating = updating_;
    // The boxes are rewritten from the board; their change events must not parse the text again.
    updating_ = true;
    const Board& board = editor_.editBoard();
    for (int i = 0; i < kSuitBoxCount; ++i) {
        const QString text = QString::fromLatin1(HandSuitCards(board, i).c_str());
        if (txtSuit[i]->text() != text) txtSuit[i]->setText(text);
    }
    for (int suit = 1; suit <= 4; ++suit) {
        const std::string spare = SpareCards(board, suit);
        lblSpare[suit - 1]->setText(QString::fromLatin1(spare.c_str()));
        lblSpare[suit - 1]->setVisible(!spare.empty());
        lblSpareSymbol[suit - 1]->setVisible(!spare.empty());
    }
    updating_ = wasUpdating;
    UpdateCounts();
    ShowPosition();
    ShowDoubleDummy();

    const EditorButtons b = editor_.Buttons();
    cmdPush->setEnabled(b.push);
    cmdPop->setEnabled(b.pop);
    cmdAccept->setEnabled(b.accept);
    cmdDelete->setEnabled(b.del);
    cmdPrev->setEnabled(b.prev);
    cmdFirst->setEnabled(b.first);
    cmdNext->setEnabled(b.next);
    cmdLast->setEnabled(b.last);
    cmdShiftRight->setEnabled(b.shiftRight);
    cmdAdd->setEnabled(b.add);
    cmdInsert->setEnabled(b.insert);
    cmdShiftLeft->setEnabled(b.shiftLeft);
    cmdExit->setEnabled(b.exit);
    lblStackCnt->setText(Utf8(editor_.StackCountText()));
}

void Edit::UpdateCounts() {
    editor_.UpdateCounts();
    const Board& board = editor_.editBoard();
    for (int s = 0; s < 4; ++s) {
        const int count = board.cardCount[s + 1];
        lblCnt[s]->setText(QString::number(count));
        SetBackground(lblCnt[s], count == 13 ? kEditCountComplete : kEditCountIncomplete, QPalette::Window);
        lblHCP[s]->setText(QString::number(board.highCardPoints[s + 1]));
    }
    cmdFill->setEnabled(editor_.Buttons().fill);
}

void Edit::SuitTextChanged(int index) {
    if (updating_) return;
    editor_.SetSuitText(index, txtSuit[index]->text().toStdString());
    RefreshEditor();
}

void Edit::SuitBoxFocus(int index, bool in) {
    QLineEdit* box = txtSuit[index];
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

void Edit::cmdCard_Click(int index) {
    if (currentSuitBox_ >= 0) {
        QLineEdit* box = txtSuit[currentSuitBox_];
        box->setText(box->text().trimmed() + QChar(kRankLetters[index]));
    }
    StartTimer3();
}

void Edit::cmdSwap_Click(int index) {
    editor_.Swap(index);
    RefreshEditor();
    StartTimer3();
}

void Edit::cmdFill_Click() {
    editor_.Fill();
    RefreshEditor();
    StartTimer3();
}

void Edit::cmdRandom_Click() {
    if (busy_) return;
    // The fill lets events through; until it ends the controls are off and the window cannot close.
    struct Busy {
        Edit* window;
        explicit Busy(Edit* w) : window(w) {
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
        result = editor_.RandomFill(txtCount->text().toStdString(), services);
    }
    if (result.count > 0) {
        countText_ = QString::number(result.count);
        txtCount->setText(countText_);
    }
    if (result.stored) {
        DisplayBoard();
    } else {
        RefreshEditor();
    }
    StartTimer3();
    ctx_.StatusText(result.statusText);
}

void Edit::cmdAccept_Click() {
    const int before = ctx_.set.currentBoard;
    editor_.Accept();
    if (ctx_.set.currentBoard != before) {
        DisplayBoard();
    } else {
        RefreshEditor();
    }
    StartTimer3();
}

void Edit::cmdRestore_Click() {
    editor_.Restore();
    DisplayBoard();
    StartTimer3();
}

void Edit::Navigate(bool (BoardEditor::*move)()) {
    (editor_.*move)();
    DisplayBoard();
    StartTimer3();
}

void Edit::SetOperation(bool (BoardEditor::*operation)()) {
    (editor_.*operation)();
    DisplayBoard();
}

void Edit::cmdPush_Click() {
    editor_.Push();
    DisplayBoard();
}

void Edit::cmdPop_Click() {
    editor_.Pop();
    DisplayBoard();
    StartTimer3();
}

void Edit::EnterPressed() {
    currentSuitBox_ = (currentSuitBox_ + 4) & 12;
    StartTimer3();
}

void Edit::StartTimer3() {
    Timer3->start();
}

void Edit::Timer3_Timer() {
    Timer3->stop();
    if (currentSuitBox_ >= 0 && currentSuitBox_ < kSuitBoxCount) txtSuit[currentSuitBox_]->setFocus();
}

} // namespace orvenix
