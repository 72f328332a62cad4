// The emulated machine: speaks the machine's side of the packet protocol byte for byte (it descrambles
// commands with the sending key step and answers with the receiving key step), deals and reads cards at a
// set pace on the time it is given, and lets a test or the operator press the pedal, insert the card box,
// put in boards and card stacks, and inject machine errors and faults on the wire.
#pragma once

#include "machine/packet.h"

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace orvenix {

struct EmulatorConfig {
    std::uint8_t firmwareMajor = 0x02;
    std::uint8_t firmwareMinor = 0x40;
    std::uint8_t infoByte3 = 0x00;    // download identity, high byte
    std::uint8_t infoByte4 = 0x01;    // download identity, low byte
    std::uint8_t infoWord5 = 0x17;    // flash identity
    std::uint16_t optionWord = 4 | 8; // board-number reader and large-index cards
    std::uint16_t serialNumber = 1234;
    std::uint8_t madeDay = 12;
    std::uint8_t madeMonth = 5;
    std::uint16_t madeYear = 2024;
    std::uint32_t cardIntervalMs = 120; // time the machine takes per card
    std::uint32_t replyDelayMs = 2;     // time from the end of a command to its reply
    std::uint32_t interByteGapMs = 50;  // a command left incomplete this long is dropped
};

// What the maintenance window reads from the machine: sensors, switches, motors, supply.
struct MaintenanceReadings {
    std::array<std::uint8_t, 5> photo{120, 121, 122, 123, 124}; // photo sensor levels
    std::uint8_t photoBlocked = 0;                              // bits 0-4: sensor covered
    bool frontSwitch = true;
    bool coverSwitch = true;
    std::array<std::uint16_t, 4> motorSpeed{1000, 2000, 0, 1500}; // 15-bit values
    std::uint16_t insideTemp = 253;                              // tenths of a degree
    std::uint16_t supplyVolt = 120;                              // tenths of a volt
    std::array<std::uint8_t, 4> pwm{40, 41, 42, 43};
    std::uint16_t captureTimeMs = 42;
    // The recognition result: symbol (0x0E ace … 2), suit (1 S … 4 C), threshold, error (0 = OK), time.
    std::uint8_t symbol = 0x0E;
    std::uint8_t suit = 1;
    std::uint8_t threshold = 128;
    std::uint8_t recognitionError = 0;
    std::uint16_t recognitionTimeMs = 35;
    std::uint16_t parameterId = 0x0102; // reported with parameter sets 4 and 8
};

enum class WireFault {
    BadChecksum, // the reply's sum comes to 0xFE
    ShortReply,  // only part of the reply is sent
    NoReply,     // the command is swallowed
    OverLong,    // three stray bytes follow the reply
    WrongReply,  // a status reply comes instead of the one asked for
};

class EmulatedMachine {
  public:
    explicit EmulatedMachine(EmulatorConfig config = {}, std::uint32_t seed = 1);

    [[nodiscard]] const EmulatorConfig& Config() const { return config_; }
    EmulatorConfig& MutableConfig() { return config_; }

    // ---- The wire -----------------------------------------------------------------------------------
    // Bytes from the program, arriving at time now.
    void Receive(const std::uint8_t* data, std::size_t count, std::uint64_t now);
    // Runs the machine up to time now: cards dealt, replies due.
    void AdvanceTo(std::uint64_t now);
    // The time of the next thing the machine will do on its own (a card, a reply), if any.
    [[nodiscard]] std::optional<std::uint64_t> NextEventMs() const;
    // Reply bytes that have reached the program and not been taken yet.
    [[nodiscard]] std::size_t Available() const { return output_.size(); }
    std::size_t Take(std::uint8_t* out, std::size_t max);
    // The program's receive flush: bytes already arrived are dropped.
    void DiscardOutput() { output_.clear(); }
    void SetLatch(bool on) { latch_ = on; }
    [[nodiscard]] bool Latch() const { return latch_; }

    // ---- The operator -------------------------------------------------------------------------------
    void PressPedal() { pedalPending_ = true; }
    void InsertBox() { boxPending_ = true; }
    void RemoveBox() {
        boxPending_ = false;
        boxResetPending_ = true;
    }
    // The board in the machine: its label code (0 or any code the table does not know is unreadable).
    void SetBoardLabel(std::uint8_t code) { labelCode_ = code; }
    void InsertBoard(int n) { labelCode_ = BoardLabelCode(n); }
    void SetFlipPlateOpen(bool open) { flipPlateOpen_ = open; }
    // The order in which the machine meets the 52 cards when dealing; default ascending card codes. Cards
    // missing from the list are met after it in ascending order; repeated and invalid codes are ignored.
    void SetDealOrder(const std::vector<CardCode>& order);
    // The stack of cards a read command reads, top card first.
    void PutReadStack(std::vector<CardCode> stack) { readStack_ = std::move(stack); }
    // A machine error code reported when the machine reaches the given card (1 = first card of the step).
    void InjectError(std::uint8_t code, int atCard) { injected_.push_back({code, atCard}); }
    // A machine that goes wrong without reporting it: the card met at position atCard of the next step
    // drops into pocket instead of its own (one pocket ends with 14 cards, another with 12)...
    void InjectMisroute(int atCard, PocketCode pocket) { misroutes_.push_back({pocket, atCard}); }
    // ... or the next step ends at once, without an error and without a card dealt or read.
    void InjectIdleStep() { idleSteps_ += 1; }
    // The next count replies suffer the fault; with command, the next count replies to that command.
    void InjectWireFault(WireFault fault, int count = 1, std::uint8_t command = 0);
    // ---- Maintenance and firmware download (emulated_maintenance.cpp) -------------------------------
    MaintenanceReadings& Readings() { return readings_; }
    // The outputs byte of the last sensor request and the number of cards fed by hand.
    [[nodiscard]] std::uint8_t Outputs() const { return outputs_; }
    [[nodiscard]] int CardsFed() const { return cardsFed_; }
    // Parameter set 1 to 8 as the machine keeps it (set 4/8: ignore-flip, ignore-box, 0, 0).
    [[nodiscard]] std::array<std::uint8_t, 4> ParameterSet(int set) const;
    // The grey level of the synthetic card image at (x, y), both 0 to 127.
    [[nodiscard]] static std::uint8_t ImagePixel(int x, int y);
    // The download reply to the block with this address (-1: the start packet) carries code once.
    void InjectDownloadResult(std::uint8_t code, int address) { downloadResults_.push_back({code, address}); }
    // Downloads whose both section headers checked out; the firmware then reports the version held in
    // bytes 16 and 17 of section 1 (the first two bytes of the section).
    [[nodiscard]] int FirmwareInstalled() const { return firmwareInstalled_; }
    // Download blocks received (addresses in order of arrival) since the last start packet.
    [[nodiscard]] const std::vector<std::uint16_t>& DownloadAddresses() const { return downloadAddresses_; }

    // A lost link: no command is answered until it is restored.
    void SetLinkLost(bool lost) { linkLost_ = lost; }

    // ---- What a test can look at --------------------------------------------------------------------
    [[nodiscard]] bool Busy() const { return phase_ == Phase::Dealing || phase_ == Phase::Reading; }
    [[nodiscard]] std::uint8_t StatusByte() const;
    // Cards in the S, W, E, N pockets during the current step.
    [[nodiscard]] const std::array<int, 4>& PocketCounts() const { return pockets_; }
    // The pocket each card went to in the last deal or read (0: not yet).
    [[nodiscard]] const std::array<PocketCode, 53>& CardPockets() const { return cardPocket_; }
    [[nodiscard]] std::uint64_t StepStartMs() const { return stepStart_; }
    [[nodiscard]] std::uint64_t StepEndMs() const { return stepEnd_; }
    [[nodiscard]] std::uint32_t BoardsDealt() const { return boardsDealt_; }
    [[nodiscard]] int CommandsAnswered() const { return commandsAnswered_; }
    // Commands dropped: checksum failures and commands left incomplete.
    [[nodiscard]] int BadCommands() const { return badCommands_; }
    // Every good command received, plain, with its size.
    [[nodiscard]] const std::vector<std::pair<PacketBuffer, std::size_t>>& Commands() const {
        return commands_;
    }

  private:
    enum class Phase { Idle, Dealing, Reading, Error };
    struct Injected {
        std::uint8_t code;
        int atCard;
    };
    struct Pending {
        std::uint64_t at;
        std::vector<std::uint8_t> bytes;
    };

    struct DownloadResultAt {
        std::uint8_t code;
        int address;
    };
    // Answers the maintenance and download commands; false for any other command.
    bool HandleMaintenance(const PacketBuffer& p, std::uint64_t now);
    std::uint8_t DownloadBlock(const PacketBuffer& p);
    std::uint8_t TakeDownloadResult(int address, std::uint8_t otherwise);
    void TryParse(std::uint64_t now);
    void Handle(const PacketBuffer& p, std::size_t size, std::uint64_t now);
    void StartStep(const PacketBuffer& p, bool read, std::uint64_t now);
    void Step(std::uint64_t now);
    void StopWithError(std::uint8_t code, std::uint64_t now);
    void ReplyShort(std::uint64_t now, std::uint8_t code, std::array<std::uint8_t, 6> params);
    void ReplyLong(std::uint64_t now, PacketBuffer p);
    void Queue(std::uint64_t now, PacketBuffer& p, std::size_t size);
    std::array<std::uint8_t, 6> StatusParams();
    std::uint8_t Filler() { return static_cast<std::uint8_t>(random_() % 255); }

    EmulatorConfig config_;
    std::mt19937 random_;
    std::vector<std::uint8_t> inbox_;
    std::uint64_t lastByteAt_ = 0;
    std::deque<Pending> pending_;
    std::deque<std::uint8_t> output_;
    struct FaultFor {
        WireFault fault;
        std::uint8_t command; // 0: any
    };
    std::deque<FaultFor> faults_;
    std::uint8_t answering_ = 0; // the command being answered
    bool linkLost_ = false;
    bool latch_ = false;

    Phase phase_ = Phase::Idle;
    std::uint8_t errorCode_ = 0;
    PacketBuffer stepCommand_{};
    std::vector<CardCode> dealOrder_;
    std::vector<CardCode> readStack_;
    std::vector<CardCode> stepCards_;
    std::size_t stepIndex_ = 0;
    int cardsThisStep_ = 0;
    std::uint64_t nextCardAt_ = 0;
    std::uint64_t stepStart_ = 0;
    std::uint64_t stepEnd_ = 0;
    std::array<int, 4> pockets_{};
    std::array<PocketCode, 53> cardPocket_{};
    std::vector<Injected> injected_;
    std::vector<Injected> misroutes_; // code: the pocket the card goes to
    int idleSteps_ = 0;
    std::uint32_t boardsDealt_ = 0;

    bool pedalPending_ = false;
    bool boxPending_ = false;
    bool boxResetPending_ = false;
    bool flipPlateOpen_ = false;
    std::uint8_t labelCode_ = 0;
    std::array<std::array<std::uint8_t, 4>, 9> parameters_{};
    MaintenanceReadings readings_;
    std::uint8_t outputs_ = 0;
    int cardsFed_ = 0;
    std::vector<DownloadResultAt> downloadResults_;
    std::vector<std::uint8_t> download1_;
    std::vector<std::uint8_t> download2_;
    std::vector<std::uint16_t> downloadAddresses_;
    int firmwareInstalled_ = 0;
    bool imageTwoLevel_ = false; // the picture of the last recognition, else the last capture

    int commandsAnswered_ = 0;
    int badCommands_ = 0;
    std::vector<std::pair<PacketBuffer, std::size_t>> commands_;
};

} // namespace orvenix
