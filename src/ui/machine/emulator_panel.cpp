#include "ui/machine/emulator_panel.h"

#include "machine/emulated_machine.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <numeric>

namespace orvenix {

namespace {
QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QSpinBox* Spin(QWidget* parent, const char* name, int low, int high, int value) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(low, high);
    s->setValue(value);
    return s;
}
} // namespace

EmulatorPanel::EmulatorPanel(EmulatedMachine& machine, QWidget* parent)
    : QWidget(parent, Qt::Tool), machine_(machine), random_(std::random_device{}()) {
    setObjectName("EmulatorPanel");
    setWindowTitle("Emulated machine");

    auto* pedal = Button(this, "pressPedal", "Press the foot pedal");
    auto* insertBox = Button(this, "insertBox", "Insert the card box");
    auto* removeBox = Button(this, "removeBox", "Take out the card box");
    boardNumber = Spin(this, "boardNumber", 1, 640, 1);
    auto* putBoard = Button(this, "putBoard", "Put in the board");
    auto* unreadable = Button(this, "unreadableBoard", "Put in a board with an unreadable label");
    auto* putStack = Button(this, "putStack", "Put in a stack to read (a random deal)");
    errorCode = Spin(this, "errorCode", 1, 255, 3);
    errorCard = Spin(this, "errorCard", 1, 52, 20);
    auto* injectError = Button(this, "injectError", "Report the error");
    linkBroken = new QCheckBox("Link broken", this);
    linkBroken->setObjectName("linkBroken");
    cardPace = Spin(this, "cardPace", 0, 2000, static_cast<int>(machine_.Config().cardIntervalMs));
    cardPace->setSuffix(" ms per card");
    lastAction = new QLabel(this);
    lastAction->setObjectName("lastAction");

    auto* layout = new QGridLayout(this);
    int row = 0;
    layout->addWidget(pedal, row++, 0, 1, 3);
    layout->addWidget(insertBox, row, 0, 1, 2);
    layout->addWidget(removeBox, row++, 2);
    layout->addWidget(new QLabel("Board label:", this), row, 0);
    layout->addWidget(boardNumber, row, 1);
    layout->addWidget(putBoard, row++, 2);
    layout->addWidget(unreadable, row++, 0, 1, 3);
    layout->addWidget(putStack, row++, 0, 1, 3);
    layout->addWidget(new QLabel("Error code / at card:", this), row, 0);
    layout->addWidget(errorCode, row, 1);
    layout->addWidget(errorCard, row++, 2);
    layout->addWidget(injectError, row++, 0, 1, 3);
    layout->addWidget(new QLabel("Dealing pace:", this), row, 0);
    layout->addWidget(cardPace, row++, 1, 1, 2);
    layout->addWidget(linkBroken, row++, 0, 1, 3);
    layout->addWidget(lastAction, row, 0, 1, 3);

    connect(pedal, &QPushButton::clicked, this, [this] {
        machine_.PressPedal();
        Said("Foot pedal pressed");
    });
    connect(insertBox, &QPushButton::clicked, this, [this] {
        machine_.InsertBox();
        Said("Card box inserted");
    });
    connect(removeBox, &QPushButton::clicked, this, [this] {
        machine_.RemoveBox();
        Said("Card box taken out");
    });
    connect(putBoard, &QPushButton::clicked, this, [this] {
        machine_.InsertBoard(boardNumber->value());
        Said(QString("Board %1 put in").arg(boardNumber->value()));
    });
    connect(unreadable, &QPushButton::clicked, this, [this] {
        machine_.SetBoardLabel(0);
        Said("Board with an unreadable label put in");
    });
    connect(putStack, &QPushButton::clicked, this, [this] {
        // Any order of the 52 cards is a deal: the reading modes give the positions their pockets.
        std::vector<CardCode> stack(kCards);
        std::iota(stack.begin(), stack.end(), CardCode{1});
        std::shuffle(stack.begin(), stack.end(), random_);
        lastStack_.assign(stack.begin(), stack.end());
        machine_.PutReadStack(std::move(stack));
        Said("A stack of 52 cards put in for reading");
    });
    connect(injectError, &QPushButton::clicked, this, [this] {
        machine_.InjectError(static_cast<std::uint8_t>(errorCode->value()), errorCard->value());
        Said(QString("Error %1 will be reported at card %2").arg(errorCode->value()).arg(errorCard->value()));
    });
    connect(linkBroken, &QCheckBox::toggled, this, [this](bool broken) {
        machine_.SetLinkLost(broken);
        Said(broken ? "Link broken: the machine answers nothing" : "Link restored");
    });
    connect(cardPace, &QSpinBox::valueChanged, this,
            [this](int ms) { machine_.MutableConfig().cardIntervalMs = static_cast<std::uint32_t>(ms); });
}

void EmulatorPanel::Said(const QString& text) {
    lastAction->setText(text);
}

} // namespace orvenix
