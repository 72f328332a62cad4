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
    void Open(std::uint16_t timeoutMs);
    void SetTimeouts(std::uint16_t timeoutMs);
    void Close();
    [[nodiscard]] bool IsOpen() const { return handle_ != kNoLink; }
    // The command packet: the first 8 or all 136 bytes of Command() go out scrambled, in one write.
    void SendShortPacket();
    void SendLongPacket();
    void FlushBuffers();
    // The machine's power latch.
    void LatchOn();
    void LatchOff();

    // ---- The protocol -----------------------------------------------------------------------------
    // Reads and decodes one reply: short read, checksum error or good packet (see replyStatus).
    void ReceiveReply();
    // The exchange rule: build the command, send it, read the reply; on a first failure build it again
    // (fresh filler bytes) and repeat once. True when the reply was good; after a second failure
    // commErrorCount is 2 and the caller reports the lost link.
    bool Exchange(const std::function<void(PacketBuffer&)>& build);
    [[nodiscard]] bool LinkLost() const { return state_.commErrorCount >= 2; }

    // Makes the command code, the given parameter bytes and filler bytes for the rest (the other bytes
    // are 0).
    void BuildShort(std::uint8_t code, std::initializer_list<std::uint8_t> parameters = {});
    // Makes packet the command, as it is (a packet made elsewhere, e.g. a firmware block).
    void SetCommand(const PacketBuffer& packet) { sendBuffer_ = packet; }
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
    // A filler byte for a packet byte a command does not use.
    [[nodiscard]] std::uint8_t FillerByte() const { return filler_(); }

    // ---- What the link knows ----------------------------------------------------------------------
    [[nodiscard]] const SharedMachineState& State() const { return state_; }
    [[nodiscard]] const PacketBuffer& Command() const { return sendBuffer_; }
    // The last good reply, descrambled, and its size.
    [[nodiscard]] const PacketBuffer& LastReply() const { return receiveBuffer_; }
    [[nodiscard]] std::size_t LastReplySize() const { return receiveSize_; }
    // True when the last read ended with fewer bytes than a packet.
    [[nodiscard]] bool ReadFailed() const { return readFailed_; }
    [[nodiscard]] const std::string& ProductString() const { return productString_; }
    [[nodiscard]] std::uint32_t DriverVersion() const { return driverVersion_; }
    [[nodiscard]] SiStatus LastStatus() const { return lastStatus_; }
    [[nodiscard]] SiLayer& Si() { return *si_; }

    // ---- Bookkeeping of the link's users ----------------------------------------------------------
    // A new exchange sequence starts with no failures counted.
    void ResetErrorCount() { state_.commErrorCount = 0; }
    // Until the next info reply (0x12), the machine has not told its firmware.
    void ForgetInfo() { state_.infoReceived = false; }
    // What the program takes the machine's state to be until the next reply says otherwise.
    void AssumeMachineState(std::int32_t machineState) { state_.MachineState = machineState; }
    // A step starts with empty pockets.
    void ClearPocketCounts() { state_.pocketCount = {}; }
    // The pedal and box reports are taken as answered.
    void ClearPedalFlag() { state_.pedalFlag = false; }
    void ClearOperatorSignals() {
        state_.pedalFlag = false;
        state_.boxFlag = false;
    }
    // The quiet polls since the card box was last taken out: counted by the status poll up to limit.
    void ResetBoxCounters() {
        state_.boxCounter = 0;
        state_.boxCounterAtInsert = 0;
    }
    void CountQuietPoll(std::int16_t limit) {
        if (state_.boxCounter < limit) ++state_.boxCounter;
    }
    // An acknowledgement (0x29, 0x2A, 0x2C, 0x2D) is awaited: none has come yet.
    void ExpectAcknowledgement() { state_.lastAcknowledgement = 0; }
    // The board a read result fills; none: read results are only checked.
    void SetReadTarget(Board* board) { readTarget_ = board; }
    // Hooks the reply reader calls.
    [[nodiscard]] MachineEvents& Events() { return events_; }

    // Tests make the filler bytes fixed.
    void SetFillerSourceForTesting(std::function<std::uint8_t()> source) { filler_ = std::move(source); }
    [[nodiscard]] SiHandle HandleForTesting() const { return handle_; }
    // Tests start from a chosen machine state.
    [[nodiscard]] SharedMachineState& StateForTesting() { return state_; }

  private:
    void Send(std::size_t size);
    void ReportInitFailure(SiStatus status, int step, bool opened);

    std::unique_ptr<SiLayer> si_;
    Dialogs& dialogs_;
    ActivityLog* log_;

    SiHandle handle_ = kNoLink;
    std::uint32_t driverVersion_ = 0;
    std::uint32_t driverVersionReserved_ = 0;
    std::string productString_;
    SiStatus lastStatus_ = kSiSuccess;
    PacketBuffer sendBuffer_{};
    PacketBuffer wireBuffer_{};
    PacketBuffer receiveWire_{};
    PacketBuffer receiveBuffer_{};
    std::size_t receiveSize_ = 0;
    bool readFailed_ = false;

    SharedMachineState state_;
    MachineEvents events_;
    Board* readTarget_ = nullptr;
    std::function<std::uint8_t()> filler_ = RandomFillerByte;
};

} // namespace orvenix
