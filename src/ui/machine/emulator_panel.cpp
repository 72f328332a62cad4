#include "ui/machine/emulator_panel.h"

#include "machine/emulated_machine.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

#include <algorithm>
#include <array>
#include <numeric>

namespace orvenix {

namespace {
QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// Space between the panel and the window it serves.
constexpr int kPanelGap = 8;

// The rect moved by the least distance into `area` (its top-left corner when it is larger).
QRect Within(QRect r, const QRect& area) {
    r.moveLeft(std::max(area.left(), std::min(r.left(), area.right() - r.width() + 1)));
    r.moveTop(std::max(area.top(), std::min(r.top(), area.bottom() - r.height() + 1)));
    return r;
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

void EmulatorPanel::ShowBeside(QWidget* window) {
    if (served_ != window) {
        if (served_ != nullptr) served_->removeEventFilter(this);
        served_ = window;
        window->installEventFilter(this);
    }
    if (window->isVisible()) {
        PlaceBeside(window);
        show();
    }
}

bool EmulatorPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == served_ && event->type() == QEvent::Show) {
        PlaceBeside(served_);
        show();
    }
    // A window that grows once shown (its texts arrive after it opens) or is moved onto the panel pushes
    // the panel aside again.
    const bool changed = event->type() == QEvent::Resize || event->type() == QEvent::Move;
    if (watched == served_ && changed && isVisible() && frameGeometry().intersects(served_->frameGeometry()))
        PlaceBeside(served_);
    return QWidget::eventFilter(watched, event);
}

void EmulatorPanel::PlaceBeside(QWidget* window) {
    adjustSize();
    const QRect served = window->frameGeometry();
    QScreen* screen = window->screen();
    const QRect area =
        screen != nullptr ? screen->availableGeometry() : served.united(QRect(QPoint(), size()));
    // The panel's frame is as thick as the window's until the panel has one of its own.
    const QSize frame =
        isVisible() ? frameGeometry().size() : size() + (served.size() - window->geometry().size());
    // A window's position is its frame's.
    auto put = [this](const QRect& at) { move(at.topLeft()); };

    // Each side, slid along the window's edge to stay on the screen; the first that fits.
    const std::array<QRect, 4> sides{
        QRect(QPoint(served.right() + 1 + kPanelGap, served.top()), frame),
        QRect(QPoint(served.left() - kPanelGap - frame.width(), served.top()), frame),
        QRect(QPoint(served.left(), served.bottom() + 1 + kPanelGap), frame),
        QRect(QPoint(served.left(), served.top() - kPanelGap - frame.height()), frame)};
    for (std::size_t i = 0; i < sides.size(); ++i) {
        QRect at = sides[i];
        if (i < 2) {
            at.moveTop(Within(at, area).top());
        } else {
            at.moveLeft(Within(at, area).left());
        }
        if (area.contains(at) && !at.intersects(served)) {
            put(at);
            return;
        }
    }
    // No side has room: the window moves. Side by side when the screen is wide enough, else one above
    // the other, else the panel at the screen's right edge and the window left of it, partly off the
    // screen.
    QRect moved = served;
    QRect at(QPoint(), frame);
    if (served.width() + kPanelGap + frame.width() <= area.width()) {
        moved = Within(QRect(area.topLeft(), served.size()), area);
        at.moveTopLeft(QPoint(moved.right() + 1 + kPanelGap, moved.top()));
    } else if (served.height() + kPanelGap + frame.height() <= area.height()) {
        moved.moveTopLeft(QPoint(
            std::max(area.left(), std::min(served.left(), area.right() - served.width() + 1)), area.top()));
        at.moveTopLeft(QPoint(moved.left(), moved.bottom() + 1 + kPanelGap));
        at = QRect(QPoint(Within(at, area).left(), at.top()), frame);
    } else {
        at.moveTopLeft(QPoint(area.right() - frame.width() + 1, area.top()));
        moved.moveTopLeft(QPoint(at.left() - kPanelGap - served.width(), area.top()));
    }
    window->move(moved.topLeft());
    put(at);
}

void EmulatorPanel::Said(const QString& text) {
    lastAction->setText(text);
}

} // namespace orvenix
