// Firmware download: the firmware image file (".adc"), the length-and-checksum header of each of its two
// sections, the order of the 128-byte blocks (header blocks last, section 2's before section 1's), the
// exchange rule with its counters, and the whole download on a MachineLink. The maintenance window and
// `orvenix-cli firmware` both run DownloadFirmwareFile, so they send the same packets and show the same
// messages.
#pragma once

#include "machine/packet.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvenix {

class Dialogs;
class MachineLink;

// File layout: two little-endian signed 32-bit section lengths, eight ignored bytes, then the sections.
inline constexpr std::size_t kFirmwareFileHeader = 16;
inline constexpr std::size_t kFirmwareFileMinimum = 9;
inline constexpr std::size_t kFirmwareFileMaximum = 131050;
// Each section goes into an image buffer of 65537 bytes, from index 16 on.
inline constexpr std::size_t kImageBufferSize = 65537;
inline constexpr std::size_t kImageDataOffset = 16;
// The total length L (section + 16) travels in two bytes of the header, and the last block k = L div 128
// must lie inside the buffer, so a section holds at most 65519 bytes.
inline constexpr std::size_t kMaxSectionLength = 65535 - kImageDataOffset;
inline constexpr std::size_t kFirmwareBlock = 128;
inline constexpr std::uint16_t kSection2Address = 512;

// Command bytes of the download.
inline constexpr std::uint8_t kDownloadStartCode = 0x29;
inline constexpr std::uint8_t kDownloadStartParameter = 0x5F;
inline constexpr std::uint8_t kDownloadDataCode = 0xAA;
inline constexpr std::uint8_t kDownloadDataParameter = 0x62;
// Result codes of the machine's download replies: 1 and 2 stop the transfer, 3 is counted in `Prog`;
// any other code counts as success.
inline constexpr std::uint8_t kProgramResultProgrammed = 3;

using FirmwareImageBuffer = std::vector<std::uint8_t>; // kImageBufferSize bytes

enum class FirmwareFileFault { None, TooSmall, TooLarge, InconsistentLengths, SectionTooLong, Unreadable };

// A firmware file as read: both image buffers with their headers built, ready to send.
struct FirmwareImage {
    std::int32_t length1 = 0; // section lengths from the file
    std::int32_t length2 = 0;
    std::size_t fileSize = 0;
    FirmwareImageBuffer image1 = FirmwareImageBuffer(kImageBufferSize, 0);
    FirmwareImageBuffer image2 = FirmwareImageBuffer(kImageBufferSize, 0);

    // L of a section (1 or 2): its length + 16.
    [[nodiscard]] std::size_t TotalLength(int section) const {
        return static_cast<std::size_t>(section == 1 ? length1 : length2) + kImageDataOffset;
    }
    [[nodiscard]] const FirmwareImageBuffer& Image(int section) const {
        return section == 1 ? image1 : image2;
    }
};

// Checks the file's bytes and builds both images: a size of at least 16 and at most 131050 bytes that
// equals length 1 + length 2 + 16, with both lengths from 0 to 65519. Anything else gives nothing and the
// fault; never reads outside data.
std::optional<FirmwareImage> ReadFirmwareImage(std::span<const std::uint8_t> data,
                                               FirmwareFileFault* fault = nullptr);
// Reads a file from disk: its size is checked before its bytes are read, so a huge file costs nothing.
std::optional<FirmwareImage> LoadFirmwareFile(const std::string& path, FirmwareFileFault* fault = nullptr,
                                              std::string* systemError = nullptr);

// The 32-bit sum of the big-endian words at 2, 4, 6, … up to and including totalLength − 1 (a word that
// reaches past the section takes the zero byte after it). The caller keeps bytes 2 to 7 zero.
std::uint32_t ImageChecksum(const FirmwareImageBuffer& image, std::size_t totalLength);
// Writes bytes 0 to 7 of an image: L div 256, L mod 256, (0, 0) or for section 2 (0x0B, 0x0C) written
// after the sum is taken, and the checksum big-endian.
void BuildImageHeader(FirmwareImageBuffer& image, std::size_t totalLength, bool section2);

