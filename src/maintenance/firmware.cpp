#include "maintenance/firmware.h"

#include "base/dialogs.h"
#include "base/messages.h"
#include "machine/link.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace orvenix {

namespace {

std::int32_t LittleEndian32(std::span<const std::uint8_t> data, std::size_t at) {
    const std::uint32_t v =
        static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
        static_cast<std::uint32_t>(data[at + 2]) << 16 | static_cast<std::uint32_t>(data[at + 3]) << 24;
    return static_cast<std::int32_t>(v);
}

std::optional<FirmwareImage> Refuse(FirmwareFileFault* fault, FirmwareFileFault why) {
    if (fault != nullptr) *fault = why;
    return std::nullopt;
}

} // namespace

std::optional<FirmwareImage> ReadFirmwareImage(std::span<const std::uint8_t> data, FirmwareFileFault* fault) {
    if (fault != nullptr) *fault = FirmwareFileFault::None;
    if (data.size() > kFirmwareFileMaximum) return Refuse(fault, FirmwareFileFault::TooLarge);
    // Files of 9 to 15 bytes pass the size rule but cannot hold the four header fields.
    if (data.size() < kFirmwareFileMinimum || data.size() < kFirmwareFileHeader) {
        return Refuse(fault, FirmwareFileFault::TooSmall);
    }
    FirmwareImage image;
    image.length1 = LittleEndian32(data, 0);
    image.length2 = LittleEndian32(data, 4);
    image.fileSize = data.size();
    const std::int64_t expected = static_cast<std::int64_t>(image.length1) + image.length2 +
                                  static_cast<std::int64_t>(kFirmwareFileHeader);
    if (image.length1 < 0 || image.length2 < 0 || expected != static_cast<std::int64_t>(data.size())) {
        return Refuse(fault, FirmwareFileFault::InconsistentLengths);
    }
    if (static_cast<std::size_t>(image.length1) > kMaxSectionLength ||
        static_cast<std::size_t>(image.length2) > kMaxSectionLength) {
        return Refuse(fault, FirmwareFileFault::SectionTooLong);
    }
    const auto n1 = static_cast<std::size_t>(image.length1);
    const auto n2 = static_cast<std::size_t>(image.length2);
    std::copy_n(data.begin() + kFirmwareFileHeader, n1, image.image1.begin() + kImageDataOffset);
    std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(kFirmwareFileHeader + n1), n2,
                image.image2.begin() + kImageDataOffset);
    BuildImageHeader(image.image1, image.TotalLength(1), false);
    BuildImageHeader(image.image2, image.TotalLength(2), true);
    return image;
}

std::optional<FirmwareImage> LoadFirmwareFile(const std::string& path, FirmwareFileFault* fault,
                                              std::string* systemError) {
    std::error_code ec;
    const std::filesystem::path file(path);
    const auto size = std::filesystem::file_size(file, ec);
    auto unreadable = [&](const std::string& why) {
        if (systemError != nullptr) *systemError = why;
        return Refuse(fault, FirmwareFileFault::Unreadable);
    };
    if (ec) return unreadable(ec.message());
    if (size > kFirmwareFileMaximum) return Refuse(fault, FirmwareFileFault::TooLarge);
    std::ifstream in(file, std::ios::binary);
    if (!in) return unreadable("cannot open the file");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    // A file that shrank while it was read is judged by what could be read.
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad()) return unreadable("read error");
    return ReadFirmwareImage(bytes, fault);
}

std::uint32_t ImageChecksum(const FirmwareImageBuffer& image, std::size_t totalLength) {
    std::uint32_t sum = 0;
    const std::size_t last = std::min(totalLength, image.size() - 1);
    for (std::size_t i = 2; i + 1 <= last; i += 2) {
        sum += static_cast<std::uint32_t>(image[i]) * 256u + image[i + 1];
    }
    return sum;
}

