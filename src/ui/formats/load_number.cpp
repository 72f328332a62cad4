#include "ui/formats/load_number.h"

#include "base/messages.h"
#include "formats/frame.h"
#include "ui/app/numeric_filter.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace orvenix {
namespace {
// The first board box takes numbers up to 999; the confirmation checks the real range.
constexpr int kFirstBoardBoxMaximum = 999;

QLabel* MakeLabel(QWidget* parent, const char* name, const std::string& text) {
    auto* label = new QLabel(QString::fromStdString(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    return label;
}

QLineEdit* MakeBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setMaximumWidth(80);
    return box;
}
} // namespace

Load_number::Load_number(BoardSet& set, const std::string& formatName, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), set_(set), dialogs_(dialogs), count_(set.lastBoard - set.firstBoard + 1) {
    setObjectName(QStringLiteral("Load_number"));
    setWindowTitle(QStringLiteral("Boards Numbers"));
    setModal(true);

    lblBoardLoaded =
        MakeLabel(this, "lblBoardLoaded", FormatMessage(MsgBoardsWereLoaded, std::to_string(count_)));
    lblFormat = MakeLabel(this, "lblFormat",
                          formatName == "DUP" ? FormatMessage(MsgDupNoBoardNumbers)
                                              : FormatMessage(MsgNoBoardNumbersAllocated, formatName));
    lblFirstBoard = MakeLabel(this, "lblFirstBoard", FormatMessage(MsgFirstBoardLabel));
    lblLastBoard = MakeLabel(this, "lblLastBoard", FormatMessage(MsgLastBoardLabel));
    lblChangeBoards = MakeLabel(this, "lblChangeBoards", FormatMessage(MsgChangeAllocation));
    txtFirstBoard = MakeBox(this, "txtFirstBoard");
    txtLastBoard = MakeBox(this, "txtLastBoard");
    txtLastBoard->setReadOnly(true);
    txtLastBoard->setFocusPolicy(Qt::NoFocus);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);

    txtFirstBoard->setText(QString::number(set_.firstBoard));
    txtLastBoard->setText(QString::number(set_.lastBoard));
    lastValidFirst_ = txtFirstBoard->text();

    auto* numbers = new QGridLayout;
    numbers->addWidget(lblFirstBoard, 0, 0);
    numbers->addWidget(txtFirstBoard, 0, 1);
    numbers->addWidget(lblLastBoard, 1, 0);
    numbers->addWidget(txtLastBoard, 1, 1);
    numbers->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblBoardLoaded);
    layout->addWidget(lblFormat);
    layout->addLayout(numbers);
    layout->addWidget(lblChangeBoards);
    layout->addWidget(Command1, 0, Qt::AlignRight);
    setMinimumWidth(420);

    connect(txtFirstBoard, &QLineEdit::textChanged, this, [this] { txtFirstBoard_Change(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void Load_number::Choose(BoardSet& set, const std::string& formatName, Dialogs& dialogs, QWidget* parent) {
    Load_number window(set, formatName, dialogs, parent);
    window.exec();
}

void Load_number::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    lastValidFirst_ = QStringLiteral("1");
    txtFirstBoard->setFocus();
    txtFirstBoard->selectAll();
}

void Load_number::txtFirstBoard_Change() {
    NumericFilter(txtFirstBoard, lastValidFirst_, kFirstBoardBoxMaximum);
    // An empty box counts as 0, as the number of an empty text.
    const int first = lastValidFirst_.isEmpty() ? 0 : lastValidFirst_.toInt();
    txtLastBoard->setText(QString::number(first + count_ - 1));
}

void Load_number::Command1_Click() {
    const int maxFirst = MaxFirstBoard(count_);
    const QString text = txtFirstBoard->text();
    bool isNumber = false;
    const int first = text.toInt(&isNumber);
    if (text.isEmpty() || !isNumber || first < 1 || first > maxFirst) {
        dialogs_.Show(IncorrectFirstBoardText(maxFirst), "Incorrect value entered", Buttons::Ok,
                      Icon::Critical);
        txtFirstBoard->setFocus();
        return;
    }
    PlaceLoadedBoards(set_, first);
    accept();
}

} // namespace orvenix
