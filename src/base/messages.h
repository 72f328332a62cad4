// The table of longer user messages and their placeholders "***", "###" and "nnn".
#pragma once

#include <string>
#include <string_view>

namespace orvenix {

inline constexpr const char* kSupportAddress = "https://orvenix.example/support";

enum MessageKey : int {
    // File saving checks
    MsgEventInfoNotSupported,
    MsgBoardIncompleteCannotSave,
    MsgBoardIncompleteProceed,
    MsgBoardsIncompleteCannotSave,
    MsgBoardsIncompleteProceed,
    MsgFirstBoardNotOne,
    MsgPbnForbiddenCharacters,
    MsgSaveError,
    MsgLoadError,
    MsgUnknownFormatSave,
    MsgUnknownFormatLoad,
    MsgSetNotSaved,
    MsgNoBoardSet,
    // File format errors
    MsgFmtTooManyRecords,
    MsgFmtFileEmpty,
    MsgFmtRecordLength,
    MsgFmtInvalidCharacter,
    MsgFmtCardValue,
    MsgFmtDuplicateCardValue,
    MsgFmtIllegalCardCode,
    MsgFmtDuplicateCardAtPosition,
    MsgFmtHandCardCount,
    MsgFmtUnexpectedCharacterAtPosition,
    MsgFmtDupBoardMismatch,
    MsgFmtExpectedCharacter,
    MsgFmtInvalidBoardNumber,
    MsgFmtInvalidString,
    MsgFmtTokenOrder,
    MsgFmtUnexpectedCharacter,
    MsgFmtDuplicateCard,
    MsgFmtTooManySuitChanges,
    MsgFmtTooManyHandChanges,
    // Board-number allocation after loading
    MsgBoardsWereLoaded,
    MsgNoBoardNumbersAllocated,
    MsgDupNoBoardNumbers,
    MsgFirstBoardLabel,
    MsgLastBoardLabel,
    MsgChangeAllocation,
    MsgIncorrectFirstBoard,
    // Generator, history and printing
    MsgLastBelowFirst,
    MsgFirstBoardMax,
    MsgLastBoardMax,
    MsgHistoryDuplicate,
    MsgFromBoardIncorrect,
    MsgToBoardIncorrect,
    MsgToBelowFrom,
    // Dealing machine, dealing and reading session, maintenance
    MsgCannotCommunicatePower,
    MsgCannotCommunicateUsb,
    MsgUsbDriversMissing,
    MsgUsbDriverOld,
    MsgLostCommunicationDealing,
    MsgLostCommunicationMaintenance,
    MsgReadNeedsFirmware,
    MsgNationalNeedsFirmware,
    MsgDanishNeedsFirmware,
    MsgLargeIndexNeedsFirmware,
    MsgBoardCheckNeedsFirmware,
    MsgJumboNotSuitable,
    MsgNoBoardNumberReader,
    MsgClearBoardConfirm,
    MsgBoardIncompleteCannotDeal,
    MsgBoardNotEmptyCannotRead,
    MsgDealtLastMoveFirst,
    MsgDealtLastSave,
    MsgCannotReadBoardNumber,
    MsgIncorrectBoardInserted,
    MsgParametersUpdated,
    MsgFirmwareDownloaded,
    MsgProgrammingError,
    MsgCorruptFirmwareFile,
    kMessageCount
};

// The template of a key, margins and line breaks (CR LF) included.
const std::string& MessageTemplate(MessageKey key);
// The template with every "***" replaced by main and every "###" by second (plain substitution).
std::string FormatMessage(MessageKey key, std::string_view main = {}, std::string_view second = {});
// Replaces every occurrence of what by with, from the start of the text.
std::string ReplaceAll(std::string text, std::string_view what, std::string_view with);
// A message as plain text: its lines with the margins trimmed, joined by "\n" (for the terminal).
std::string PlainMessage(std::string_view text);

} // namespace orvenix