void BuildImageHeader(FirmwareImageBuffer& image, std::size_t totalLength, bool section2) {
    std::fill(image.begin(), image.begin() + 8, std::uint8_t{0});
    image[0] = static_cast<std::uint8_t>(totalLength / 256);
    image[1] = static_cast<std::uint8_t>(totalLength % 256);
    const std::uint32_t sum = ImageChecksum(image, totalLength);
    image[4] = static_cast<std::uint8_t>(sum >> 24);
    image[5] = static_cast<std::uint8_t>(sum >> 16);
    image[6] = static_cast<std::uint8_t>(sum >> 8);
    image[7] = static_cast<std::uint8_t>(sum);
    if (section2) {
        image[2] = 0x0B;
        image[3] = 0x0C;
    }
}

std::vector<FirmwareBlock> FirmwareBlockOrder(const FirmwareImage& image) {
    std::vector<FirmwareBlock> order;
    for (int section : {1, 2}) {
        const std::size_t total = image.TotalLength(section);
        const std::uint16_t base = section == 1 ? 0 : kSection2Address;
        std::size_t k = 1;
        do {
            order.push_back({section, k, static_cast<std::uint16_t>(base + k)});
            ++k;
        } while (k * kFirmwareBlock <= total);
    }
    order.push_back({2, 0, kSection2Address});
    order.push_back({1, 0, 0});
    return order;
}

void BuildDataPacket(PacketBuffer& p, const FirmwareImage& image, const FirmwareBlock& block,
                     const std::function<std::uint8_t()>& filler) {
    p.fill(0);
    p[0] = kDownloadDataCode;
    p[1] = kDownloadDataParameter;
    p[2] = static_cast<std::uint8_t>(block.address / 256);
    p[3] = static_cast<std::uint8_t>(block.address % 256);
    for (std::size_t i = 4; i < 7; ++i)
        p[i] = filler();
    const FirmwareImageBuffer& source = image.Image(block.section);
    const std::size_t from = block.index * kFirmwareBlock;
    for (std::size_t i = 0; i < kFirmwareBlock; ++i) {
        // Blocks never reach past the buffer for sections within the limit; guard anyway.
        p[8 + i] = from + i < source.size() ? source[from + i] : 0;
    }
}

std::array<std::string, 4> CounterTexts(const DownloadCounters& c) {
    return {"Frames: " + std::to_string(c.Frames), "Sum: " + std::to_string(c.Sum),
            "Comm: " + std::to_string(c.Comm), "Prog: " + std::to_string(c.Prog)};
}

namespace {

// One packet with the exchange rule of the download: the same packet goes out once more after a failed
// reply; every failed reply is counted. True when a reply was accepted; the result code is then in
// lastAcknowledgement (0 when the reply was of another kind).
bool DownloadExchange(MachineLink& link, const PacketBuffer& packet, DownloadCounters& counters,
                      const DownloadProgress& progress) {
    const std::size_t size = PacketSize(packet[0]);
    for (int attempt = 0; attempt < 2; ++attempt) {
        link.SetCommand(packet);
        link.ExpectAcknowledgement();
        if (size == kLongPacket)
            link.SendLongPacket();
        else
            link.SendShortPacket();
        link.ReceiveReply();
        if (link.State().replyStatus == kReplyGood) return true;
        if (link.State().replyStatus == kReplyChecksum)
            ++counters.Sum;
        else
            ++counters.Comm;
        if (progress.counters) progress.counters(counters);
    }
    return false;
}

} // namespace

