#include "ui/formats/board_number_dialog.h"

#include "base/messages.h"
#include "formats/frame.h"
#include "ui/app/numeric_filter.h"

#include "ui_board_number_dialog.h"

#include <QShowEvent>

namespace orvenix {
namespace {
// The first board box takes numbers up to 999; the confirmation checks the real range.
constexpr int kFirstBoardBoxMaximum = 999;
} // namespace

BoardNumberDialog::BoardNumberDialog(BoardSet& set, const std::string& formatName, Dialogs& dialogs,
                                     QWidget* parent)
    : QDialog(parent), set_(set), dialogs_(dialogs), count_(set.lastBoard - set.firstBoard + 1),
      ui_(std::make_unique<Ui::BoardNumberDialog>()) {
    ui_->setupUi(this);
    firstBoardBox_ = ui_->txtFirstBoard;
    lastBoardBox_ = ui_->txtLastBoard;

    // The explanations depend on the boards loaded and on the file's format.
    const auto text = [](const std::string& message) { return QString::fromStdString(message); };
    ui_->lblBoardLoaded->setText(text(FormatMessage(MsgBoardsWereLoaded, std::to_string(count_))));
    ui_->lblFormat->setText(text(formatName == "DUP"
                                     ? FormatMessage(MsgDupNoBoardNumbers)
                                     : FormatMessage(MsgNoBoardNumbersAllocated, formatName)));
    ui_->lblFirstBoard->setText(text(FormatMessage(MsgFirstBoardLabel)));
    ui_->lblLastBoard->setText(text(FormatMessage(MsgLastBoardLabel)));
    ui_->lblChangeBoards->setText(text(FormatMessage(MsgChangeAllocation)));

    firstBoardBox_->setText(QString::number(set_.firstBoard));
    lastBoardBox_->setText(QString::number(set_.lastBoard));
    lastValidFirst_ = firstBoardBox_->text();

    connect(firstBoardBox_, &QLineEdit::textChanged, this, [this] { onFirstBoardChanged(); });
    connect(ui_->Command1, &QPushButton::clicked, this, [this] { onOkClicked(); });
}

BoardNumberDialog::~BoardNumberDialog() = default;

void BoardNumberDialog::Choose(BoardSet& set, const std::string& formatName, Dialogs& dialogs,
                               QWidget* parent) {
    BoardNumberDialog window(set, formatName, dialogs, parent);
    window.exec();
}

void BoardNumberDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    lastValidFirst_ = QStringLiteral("1");
    firstBoardBox_->setFocus();
    firstBoardBox_->selectAll();
}

void BoardNumberDialog::onFirstBoardChanged() {
    NumericFilter(firstBoardBox_, lastValidFirst_, kFirstBoardBoxMaximum);
    // An empty box counts as 0, as the number of an empty text.
    const int first = lastValidFirst_.isEmpty() ? 0 : lastValidFirst_.toInt();
    lastBoardBox_->setText(QString::number(first + count_ - 1));
}

void BoardNumberDialog::onOkClicked() {
    const int maxFirst = MaxFirstBoard(count_);
    const QString text = firstBoardBox_->text();
    bool isNumber = false;
    const int first = text.toInt(&isNumber);
    if (text.isEmpty() || !isNumber || first < 1 || first > maxFirst) {
        dialogs_.Show(IncorrectFirstBoardText(maxFirst), "Incorrect value entered", Buttons::Ok,
                      Icon::Critical);
        firstBoardBox_->setFocus();
        return;
    }
    PlaceLoadedBoards(set_, first);
    accept();
}

} // namespace orvenix
