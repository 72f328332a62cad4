// What the program knows about the machine: written by the reply reader, read by the dealing window, the
// error dialog and the maintenance window. The program owns one, inside its MachineLink.
#pragma once

#include "machine/packet.h"

#include <array>
#include <cstdint>
#include <functional>

namespace orvenix {

// Values of SharedMachineState::MachineState.
enum : std::int32_t {
    kStateUndefine = 1,
    kStateDown = 2,
    kStateIdle = 3,
    kStateBusy = 4,
    kStateError = 5,
};

// Values of SharedMachineState::replyStatus.
enum : std::uint8_t { kReplyGood = 0, kReplyChecksum = 1, kReplyShort = 2 };

// Pocket indices of SharedMachineState::pocketCount (machine pocket code - 1).
enum : int { kPocketSouth = 0, kPocketWest = 1, kPocketEast = 2, kPocketNorth = 3 };

inline constexpr std::uint32_t kOptionBoardReader = 4; // board-number reader fitted
inline constexpr std::uint32_t kOptionLargeIndex = 8;  // large-index cards supported

struct SharedMachineState {
    std::uint8_t replyStatus = kReplyGood;
    std::int16_t commErrorCount = 0;
    std::int32_t MachineState = kStateUndefine;
    std::uint8_t statusCode = 0;
    bool pedalFlag = false;      // the foot pedal was pressed
    bool boxFlag = false;        // the card box was inserted
    std::int16_t boxCounter = 0; // counted by the dealing window's status poll
    std::int16_t boxCounterAtInsert = 0;
    std::array<std::int16_t, 4> pocketCount{}; // S, W, E, N
    bool infoReceived = false;
    std::uint8_t firmwareMajor = 0;
    std::uint8_t firmwareMinor = 0;
    std::uint8_t infoByte3 = 0;
    std::uint8_t infoByte4 = 0;
    std::uint16_t infoWord5 = 0;
    std::int32_t optionWord = 0;
    std::uint8_t readBoardNumber = 0; // 0 = label unreadable
    std::uint8_t readLabelCode = 0;
    std::uint8_t lastAcknowledgement = 0;
    // Bytes 1 to 6 of the last reply of parameter block 1 and 2 (index 0 unused).
    std::array<std::array<std::uint8_t, 7>, 3> parameterBlock{};

    [[nodiscard]] bool FirmwareAtLeast(std::uint8_t major, std::uint8_t minor) const {
        return orvenix::FirmwareAtLeast(firmwareMajor, firmwareMinor, major, minor);
    }
};

// The text of a machine state: "Undefine", "Down", "Idle", "Busy", "Error", or "Illegal (n)".
std::string MachineStateText(std::int32_t state);

// Window hooks the reply reader calls; every one may be left empty.
struct MachineEvents {
    // A busy reply (0x18) arrived: refresh the state display.
    std::function<void()> stateChanged;
    // A status reply arrived while the machine was busy: the four pocket counts (S, W, E, N).
    std::function<void(const std::array<std::int16_t, 4>&)> pocketCounts;
    // A status reply left the machine busy: refresh the dealing time.
    std::function<void()> busy;
    // A reply that only the maintenance window shows (0x11, 0x12, 0x15, 0x17, 0x0A, 0x0F, 0x10, 0x1B, 0x81,
    // 0xB3): the whole descrambled packet and its size.
    std::function<void(const PacketBuffer&, std::size_t)> maintenanceReply;
};

} // namespace orvenix