// One 128-byte block of the transfer.
struct FirmwareBlock {
    int section = 1;           // 1 or 2
    std::size_t index = 0;     // k: image bytes k × 128 to k × 128 + 127
    std::uint16_t address = 0; // k for section 1, 512 + k for section 2
    friend bool operator==(const FirmwareBlock&, const FirmwareBlock&) = default;
};
// The blocks in sending order: section 1's blocks 1, 2, … while k × 128 does not exceed its L (block 1 is
// always sent), then section 2's the same way, then section 2's header block, then section 1's.
std::vector<FirmwareBlock> FirmwareBlockOrder(const FirmwareImage& image);
// The plain data packet of a block: 0xAA, 0x62, address div 256, address mod 256, three filler bytes,
// byte 7 left for the checksum, and the 128 image bytes.
void BuildDataPacket(PacketBuffer& p, const FirmwareImage& image, const FirmwareBlock& block,
                     const std::function<std::uint8_t()>& filler);

// The counters shown during the transfer (16-bit; they wrap like the machine's).
struct DownloadCounters {
    std::uint16_t Frames = 0; // data blocks answered
    std::uint16_t Sum = 0;    // replies rejected for their checksum
    std::uint16_t Comm = 0;   // no or short replies
    std::uint16_t Prog = 0;   // data blocks answered with result code 3
    friend bool operator==(const DownloadCounters&, const DownloadCounters&) = default;
};
// "Frames: n", "Sum: n", "Comm: n", "Prog: n".
std::array<std::string, 4> CounterTexts(const DownloadCounters& counters);

// What the transfer reports while it runs.
struct DownloadProgress {
    // The counters changed (after every failed reply and every answered block).
    std::function<void(const DownloadCounters&)> counters;
    // The progress bar's new value, 0 to 100; the window repaints here.
    std::function<void(int)> percent;
};

enum class DownloadOutcome { Done, ProgrammingError, LinkLost };

struct DownloadResult {
    DownloadOutcome outcome = DownloadOutcome::Done;
    std::uint8_t code = 0; // the result code of a programming error
    int position = -1;     // the block address of a programming error; -1: the start packet
    DownloadCounters counters;
    std::size_t blocksSent = 0; // data blocks answered
};

// Sends the start packet and every block with the exchange rule (one retry of the same packet; a second
// failure in a row is a lost link). Stops at once on result code 1 or 2 of a block, or any code other
// than 0 for the start packet. The link's time-outs are the caller's.
DownloadResult SendFirmware(MachineLink& link, const FirmwareImage& image,
                            const DownloadProgress& progress = {});

// "Error: *** during programming at ###" with the code and position; the start packet's error ends with
// "during programming ." in place of the position.
std::string ProgrammingErrorText(const DownloadResult& result);

// What the window or the terminal does around the transfer.
struct DownloadView {
    // The counters and progress bar appear (true) or disappear (false); the bar is set to 0 when they go.
    std::function<void(bool)> showTransfer;
    DownloadProgress progress;
};

enum class DownloadCommandOutcome { NoFile, BadFile, ProgrammingError, LinkLost, Done };

// The Download command from the file dialog to the end step: lengthens the link's time-outs to 2000 ms,
// asks for the file (filter "Orvenix firmware file (*.adc)") unless path is given, refuses a bad file
// before anything is sent, sends it, and shows the result: "New Firmware downloaded OK", the programming
// error (critical, "Download Error"), the corrupted-file message, or the lost link (critical,
// "Communication Error"). Every way out hides the transfer and sets the time-outs back to 200 ms. The
// caller marks the link lost and closes, or connects anew after success.
DownloadCommandOutcome DownloadFirmwareFile(MachineLink& link, Dialogs& dialogs, const DownloadView& view,
                                            std::optional<std::string> path = std::nullopt,
                                            DownloadResult* result = nullptr);

} // namespace orvenix
