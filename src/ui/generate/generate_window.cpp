#include "ui/generate/generate_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace orvenix {

namespace {

constexpr int kNumberMaximum = 999;

void SetBase(QLineEdit* box, const QColor& colour) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base, colour);
    box->setPalette(p);
    box->setAutoFillBackground(true);
}

QLineEdit* MakeResultBox(QWidget* parent, const char* name, int width) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    // The results are the program's to write.
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    // Counts and similarities are short; the file name takes what room there is.
    if (width > 0) box->setFixedWidth(width);
    return box;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, QWidget* buddy = nullptr) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(name);
    if (buddy != nullptr) label->setBuddy(buddy);
    return label;
}

// Shows the hourglass for as long as it lives.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

bool GenerateNumberAllowed(const QString& text) {
    if (text.isEmpty()) return true;
    if (text.front() == QLatin1Char('0')) return false;
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
        value = value * 10 + (c.unicode() - '0');
        if (value > kNumberMaximum) return false;
    }
    return true;
}

QColor Generate::DisabledFieldColour() {
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

Generate::Generate(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName("Generate");
    setWindowTitle("Generate New Boards Set");
    BuildControls();

    connect(txtFirstBoard, &QLineEdit::textChanged, this,
            [this] { NumberChanged(txtFirstBoard, lastFirst_); });
    connect(txtLastBoard, &QLineEdit::textChanged, this, [this] { NumberChanged(txtLastBoard, lastLast_); });
    connect(generate_yes, &QRadioButton::toggled, this, [this](bool on) {
        if (on) GenerateOption_Click();
    });
    connect(generate_no, &QRadioButton::toggled, this, [this](bool on) {
        if (on) GenerateOption_Click();
    });
    connect(Reject_shape, &QCheckBox::clicked, this, [this] { FilterCheck_Click(shapeFields_); });
    connect(Reject_inner, &QCheckBox::clicked, this, [this] { FilterCheck_Click(innerFields_); });
    connect(Reject_history, &QCheckBox::clicked, this, [this] { FilterCheck_Click(historyFields_); });
    connect(cmdDeal, &QPushButton::clicked, this, &Generate::cmdDeal_Click);
    connect(cmdExit, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
    txtLastBoard->installEventFilter(this);

    // Opening state: random boards with every filter on.
    generate_yes->setChecked(true);
    GenerateOption_Click();
}

Generate::~Generate() = default;

void Generate::BuildControls() {
    auto* outer = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* numbers = new QGridLayout;
    txtFirstBoard = new QLineEdit(QStringLiteral("1"), this);
    txtFirstBoard->setObjectName("txtFirstBoard");
    txtFirstBoard->setMaximumWidth(60);
    txtLastBoard = new QLineEdit(QStringLiteral("32"), this);
    txtLastBoard->setObjectName("txtLastBoard");
    txtLastBoard->setMaximumWidth(60);
    lblFirst = MakeLabel(this, "lblFirst", "First Board in set:", txtFirstBoard);
    lblLast = MakeLabel(this, "lblLast", "Last Board in set:", txtLastBoard);
    numbers->addWidget(lblFirst, 0, 0);
    numbers->addWidget(txtFirstBoard, 0, 1);
    numbers->addWidget(lblLast, 1, 0);
    numbers->addWidget(txtLastBoard, 1, 1);
    top->addLayout(numbers);
    top->addSpacing(24);
    auto* options = new QVBoxLayout;
    generate_yes = new QRadioButton("Generate random boards", this);
    generate_yes->setObjectName("generate_yes");
    generate_no = new QRadioButton("Leave boards empty", this);
    generate_no->setObjectName("generate_no");
    options->addWidget(generate_yes);
    options->addWidget(generate_no);
    top->addLayout(options);
    top->addStretch(1);
    outer->addLayout(top);

    // Shape filter.
    FrameShp = new QGroupBox("Shape reject", this);
    FrameShp->setObjectName("FrameShp");
    {
        auto* grid = new QGridLayout(FrameShp);
        Reject_shape = new QCheckBox("Reject odd shapes", FrameShp);
        Reject_shape->setObjectName("Reject_shape");
        txtShpRejects = MakeResultBox(FrameShp, "txtShpRejects", 60);
        lblShpRejects = MakeLabel(FrameShp, "lblShpRejects", "Shapes rejected:", txtShpRejects);
        grid->addWidget(Reject_shape, 0, 0, 1, 2);
        grid->addWidget(lblShpRejects, 1, 0);
        grid->addWidget(txtShpRejects, 1, 1);
        grid->setColumnStretch(2, 1);
    }
    outer->addWidget(FrameShp);

    // Inner similarity filter.
    FrameInn = new QGroupBox("Inner similarity reject", this);
    FrameInn->setObjectName("FrameInn");
    {
        auto* grid = new QGridLayout(FrameInn);
        Reject_inner = new QCheckBox("Check inner similarity", FrameInn);
        Reject_inner->setObjectName("Reject_inner");
        txtInnRejects = MakeResultBox(FrameInn, "txtInnRejects", 60);
        lblInnRejects = MakeLabel(FrameInn, "lblInnRejects", "Inner Similarity Rejected:", txtInnRejects);
        txtInnSim = MakeResultBox(FrameInn, "txtInnSim", 100);
        lblInnSim = MakeLabel(FrameInn, "lblInnSim", "Inner similarity:", txtInnSim);
        grid->addWidget(Reject_inner, 0, 0, 1, 2);
        grid->addWidget(lblInnRejects, 1, 0);
        grid->addWidget(txtInnRejects, 1, 1);
        grid->addWidget(lblInnSim, 2, 0);
        grid->addWidget(txtInnSim, 2, 1);
        grid->setColumnStretch(2, 1);
    }
    outer->addWidget(FrameInn);

    // History filter.
    FrameHis = new QGroupBox("History reject", this);
    FrameHis->setObjectName("FrameHis");
    {
        auto* grid = new QGridLayout(FrameHis);
        Reject_history = new QCheckBox("Check history file", FrameHis);
        Reject_history->setObjectName("Reject_history");
        txtHisRejects = MakeResultBox(FrameHis, "txtHisRejects", 60);
        lblHisRejects = MakeLabel(FrameHis, "lblHisRejects", "History Rejected:", txtHisRejects);
        txtOuSim = MakeResultBox(FrameHis, "txtOuSim", 100);
        lblHistoricSimilarity =
            MakeLabel(FrameHis, "lblHistoricSimilarity", "Historic Similarity:", txtOuSim);
        txtOuDeals = MakeResultBox(FrameHis, "txtOuDeals", 0);
        txtOuDeals->setMinimumWidth(160);
        lblHistFile = MakeLabel(FrameHis, "lblHistFile", "Historic File:", txtOuDeals);
        grid->addWidget(Reject_history, 0, 0, 1, 2);
        grid->addWidget(lblHisRejects, 1, 0);
        grid->addWidget(txtHisRejects, 1, 1);
        grid->addWidget(lblHistoricSimilarity, 2, 0);
        grid->addWidget(txtOuSim, 2, 1);
        grid->addWidget(lblHistFile, 3, 0);
        grid->addWidget(txtOuDeals, 3, 1, 1, 2);
        grid->setColumnStretch(2, 1);
    }
    outer->addWidget(FrameHis);

    auto* count = new QHBoxLayout;
    BoardsGen = MakeResultBox(this, "BoardsGen", 60);
    lblBoardsGen = MakeLabel(this, "lblBoardsGen", "Boards generated:", BoardsGen);
    count->addWidget(lblBoardsGen);
    count->addWidget(BoardsGen);
    count->addStretch(1);
    outer->addLayout(count);

    auto* buttons = new QHBoxLayout;
    cmdDeal = new QPushButton("&Generate Boards", this);
    cmdDeal->setObjectName("cmdDeal");
    cmdExit = new QPushButton("E&xit", this);
    cmdExit->setObjectName("cmdExit");
    // No default button until a run has chosen one.
    for (QPushButton* b : {cmdDeal, cmdExit}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    buttons->addStretch(1);
    buttons->addWidget(cmdDeal);
    buttons->addWidget(cmdExit);
    outer->addLayout(buttons);

    shapeFields_ = {FrameShp, Reject_shape, {txtShpRejects}, {lblShpRejects}};
    innerFields_ = {FrameInn, Reject_inner, {txtInnRejects, txtInnSim}, {lblInnRejects, lblInnSim}};
    historyFields_ = {FrameHis,
                      Reject_history,
                      {txtHisRejects, txtOuSim, txtOuDeals},
                      {lblHisRejects, lblHistoricSimilarity, lblHistFile}};
    for (QCheckBox* c : {Reject_shape, Reject_inner, Reject_history})
        c->setChecked(true);
}

void Generate::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_) return;
    activated_ = true;
    txtLastBoard->setFocus(Qt::OtherFocusReason);
    txtLastBoard->setCursorPosition(static_cast<int>(txtLastBoard->text().size()));
}

bool Generate::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtLastBoard && event->type() == QEvent::FocusIn) {
        // After the line edit's own handling of the focus (a click would place the caret).
        QTimer::singleShot(0, txtLastBoard, [box = txtLastBoard] { box->selectAll(); });
    }
    return QDialog::eventFilter(watched, event);
}

