#include "dealing/machine_errors.h"

#include "base/dialogs.h"
#include "base/messages.h"
#include "machine/link.h"

#include <utility>

namespace orvenix {

MachineErrorEntry MachineErrorFor(int code) {
    using enum ErrorButtonSet;
    switch (code) {
    case 1:
        return {"Card did not go to S", ContinueCancel};
    case 2:
        return {"Card did not go to W", ContinueCancel};
    case 3:
        return {"Card did not go to E", ContinueCancel};
    case 4:
        return {"Card did not go to N", ContinueCancel};
    case 5:
        return {"Extra Card in S ", ContinueCancel};
    case 6:
        return {"Extra Card in W", ContinueCancel};
    case 7:
        return {"Extra Card in E", ContinueCancel};
    case 8:
        return {"Extra Card in N", ContinueCancel};
    case 17:
        return {"Card did not go to S - double error", CancelOnly};
    case 18:
        return {"Card did not go to W - double error", CancelOnly};
    case 19:
        return {"Card did not go to E - double error", CancelOnly};
    case 20:
        return {"Card did not go to N - double error", CancelOnly};
    case 21:
        return {"Extra Card in S - double error", CancelOnly};
    case 22:
        return {"Extra Card in W - double error", CancelOnly};
    case 23:
        return {"Extra Card in E - double error", CancelOnly};
    case 24:
        return {"Extra Card in N - double error", CancelOnly};
    case 54:
        return {"Duplicate Card", ContinueCancel};
    case 55:
    case 56:
        return {"Card Feeding Error", ContinueCancel};
    case 57:
        return {"Break Dealing", ContinueCancel};
    case 58:
        return {"Board or Board Insert not fitted correctly", ContinueCancel};
    case 59:
        return {"No Top Cover", ContinueCancel};
    case 60:
        return {"Flip Plate open", ContinueCancel};
    case 61:
        return {"Card does not belong to selected National Settings", CancelOnly};
    default:
        break;
    }
    if (code >= 9 && code <= 16) return {"Card Jam Error", CancelOnly};
    if (code >= 25 && code <= 53) return {"Card Recognize Error", ContinueCancel};
    return {"Undefine Error", CancelOnly};
}

ErrorDialogContent MakeErrorDialogContent(std::uint8_t kind, std::uint8_t statusCode,
                                          std::uint8_t readBoardNumber, int currentBoard) {
    ErrorDialogContent c;
    if (kind == kErrorKindBoardCheck) {
        c.continueCaption = "Try again";
        c.cancel2Caption = "Deal to the current board";
        c.buttons = ErrorButtonSet::BoardCheck;
        if (readBoardNumber == 0) {
            c.text = MessageTemplate(MsgCannotReadBoardNumber);
            c.code = kCodeBoardUnreadable;
        } else {
            c.text = FormatMessage(MsgIncorrectBoardInserted, std::to_string(currentBoard),
                                   std::to_string(readBoardNumber));
            c.code = kCodeWrongBoard;
        }
    } else {
        c.continueCaption = "Continue";
        c.cancel2Caption = "Cancel";
        const MachineErrorEntry entry = MachineErrorFor(statusCode);
        c.text = entry.text;
        c.buttons = entry.buttons;
        c.code = statusCode;
    }
    c.codeText = "Error Code: " + std::to_string(c.code);
    c.continueVisible = c.buttons != ErrorButtonSet::CancelOnly;
    c.cancelVisible = c.buttons != ErrorButtonSet::CancelOnly;
    c.cancel2Visible = c.buttons != ErrorButtonSet::ContinueCancel;
    return c;
}

ErrorDialog::ErrorDialog(MachineLink& link, Dialogs& dialogs, ErrorDialogContent content)
    : link_(link), dialogs_(dialogs), content_(std::move(content)) {}

void ErrorDialog::Close(ErrorAction action) {
    if (closed_) return;
    action_ = action;
    closed_ = true;
}

void ErrorDialog::Tick() {
    if (closed_) return;
    // One status poll; its reply refreshes the pedal and box flags.
    link_.Exchange([this](PacketBuffer& p) {
        p[0] = cmd::kStatus;
        p[1] = link_.AcknowledgeBits();
    });
    if (link_.LinkLost()) {
        linkLost_ = true;
        Close(kErrorActionCancel);
        dialogs_.Show(kErrorDialogLostLinkText, "", Buttons::Ok, Icon::None);
        return;
    }
    if (link_.State().pedalFlag) {
        byPedal_ = true;
        Close(kErrorActionContinue);
    }
}

void ErrorDialog::PressContinue() {
    Close(kErrorActionContinue);
}

void ErrorDialog::PressCancel() {
    Close(kErrorActionCancel);
}

void ErrorDialog::PressCancel2() {
    Close(content_.buttons == ErrorButtonSet::BoardCheck ? kErrorActionDealCurrent : kErrorActionCancel);
}

} // namespace orvenix
