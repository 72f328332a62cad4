#include "ui/machine/machine_error_dialog.h"

#include "dealing/machine_errors.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace orvenix {

namespace {
constexpr int kErrorPollMs = 100;

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

MachineErrorDialog::MachineErrorDialog(ErrorDialog& dialog, QWidget* parent)
    : QDialog(parent), dialog_(dialog) {
    setObjectName("MachineErrorDialog");
    const ErrorDialogContent& c = dialog_.Content();
    setWindowTitle(Q(c.caption));
    setModal(true);

    Error_label = new QLabel(Q(c.text), this);
    Error_label->setObjectName("Error_label");
    QFont big = Error_label->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    Error_label->setFont(big);
    Error_label->setAlignment(Qt::AlignCenter);
    Error_label->setMinimumWidth(420);
    Error_code = new QLabel(Q(c.codeText), this);
    Error_code->setObjectName("Error_code");
    Error_code->setAlignment(Qt::AlignCenter);

    Continue_button = new QPushButton(Q(c.continueCaption), this);
    Continue_button->setObjectName("Continue_button");
    Cancel_button = new QPushButton(Q(c.cancelCaption), this);
    Cancel_button->setObjectName("Cancel_button");
    Cancel2 = new QPushButton(Q(c.cancel2Caption), this);
    Cancel2->setObjectName("Cancel2");
    Continue_button->setVisible(c.continueVisible);
    Cancel_button->setVisible(c.cancelVisible);
    Cancel2->setVisible(c.cancel2Visible);
    for (QPushButton* b : {Continue_button, Cancel_button, Cancel2})
        b->setAutoDefault(false);

    // The foot pedal answers the dialog as its first button does.
    Pedal_hint = new QLabel(c.buttons == ErrorButtonSet::BoardCheck ? "Press the foot pedal to try again."
                                                                    : "Press the foot pedal to continue.",
                            this);
    Pedal_hint->setObjectName("Pedal_hint");
    Pedal_hint->setAlignment(Qt::AlignCenter);
    Error_icon = new QLabel(this);
    Error_icon->setObjectName("Error_icon");
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    Error_icon->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(iconSize));
    Error_icon->setAlignment(Qt::AlignTop);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Continue_button);
    buttons->addWidget(Cancel_button);
    buttons->addWidget(Cancel2);
    auto* texts = new QVBoxLayout;
    texts->addWidget(Error_label);
    texts->addWidget(Error_code);
    texts->addWidget(Pedal_hint);
    auto* message = new QHBoxLayout;
    message->addWidget(Error_icon);
    message->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(message);
    layout->addLayout(buttons);

    connect(Continue_button, &QPushButton::clicked, this, [this] {
        dialog_.PressContinue();
        CloseWhenAnswered();
    });
    connect(Cancel_button, &QPushButton::clicked, this, [this] {
        dialog_.PressCancel();
        CloseWhenAnswered();
    });
    connect(Cancel2, &QPushButton::clicked, this, [this] {
        dialog_.PressCancel2();
        CloseWhenAnswered();
    });

    pollTimer.setObjectName("Error_Timer1");
    pollTimer.setInterval(kErrorPollMs);
    connect(&pollTimer, &QTimer::timeout, this, [this] { onPollTimer(); });
    pollTimer.start();
    // The system's exclamation sound.
    QApplication::beep();
}

MachineErrorDialog::~MachineErrorDialog() = default;

void MachineErrorDialog::onPollTimer() {
    dialog_.Tick();
    CloseWhenAnswered();
}

void MachineErrorDialog::reject() {
    if (!dialog_.Closed()) dialog_.PressCancel();
    CloseWhenAnswered();
}

void MachineErrorDialog::CloseWhenAnswered() {
    if (!dialog_.Closed()) return;
    pollTimer.stop();
    const bool accepted = dialog_.Action() != kErrorActionCancel;
    QDialog::done(accepted ? QDialog::Accepted : QDialog::Rejected);
}

} // namespace orvenix
