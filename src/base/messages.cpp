#include "base/messages.h"

#include <array>
#include <initializer_list>
#include <utility>

namespace orvenix {
namespace {

constexpr const char* kMargin = "     ";
constexpr const char* kLineBreak = "\r\n";

// A message of several lines, each with a blank margin on both sides so that the box keeps a margin.
std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    bool first = true;
    for (const std::string& line : lines) {
        if (!first) text += kLineBreak;
        first = false;
        if (!line.empty()) text += kMargin + line + kMargin;
    }
    return text;
}

std::string FormatError(const std::string& middle) {
    return Lines({"File format error", middle, "", "Load operation aborted!"});
}

std::string NeedsFirmware(const std::string& first) {
    return Lines({first, "Current Firmware version is ***", "",
                  std::string("Please update firmware from ") + kSupportAddress + " and try again"});
}

std::array<std::string, kMessageCount> BuildTable() {
    std::array<std::string, kMessageCount> t;
    auto set = [&t](MessageKey key, std::string text) { t[static_cast<std::size_t>(key)] = std::move(text); };

    set(MsgEventInfoNotSupported,
        Lines({"*** format does not support Event Name, Event Site and Event Date Information.",
               "This information will not be saved.",
               "If you need to save this information please use PBN or BRE formats.", "",
               "Do you want to save current Board Set in *** format anyway?"}));
    set(MsgBoardIncompleteCannotSave,
        Lines({"Board number: nnn is incomplete.", "This Board Set cannot be saved in *** format.",
               "If you need to save this Board Set please use PBN or BRE format."}));
    set(MsgBoardIncompleteProceed, Lines({"Board number: nnn is incomplete.",
                                          "Incomplete boards can be saved in *** format.", "",
                                          "Do you want to proceed?"}));
    set(MsgBoardsIncompleteCannotSave,
        Lines({"Boards number: nnn are incomplete.", "This Board Set cannot be saved in *** format.",
               "If you need to save this Board Set please use PBN or BRE format."}));
    set(MsgBoardsIncompleteProceed, Lines({"Boards number: nnn are incomplete.",
                                           "Incomplete boards can be saved in *** format.", "",
                                           "Do you want to proceed?"}));
    set(MsgFirstBoardNotOne,
        Lines({"First Board for the current Board Set is not board number 1.",
               "*** format does not support board numbers.",
               "If you need to save board numbers please use PBN format.", "",
               "Do you want to save current Board Set in *** format anyway?"}));
    set(MsgPbnForbiddenCharacters, Lines({"In PBN format characters []{};\"% are not allowed in Event Name, "
                                          "Event Site and Event Date fields"}));
    set(MsgSaveError, Lines({"Error: *** during save operation - ###", "Save operation aborted!"}));
    set(MsgLoadError, Lines({"Error: *** during load operation - ###", "Load operation aborted!"}));
    set(MsgUnknownFormatSave, Lines({"Unknow file format: ***", "Save operation aborted!"}));
    set(MsgUnknownFormatLoad, Lines({"Unknow file format: ***", "Load operation aborted!"}));
    set(MsgSetNotSaved,
        Lines({"Current Board Set has not been saved.", "", "Do you want to save the current Board Set?"}));
    set(MsgNoBoardSet, Lines({"Board Set does not exist, request ignored!"}));

    set(MsgFmtTooManyRecords, FormatError("Too many records"));
    set(MsgFmtFileEmpty, FormatError("File is empty"));
    set(MsgFmtRecordLength, FormatError("Incorrect record length = ***  in record: ###"));
    set(MsgFmtInvalidCharacter, FormatError("Invalid character: ***  in record: ###"));
    set(MsgFmtCardValue, FormatError("Incorrect card value: ***  in record: ###"));
    set(MsgFmtDuplicateCardValue, FormatError("Duplicate card value: ***  in record: ###"));
    set(MsgFmtIllegalCardCode, FormatError("Illegal card code at position: ***  in record: ###"));
    set(MsgFmtDuplicateCardAtPosition, FormatError("Duplicate card at position: ***  in record: ###"));
    set(MsgFmtHandCardCount, FormatError("Incorrect hand card count: ***  in record: ###"));
    set(MsgFmtUnexpectedCharacterAtPosition,
        FormatError("Unexpected charater at position:  ***  in record: ###"));
    set(MsgFmtDupBoardMismatch, FormatError("Board does not match in both parts of DUP record: ###"));
    set(MsgFmtExpectedCharacter, FormatError("Expected character '***' not found in line: ###"));
    set(MsgFmtInvalidBoardNumber, FormatError("Invalid board number in line: ###"));
    set(MsgFmtInvalidString, FormatError("Invalid string *** in line: ###"));
    set(MsgFmtTokenOrder, FormatError("Incorrect order of tokens in line: ###"));
    set(MsgFmtUnexpectedCharacter, FormatError("Unexpected character '***' in line: ###"));
    set(MsgFmtDuplicateCard, FormatError("Duplicate card '***' in line: ###"));
    set(MsgFmtTooManySuitChanges, FormatError("Too many suit changes in line: ###"));
    set(MsgFmtTooManyHandChanges, FormatError("Too many hand changes in line: ###"));

    // Label texts of the board-number window: no margins, except the last.
    set(MsgBoardsWereLoaded, "*** Boards were loaded");
    set(MsgNoBoardNumbersAllocated,
        "*** format does not support board numbers. Loaded boards are allocated as follows:");
    set(MsgDupNoBoardNumbers,
        "Loaded DUP file have not board numbers. Loaded boards are allocated as follows:");
    set(MsgFirstBoardLabel, "First Board:");
    set(MsgLastBoardLabel, "Last Board:");
    set(MsgChangeAllocation, "To change board allocation enter new first board number in the above text box.");
    set(MsgIncorrectFirstBoard,
        Lines({"Incorrect value for First Board number", "First Board numbers must be between 1 and ***", "",
               "Please enter correct value."}));

    set(MsgLastBelowFirst, Lines({"Last Board Number must be greater or equal to the First Board Number."}));
    set(MsgFirstBoardMax, Lines({"Maximum allowable value for the First Board Number is 640."}));
    set(MsgLastBoardMax, Lines({"Maximum allowable value for the Last Board Number is 640."}));
    set(MsgHistoryDuplicate,
        Lines({"File *** already exist in the History File.", "", "Do you want to store duplicate history?"}));
    set(MsgFromBoardIncorrect,
        Lines({"\"From Board\" value is incorrect", "This value must be in range of <First Board - Last Board>",
               "", "Please correct this value."}));
    set(MsgToBoardIncorrect,
        Lines({"\"To Board\" value is incorrect", "This value must be in range of <First Board - Last Board>",
               "", "Please correct this value."}));
    set(MsgToBelowFrom, Lines({"\"To Board\" value must be equal or higher than the \"From Board\" value", "",
                               "Please correct these values."}));

    set(MsgCannotCommunicatePower, Lines({"Cannot communicate with Orvenix.",
                                          "Please check if power is connected to the Orvenix and try again."}));
    set(MsgCannotCommunicateUsb,
        Lines({"Cannot communicate with Orvenix      (Error: ***)",
               "Please check if USB cable is connected to the PC Computer and Orvenix",
               "If connection is OK please disconnect USB cable for a couple of seconds, connect it back and try "
               "again"}));
    set(MsgUsbDriversMissing, Lines({"Cannot communicate with Orvenix      (Error: ***)",
                                     "USB drivers are not installed", "",
                                     "Please install USB drivers and try again"}));
    set(MsgUsbDriverOld,
        Lines({"Current USB driver version: ***", "It is recommended to update this driver",
               std::string("See ") + kSupportAddress + " for details"}));
    set(MsgLostCommunicationDealing, Lines({"Lost Communication with Dealer  -  Dealing Aborted!"}));
    set(MsgLostCommunicationMaintenance, Lines({"Lost Communication with Dealer  -  Maintenance Aborted!"}));
    set(MsgReadNeedsFirmware, NeedsFirmware("Read function requires Firmware version 2.24 or later"));
    set(MsgNationalNeedsFirmware,
        NeedsFirmware("Settings for National cards other than the standard requires Firmware version 2.27 or "
                      "later"));
    set(MsgDanishNeedsFirmware, NeedsFirmware("Using Danish card required Firmware version 2.32 or later"));
    set(MsgLargeIndexNeedsFirmware,
        NeedsFirmware("Using cards with Large Index required Firmware version 2.40 or later"));
    set(MsgBoardCheckNeedsFirmware,
        NeedsFirmware("Using Board Number Check required Firmware version 2.40 or later"));
    set(MsgJumboNotSuitable,
        Lines({"Your Orvenix machine is not suitable to deal Large Indexed (Jumbo) cards",
               "This setting cannot be selected"}));
    set(MsgNoBoardNumberReader, Lines({"Your Orvenix machine is not equipped with Board Number Reader",
                                       "This setting cannot be selected"}));
    set(MsgClearBoardConfirm, Lines({"Do you really want to clear current board?"}));
    set(MsgBoardIncompleteCannotDeal, Lines({"Board incomplete - cannot deal this board."}));
    set(MsgBoardNotEmptyCannotRead, Lines({"Board not empty - cannot read this board.",
                                           "Please clear this board or generate empty board set."}));
    set(MsgDealtLastMoveFirst, Lines({"You have succesfully dealt the last board in the set.", "",
                                      "Do you wish to move to the first board?"}));
    set(MsgDealtLastSave, Lines({"You have succesfully dealt last board in the set.", "",
                                 "Do you wish to save the current board set?"}));
    set(MsgCannotReadBoardNumber,
        Lines({"Cannot read board number", "Please check if board has correct Board Number Label"}));
    set(MsgIncorrectBoardInserted,
        Lines({"Incorrect board inserted", "Expected board no: ***  -  Inserted board no: ###"}));
    set(MsgParametersUpdated, Lines({"Parameters updated OK"}));
    set(MsgFirmwareDownloaded, Lines({"New Firmware downloaded OK"}));
    set(MsgProgrammingError, Lines({"Error: *** during programming at ###"}));
    set(MsgCorruptFirmwareFile, Lines({"Incorrect or corrupted firmware file",
                                       "Please select correct file and try to update firmware again"}));
    return t;
}

const std::array<std::string, kMessageCount>& Table() {
    static const std::array<std::string, kMessageCount> table = BuildTable();
    return table;
}

} // namespace

const std::string& MessageTemplate(MessageKey key) {
    return Table().at(static_cast<std::size_t>(key));
}

std::string ReplaceAll(std::string text, std::string_view what, std::string_view with) {
    if (what.empty()) return text;
    std::size_t pos = 0;
    while ((pos = text.find(what, pos)) != std::string::npos) {
        text.replace(pos, what.size(), with);
        pos += with.size();
    }
    return text;
}

std::string FormatMessage(MessageKey key, std::string_view main, std::string_view second) {
    return ReplaceAll(ReplaceAll(MessageTemplate(key), "***", main), "###", second);
}

std::string PlainMessage(std::string_view text) {
    std::string out;
    std::size_t start = 0;
    bool first = true;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t b = line.find_first_not_of(' ');
        line = b == std::string_view::npos ? std::string_view{} : line.substr(b);
        const std::size_t e = line.find_last_not_of(' ');
        line = e == std::string_view::npos ? std::string_view{} : line.substr(0, e + 1);
        if (!first) out += '\n';
        first = false;
        out += line;
        start = end + 1;
    }
    return out;
}

} // namespace orvenix