void Generate::NumberChanged(QLineEdit* box, QString& lastAccepted) {
    const QString text = box->text();
    if (GenerateNumberAllowed(text)) {
        lastAccepted = text;
        return;
    }
    const int caret = box->cursorPosition();
    {
        const QSignalBlocker block(box);
        box->setText(lastAccepted);
    }
    box->setCursorPosition(std::clamp(caret - 1, 0, static_cast<int>(lastAccepted.size())));
}

void Generate::GenerateOption_Click() {
    const bool random = generate_yes->isChecked();
    for (FilterFields* f : {&shapeFields_, &innerFields_, &historyFields_}) {
        f->frame->setEnabled(random);
        f->check->setEnabled(random);
        if (random) FilterCheck_Click(*f);
    }
}

void Generate::FilterCheck_Click(FilterFields& filter) {
    const bool on = filter.check->isChecked();
    for (QLineEdit* box : filter.boxes) {
        box->setEnabled(on);
        box->clear();
        SetBase(box, on ? QColor::fromRgb(kResultFieldColour) : DisabledFieldColour());
    }
    for (QLabel* label : filter.labels)
        label->setEnabled(on);
}

void Generate::MakeDefaultButton(QPushButton* button) {
    QPushButton* other = button == cmdDeal ? cmdExit : cmdDeal;
    other->setDefault(false);
    button->setEnabled(true);
    button->setDefault(true);
    button->setFocus(Qt::OtherFocusReason);
}

