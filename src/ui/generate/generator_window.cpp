#include "ui/generate/generator_window.h"

#include "ui_generator_window.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPalette>
#include <QSignalBlocker>
#include <QTimer>

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

QColor GeneratorWindow::DisabledFieldColour() {
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

GeneratorWindow::GeneratorWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), ui_(std::make_unique<Ui::GeneratorWindow>()) {
    ui_->setupUi(this);
    firstBoardBox_ = ui_->txtFirstBoard;
    lastBoardBox_ = ui_->txtLastBoard;
    randomBoardsOption_ = ui_->generate_yes;
    emptyBoardsOption_ = ui_->generate_no;
    rejectShapeCheck_ = ui_->Reject_shape;
    shapeRejectsBox_ = ui_->txtShpRejects;
    rejectInnerCheck_ = ui_->Reject_inner;
    innerRejectsBox_ = ui_->txtInnRejects;
    innerSimilarityBox_ = ui_->txtInnSim;
    rejectHistoryCheck_ = ui_->Reject_history;
    historyRejectsBox_ = ui_->txtHisRejects;
    historySimilarityBox_ = ui_->txtOuSim;
    historyFileBox_ = ui_->txtOuDeals;
    generatedCountBox_ = ui_->BoardsGen;
    generateButton_ = ui_->cmdDeal;
    exitButton_ = ui_->cmdExit;
    shapeFields_ = {ui_->FrameShp, rejectShapeCheck_, {shapeRejectsBox_}, {ui_->lblShpRejects}};
    innerFields_ = {ui_->FrameInn,
                    rejectInnerCheck_,
                    {innerRejectsBox_, innerSimilarityBox_},
                    {ui_->lblInnRejects, ui_->lblInnSim}};
    historyFields_ = {ui_->FrameHis,
                      rejectHistoryCheck_,
                      {historyRejectsBox_, historySimilarityBox_, historyFileBox_},
                      {ui_->lblHisRejects, ui_->lblHistoricSimilarity, ui_->lblHistFile}};

    connect(firstBoardBox_, &QLineEdit::textChanged, this,
            [this] { NumberChanged(firstBoardBox_, lastFirst_); });
    connect(lastBoardBox_, &QLineEdit::textChanged, this,
            [this] { NumberChanged(lastBoardBox_, lastLast_); });
    for (QRadioButton* option : {randomBoardsOption_, emptyBoardsOption_}) {
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on) onModeToggled();
        });
    }
    connect(rejectShapeCheck_, &QCheckBox::clicked, this, [this] { onFilterToggled(shapeFields_); });
    connect(rejectInnerCheck_, &QCheckBox::clicked, this, [this] { onFilterToggled(innerFields_); });
    connect(rejectHistoryCheck_, &QCheckBox::clicked, this, [this] { onFilterToggled(historyFields_); });
    connect(generateButton_, &QPushButton::clicked, this, &GeneratorWindow::onGenerateClicked);
    connect(exitButton_, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
    lastBoardBox_->installEventFilter(this);

    // Opening state: random boards with every filter on.
    randomBoardsOption_->setChecked(true);
    onModeToggled();
    UpdateDefaultButton();
}

GeneratorWindow::~GeneratorWindow() = default;

void GeneratorWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_) return;
    activated_ = true;
    lastBoardBox_->setFocus(Qt::OtherFocusReason);
    lastBoardBox_->setCursorPosition(static_cast<int>(lastBoardBox_->text().size()));
}

bool GeneratorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lastBoardBox_ && event->type() == QEvent::FocusIn) {
        // After the line edit's own handling of the focus (a click would place the caret).
        QTimer::singleShot(0, lastBoardBox_, [box = lastBoardBox_] { box->selectAll(); });
    }
    return QDialog::eventFilter(watched, event);
}

void GeneratorWindow::NumberChanged(QLineEdit* box, QString& lastAccepted) {
    const QString text = box->text();
    if (GenerateNumberAllowed(text)) {
        lastAccepted = text;
        UpdateDefaultButton();
        return;
    }
    const int caret = box->cursorPosition();
    {
        const QSignalBlocker block(box);
        box->setText(lastAccepted);
    }
    box->setCursorPosition(std::clamp(caret - 1, 0, static_cast<int>(lastAccepted.size())));
}

void GeneratorWindow::onModeToggled() {
    const bool random = randomBoardsOption_->isChecked();
    for (FilterFields* f : {&shapeFields_, &innerFields_, &historyFields_}) {
        f->frame->setEnabled(random);
        f->check->setEnabled(random);
        if (random) onFilterToggled(*f);
    }
}

