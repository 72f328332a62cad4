#include "dealing/card_settings.h"

#include "base/dialogs.h"
#include "base/messages.h"
#include "base/settings.h"
#include "machine/link.h"
#include "machine/packet.h"

namespace orvenix {

namespace {

// The index of a stored value among "0" … "count-1"; 0 for anything else.
int Choice(Settings& settings, const char* key, int count) {
    const std::string value = settings.Read(key, "0");
    for (int i = 0; i < count; ++i) {
        if (value == std::to_string(i)) return i;
    }
    return 0;
}

std::string FirmwareOf(const SharedMachineState& machine) {
    return FirmwareText(machine.firmwareMajor, machine.firmwareMinor);
}

void Refuse(Dialogs& dialogs, const std::string& text) {
    dialogs.Show(text, "Dealing Error", Buttons::Ok, Icon::Critical);
}

} // namespace

CardOptions LoadCardOptions(Settings& settings) {
    CardOptions o;
    o.national = Choice(settings, keys::kNational, kNationalSets);
    o.cardType = Choice(settings, keys::kCardType, 2);
    o.threshold = Choice(settings, keys::kThreshold, 3);
    o.cardIndex = Choice(settings, keys::kCardIndex, 2);
    o.checkBoard = settings.Read(keys::kCheckBoard, "0") != "0";
    return o;
}

void SaveNational(Settings& settings, const CardOptions& options) {
    settings.Write(keys::kNational, std::to_string(options.national));
}
void SaveCardType(Settings& settings, const CardOptions& options) {
    settings.Write(keys::kCardType, std::to_string(options.cardType));
}
void SaveThreshold(Settings& settings, const CardOptions& options) {
    settings.Write(keys::kThreshold, std::to_string(options.threshold));
}
void SaveCardIndex(Settings& settings, const CardOptions& options) {
    settings.Write(keys::kCardIndex, std::to_string(options.cardIndex));
}
void SaveCheckBoard(Settings& settings, const CardOptions& options) {
    settings.Write(keys::kCheckBoard, options.checkBoard ? "1" : "0");
}

std::uint8_t CommandByte2(const CardOptions& options) {
    std::uint8_t byte =
        NationalBits(options.national >= 0 && options.national < kNationalSets ? options.national : 0);
    if (options.cardType == 1) byte |= kOptionFramedCards;
    if (options.threshold == 1) byte |= kOptionFinePrint;
    if (options.threshold == 2) byte |= kOptionBoldPrint;
    if (options.cardIndex == 1) byte |= kOptionLargeIndexCards;
    return byte;
}

std::string ApplyNationalLetters(std::string text, int national) {
    if (national < 0 || national >= kNationalSets) national = kNationalStandard;
    const auto& letters = kNationalLetters[static_cast<std::size_t>(national)];
    static constexpr std::array<char, 4> kStandard{'A', 'K', 'Q', 'J'};
    for (std::size_t i = 0; i < 4; ++i) {
        for (char& ch : text) {
            if (ch == kStandard[i]) ch = letters[i];
        }
    }
    return text;
}

bool LargeIndexFirmwareTooOld(const SharedMachineState& machine) {
    return machine.firmwareMajor == 2 && machine.firmwareMinor < 0x40;
}

bool ReadingSupported(const SharedMachineState& machine) {
    return machine.FirmwareAtLeast(2, 0x24);
}

bool ChooseLargeIndex(CardOptions& options, const SharedMachineState& machine, Settings& settings,
                      Dialogs& dialogs, const std::function<void()>& undone) {
    const bool supported = (machine.optionWord & static_cast<std::int32_t>(kOptionLargeIndex)) != 0;
    if (supported && !LargeIndexFirmwareTooOld(machine)) {
        options.cardIndex = 1;
        SaveCardIndex(settings, options);
        return true;
    }
    options.cardIndex = 0;
    if (undone) undone();
    Refuse(dialogs, supported ? FormatMessage(MsgLargeIndexNeedsFirmware, FirmwareOf(machine))
                              : MessageTemplate(MsgJumboNotSuitable));
    SaveCardIndex(settings, options);
    return false;
}

bool ChooseCheckBoard(CardOptions& options, bool ticked, const SharedMachineState& machine,
                      Settings& settings, Dialogs& dialogs, const std::function<void()>& undone) {
    options.checkBoard = ticked;
    const bool reader = (machine.optionWord & static_cast<std::int32_t>(kOptionBoardReader)) != 0;
    if (reader && machine.FirmwareAtLeast(2, 0x40)) {
        SaveCheckBoard(settings, options);
        return options.checkBoard;
    }
    if (options.checkBoard) {
        options.checkBoard = false;
        if (undone) undone();
        Refuse(dialogs, reader ? FormatMessage(MsgBoardCheckNeedsFirmware, FirmwareOf(machine))
                               : MessageTemplate(MsgNoBoardNumberReader));
    }
    SaveCheckBoard(settings, options);
    return options.checkBoard;
}

void ApplyMachineLimits(CardOptions& options, const SharedMachineState& machine, Settings& settings) {
    const bool reader = (machine.optionWord & static_cast<std::int32_t>(kOptionBoardReader)) != 0;
    if (!reader || !machine.FirmwareAtLeast(2, 0x40)) {
        options.checkBoard = false;
        SaveCheckBoard(settings, options);
    }
    const bool large = (machine.optionWord & static_cast<std::int32_t>(kOptionLargeIndex)) != 0;
    if (!large || LargeIndexFirmwareTooOld(machine)) {
        options.cardIndex = 0;
        SaveCardIndex(settings, options);
    }
}

bool NationalAllowed(const CardOptions& options, const SharedMachineState& machine, Dialogs& dialogs) {
    if (options.national != kNationalStandard && !machine.FirmwareAtLeast(2, 0x27)) {
        Refuse(dialogs, FormatMessage(MsgNationalNeedsFirmware, FirmwareOf(machine)));
        return false;
    }
    if (options.national == kNationalDanish && !machine.FirmwareAtLeast(2, 0x32)) {
        Refuse(dialogs, FormatMessage(MsgDanishNeedsFirmware, FirmwareOf(machine)));
        return false;
    }
    return true;
}

BoardPicture MakeBoardPicture(const Board& board, int n, bool showHands, int national) {
    static constexpr std::array<const char*, 5> kSeatNames{"", "North", "East", "South", "West"};
    BoardPicture p;
    p.board = n;
    p.boardText = " Board: " + std::to_string(n);
    const Vulnerability vul = EffectiveVulnerability(board, n);
    p.vulText = std::string("Vul: ") + (vul >= 1 && vul <= 4 ? kVulnerabilityNames[vul] : "");
    const Seat dealer = EffectiveDealer(board, n);
    p.dealerText = std::string("Dealer: ") + (dealer >= 1 && dealer <= 4 ? kSeatNames[dealer] : "");
    for (std::size_t seat = 1; seat <= 4; ++seat)
        p.highCardPoints[seat - 1] = board.highCardPoints[seat];
    p.showHands = showHands;
    if (showHands) {
        for (int c = 1; c <= kCards; ++c) {
            const std::uint8_t owner = board.cardOwner[static_cast<std::size_t>(c)];
            if (owner < 1 || owner > 4) continue;
            p.cards[owner - 1U][static_cast<std::size_t>(SuitOf(c) - 1)] +=
                CardRankChar[static_cast<std::size_t>(c)];
        }
        for (auto& seat : p.cards) {
            for (auto& suit : seat)
                suit = ApplyNationalLetters(suit, national);
        }
    }
    return p;
}

} // namespace orvenix