DownloadResult SendFirmware(MachineLink& link, const FirmwareImage& image, const DownloadProgress& progress) {
    DownloadResult result;
    DownloadCounters& counters = result.counters;
    if (progress.counters) progress.counters(counters);
    link.ResetErrorCount();

    PacketBuffer packet{};
    packet[0] = kDownloadStartCode;
    packet[1] = kDownloadStartParameter;
    for (std::size_t i = 2; i < 7; ++i)
        packet[i] = link.FillerByte();
    if (!DownloadExchange(link, packet, counters, progress)) {
        result.outcome = DownloadOutcome::LinkLost;
        return result;
    }
    if (link.State().lastAcknowledgement != 0) {
        result.outcome = DownloadOutcome::ProgrammingError;
        result.code = link.State().lastAcknowledgement;
        return result;
    }

    std::size_t bytesSent = 0;
    for (const FirmwareBlock& block : FirmwareBlockOrder(image)) {
        BuildDataPacket(packet, image, block, [&link] { return link.FillerByte(); });
        if (!DownloadExchange(link, packet, counters, progress)) {
            result.outcome = DownloadOutcome::LinkLost;
            return result;
        }
        const std::uint8_t code = link.State().lastAcknowledgement;
        ++counters.Frames;
        ++result.blocksSent;
        if (code == kProgramResultProgrammed) ++counters.Prog;
        if (progress.counters) progress.counters(counters);
        if (code == 1 || code == 2) {
            result.outcome = DownloadOutcome::ProgrammingError;
            result.code = code;
            result.position = block.address;
            return result;
        }
        if (block.index != 0) {
            bytesSent += kFirmwareBlock;
            const double share = static_cast<double>(bytesSent) * 100.0 / static_cast<double>(image.fileSize);
            const int percent = static_cast<int>(std::min(100.0, std::nearbyint(share)));
            if (progress.percent) progress.percent(percent);
        }
    }
    return result;
}

std::string ProgrammingErrorText(const DownloadResult& result) {
    const std::string code = std::to_string(result.code);
    if (result.position < 0) {
        // The start packet has no position: "at ###" gives way to a full stop.
        return ReplaceAll(ReplaceAll(MessageTemplate(MsgProgrammingError), "***", code), "at ###", ".");
    }
    return FormatMessage(MsgProgrammingError, code, std::to_string(result.position));
}

DownloadCommandOutcome DownloadFirmwareFile(MachineLink& link, Dialogs& dialogs, const DownloadView& view,
                                            std::optional<std::string> path, DownloadResult* out) {
    link.SetTimeouts(kDownloadTimeoutMs);
    auto end = [&](DownloadCommandOutcome outcome) {
        if (view.showTransfer) view.showTransfer(false);
        link.SetTimeouts(kLinkTimeoutMs);
        return outcome;
    };
    if (!path) {
        FileDialogRequest request;
        request.filters = {"Orvenix firmware file (*.adc)"};
        request.selectedFilter = 0;
        const auto chosen = dialogs.FileDialog(request);
        if (!chosen || chosen->path.empty()) return end(DownloadCommandOutcome::NoFile);
        path = chosen->path;
    }
    FirmwareFileFault fault = FirmwareFileFault::None;
    std::string systemError;
    const auto image = LoadFirmwareFile(*path, &fault, &systemError);
    if (!image) {
        const std::string text = fault == FirmwareFileFault::Unreadable
                                     ? "Cannot read " + *path + ": " + systemError
                                     : FormatMessage(MsgCorruptFirmwareFile);
        dialogs.Show(text, "Download Error", Buttons::Ok, Icon::Critical);
        return end(DownloadCommandOutcome::BadFile);
    }
    if (view.showTransfer) view.showTransfer(true);
    const DownloadResult result = SendFirmware(link, *image, view.progress);
    if (out != nullptr) *out = result;
    switch (result.outcome) {
    case DownloadOutcome::LinkLost:
        dialogs.Show(FormatMessage(MsgLostCommunicationMaintenance), "Communication Error", Buttons::Ok,
                     Icon::Critical);
        return end(DownloadCommandOutcome::LinkLost);
    case DownloadOutcome::ProgrammingError:
        dialogs.Show(ProgrammingErrorText(result), "Download Error", Buttons::Ok, Icon::Critical);
        return end(DownloadCommandOutcome::ProgrammingError);
    case DownloadOutcome::Done:
        break;
    }
    dialogs.Show(FormatMessage(MsgFirmwareDownloaded), "Firmware download", Buttons::Ok, Icon::Information);
    return end(DownloadCommandOutcome::Done);
}

} // namespace orvenix