void GeneratorWindow::onFilterToggled(FilterFields& filter) {
    const bool on = filter.check->isChecked();
    for (QLineEdit* box : filter.boxes) {
        box->setEnabled(on);
        box->clear();
        SetBase(box, on ? QColor::fromRgb(kResultFieldColour) : DisabledFieldColour());
    }
    for (QLabel* label : filter.labels)
        label->setEnabled(on);
}

void GeneratorWindow::MakeDefaultButton(QPushButton* button) {
    QPushButton* other = button == generateButton_ ? exitButton_ : generateButton_;
    other->setDefault(false);
    button->setEnabled(true);
    button->setDefault(true);
    button->setFocus(Qt::OtherFocusReason);
}

void GeneratorWindow::UpdateDefaultButton() {
    if (!generateByDefault_) return;
    const int first = firstBoardBox_->text().toInt();
    const int last = lastBoardBox_->text().toInt();
    generateButton_->setDefault(first >= 1 && first <= last && last <= kMaxBoard);
}

void GeneratorWindow::ShowResults(const GenerateResult& r) {
    const auto number = [](int n) { return QString::number(n); };
    const auto mark = [](QLineEdit* box, bool bad) {
        SetBase(box, QColor::fromRgb(bad ? kResultBadColour : kResultGoodColour));
    };
    if (rejectHistoryCheck_->isChecked()) {
        historyRejectsBox_->setText(number(r.historyRejects));
        mark(historyRejectsBox_, r.historyRejects > 0);
        historySimilarityBox_->setText(
            QString::fromStdString(SimilarityText(r.historyMax, r.historyBoard, r.historyOther)));
        historyFileBox_->setText(QString::fromStdString(r.historyFile));
    }
    if (rejectInnerCheck_->isChecked()) {
        innerRejectsBox_->setText(number(r.innerRejects));
        mark(innerRejectsBox_, r.innerRejects > 0);
        innerSimilarityBox_->setText(
            QString::fromStdString(SimilarityText(r.innerMax, r.innerBoard, r.innerOther)));
    }
    if (rejectShapeCheck_->isChecked()) {
        shapeRejectsBox_->setText(number(r.shapeRejects));
        mark(shapeRejectsBox_, ShapeRejectsWarn(r.shapeRejects));
    }
}

void GeneratorWindow::onGenerateClicked() {
    if (busy_) return;
    busy_ = true;
    exitButton_->setEnabled(false);
    generateButton_->setEnabled(false);
    for (QLineEdit* box : {shapeRejectsBox_, historyRejectsBox_, historySimilarityBox_, historyFileBox_})
        box->clear();

    GenerateChoices choices;
    choices.first = firstBoardBox_->text().toInt(); // empty: 0
    choices.last = lastBoardBox_->text().toInt();
    choices.randomBoards = randomBoardsOption_->isChecked();
    choices.rejectShape = rejectShapeCheck_->isChecked();
    choices.rejectInner = rejectInnerCheck_->isChecked();
    choices.rejectHistory = rejectHistoryCheck_->isChecked();

    {
        std::unique_ptr<WaitCursor> wait;
        // The hourglass only once the numbers have been accepted; the refusal boxes come first.
        const bool numbersOk =
            choices.first >= 1 && choices.first <= choices.last && choices.last <= kMaxBoard;
        if (numbersOk) wait = std::make_unique<WaitCursor>();
        result_ = GenerateBoardSet(
            ctx_.Generation(), choices,
            [this](int generated) {
                generatedCountBox_->setText(QString::number(generated));
                // The window stays responsive while the boards are made.
                QCoreApplication::processEvents();
            },
            candidates_);
    }

    if (result_.outcome == GenerateOutcome::Refused) {
        QLineEdit* box = result_.focus == GenerateField::Last ? lastBoardBox_ : firstBoardBox_;
        box->setFocus(Qt::OtherFocusReason);
    } else if (result_.outcome == GenerateOutcome::Generated) {
        ShowResults(result_);
        generateByDefault_ = result_.WorthRepeating();
        MakeDefaultButton(generateByDefault_ ? generateButton_ : exitButton_);
    }
    exitButton_->setEnabled(true);
    generateButton_->setEnabled(true);
    busy_ = false;
}

void GeneratorWindow::done(int result) {
    // The window cannot go away under a running generation.
    if (busy_) return;
    QDialog::done(result);
}

} // namespace orvenix
