// The link to the machine: opening and setting up the USB bridge, sending command packets, reading and
// decoding replies into the shared machine state, and the one-retry exchange rule. Everything is
// synchronous and bounded by the link's time-outs; the program owns one MachineLink for its whole run.
#pragma once

#include "machine/machine_state.h"
#include "machine/packet.h"
#include "machine/si_layer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace orvenix {

class ActivityLog;
class Dialogs;
struct Board;
struct BoardSet;

inline constexpr std::uint16_t kLinkTimeoutMs = 200;
inline constexpr std::uint16_t kDownloadTimeoutMs = 2000;

// Reading modes of the read command: cards dealt one by one from the dealer on, or boards already played
// (the stack sorts S, W, E, N by thirteen).
enum class ReadMode { SimulateHandDealing, PlayedBoards };

// Recognition options of byte 2 of the deal and read commands.
inline constexpr std::uint8_t kOptionFramedCards = 1;
inline constexpr std::uint8_t kOptionFinePrint = 2;
inline constexpr std::uint8_t kOptionBoldPrint = 4;
inline constexpr std::uint8_t kOptionLargeIndexCards = 8;
constexpr std::uint8_t NationalBits(int national) {
    return static_cast<std::uint8_t>((national & 0x0F) << 4);
}

// Sequence bytes 4 and 5 of the deal and read commands for sequenceIndex 0 to 3.
constexpr std::uint8_t SequenceFirstByte(int index) {
    return static_cast<std::uint8_t>(11 + 50 * (index & 3));
}
constexpr std::uint8_t SequenceSecondByte(int index) {
    return static_cast<std::uint8_t>(SequenceFirstByte(index) + 25);
}

// A random filler byte, 0 to 254, for packet bytes a command does not use.
std::uint8_t RandomFillerByte();

// Fills a deal (0x98) or read command's card bytes: for a deal the pocket of every card's owner, for a
// read the pocket of every position of the stack by the reading mode, starting at the dealer's pocket.
void FillDealCards(PacketBuffer& p, const Board& board);
void FillReadCards(PacketBuffer& p, ReadMode mode, Seat dealer);

// Decodes one good reply p of the given size into the state; a read result (0x9D) places the cards of
// readTarget, when given, and analyses it (the rest of the record stays). Never reads past size.
void DecodeReply(const PacketBuffer& p, std::size_t size, SharedMachineState& state,
                 const MachineEvents& events, Board* readTarget);

class MachineLink {
  public:
    MachineLink(std::unique_ptr<SiLayer> si, Dialogs& dialogs, ActivityLog* log = nullptr);
    ~MachineLink();
    MachineLink(const MachineLink&) = delete;
    MachineLink& operator=(const MachineLink&) = delete;

    // ---- The USB link -----------------------------------------------------------------------------
    // Opens and sets up the link unless it is open; failures are shown in a message box and leave the
    // link closed. With no machine attached it leaves the link closed without a message.
    void InitComm(std::uint16_t timeoutMs);
    void Comm_Delay(std::uint16_t timeoutMs);
    void Usb_close();
    void send8();
    void send136();
    void Flush_buffers();
    void Dealer_on();
    void Dealer_off();
    [[nodiscard]] bool IsOpen() const { return linkHandle != kNoLink; }

    // ---- The protocol -----------------------------------------------------------------------------
    // Reads and decodes one reply: short read, checksum error or good packet (see replyStatus).
    void rec();
    // The exchange rule: build the command into sendBuffer, send it, read the reply; on a first failure
    // build it again (fresh filler bytes) and repeat once. True when the reply was good; after a second
    // failure commErrorCount is 2 and the caller reports the lost link.
    bool Exchange(const std::function<void(PacketBuffer&)>& build);
    [[nodiscard]] bool LinkLost() const { return state.commErrorCount >= 2; }

    // Fills sendBuffer with code, the given parameter bytes and filler bytes for the rest.
    void BuildShort(std::uint8_t code, std::initializer_list<std::uint8_t> parameters = {});
    // Commands of the dealing window, each with the exchange rule.
    bool RequestStatus(std::uint8_t requestBits);
    bool RequestInfo();
    bool RequestParameterBlock(std::uint8_t block);
    bool RequestBoardLabel();
    bool RequestReadResult();
    // The request bits a status poll sends: acknowledgements for a reported pedal and box.
    [[nodiscard]] std::uint8_t AcknowledgeBits() const;
    // Builds a deal (0x98) or read (0x9C) command into p.
    void BuildDealCommand(PacketBuffer& p, const Board& board, std::uint8_t continueBoard,
                          std::uint8_t options, int sequenceIndex);
    void BuildReadCommand(PacketBuffer& p, ReadMode mode, Seat dealer, std::uint8_t continueBoard,
                          std::uint8_t options, int sequenceIndex);

    [[nodiscard]] SiLayer& Si() { return *si_; }
    [[nodiscard]] EmulatedMachine* Emulator() { return si_->Emulator(); }

    // ---- Link state -------------------------------------------------------------------------------
    SiHandle linkHandle = kNoLink;
    std::uint32_t driverVersion = 0;
    std::uint32_t driverVersionReserved = 0;
    std::string productString;
    SiStatus lastStatus = kSiSuccess;
    PacketBuffer sendBuffer{};
    PacketBuffer wireBuffer{};
    PacketBuffer receiveWire{};
    PacketBuffer receiveBuffer{}; // the last descrambled reply
    std::size_t receiveSize = 0;
    std::uint8_t readFailure = 0;

    SharedMachineState state;
    MachineEvents events;
    // The board a read result fills; none: read results are only checked.
    Board* readTarget = nullptr;
    // The source of filler bytes; tests make it fixed.
    std::function<std::uint8_t()> filler = RandomFillerByte;

  private:
    void Send(std::size_t size);
    void ReportInitFailure(SiStatus status, int step, bool opened);

    std::unique_ptr<SiLayer> si_;
    Dialogs& dialogs_;
    ActivityLog* log_;
};

} // namespace orvenix