void Generate::ShowResults(const GenerateResult& r) {
    const auto number = [](int n) { return QString::number(n); };
    const auto mark = [](QLineEdit* box, bool bad) {
        SetBase(box, QColor::fromRgb(bad ? kResultBadColour : kResultGoodColour));
    };
    if (Reject_history->isChecked()) {
        txtHisRejects->setText(number(r.historyRejects));
        mark(txtHisRejects, r.historyRejects > 0);
        txtOuSim->setText(
            QString::fromStdString(SimilarityText(r.historyMax, r.historyBoard, r.historyOther)));
        txtOuDeals->setText(QString::fromStdString(r.historyFile));
    }
    if (Reject_inner->isChecked()) {
        txtInnRejects->setText(number(r.innerRejects));
        mark(txtInnRejects, r.innerRejects > 0);
        txtInnSim->setText(QString::fromStdString(SimilarityText(r.innerMax, r.innerBoard, r.innerOther)));
    }
    if (Reject_shape->isChecked()) {
        txtShpRejects->setText(number(r.shapeRejects));
        mark(txtShpRejects, ShapeRejectsWarn(r.shapeRejects));
    }
}

void Generate::cmdDeal_Click() {
    if (busy_) return;
    busy_ = true;
    cmdExit->setEnabled(false);
    cmdDeal->setEnabled(false);
    for (QLineEdit* box : {txtShpRejects, txtHisRejects, txtOuSim, txtOuDeals})
        box->clear();

    GenerateChoices choices;
    choices.first = txtFirstBoard->text().toInt(); // empty: 0
    choices.last = txtLastBoard->text().toInt();
    choices.randomBoards = generate_yes->isChecked();
    choices.rejectShape = Reject_shape->isChecked();
    choices.rejectInner = Reject_inner->isChecked();
    choices.rejectHistory = Reject_history->isChecked();

    {
        std::unique_ptr<WaitCursor> wait;
        // The hourglass only once the numbers have been accepted; the refusal boxes come first.
        const bool numbersOk =
            choices.first >= 1 && choices.first <= choices.last && choices.last <= kMaxBoard;
        if (numbersOk) wait = std::make_unique<WaitCursor>();
        result_ = GenerateBoardSet(
            ctx_.Generation(), choices,
            [this](int generated) {
                BoardsGen->setText(QString::number(generated));
                // The window stays responsive while the boards are made.
                QCoreApplication::processEvents();
            },
            candidates_);
    }

    if (result_.outcome == GenerateOutcome::Refused) {
        QLineEdit* box = result_.focus == GenerateField::Last ? txtLastBoard : txtFirstBoard;
        box->setFocus(Qt::OtherFocusReason);
    } else if (result_.outcome == GenerateOutcome::Generated) {
        ShowResults(result_);
        MakeDefaultButton(result_.WorthRepeating() ? cmdDeal : cmdExit);
    }
    cmdExit->setEnabled(true);
    cmdDeal->setEnabled(true);
    busy_ = false;
}

void Generate::done(int result) {
    // The window cannot go away under a running generation.
    if (busy_) return;
    QDialog::done(result);
}

} // namespace orvenix
