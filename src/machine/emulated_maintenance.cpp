// The emulated machine's maintenance side: parameter sets, sensors and switches, motors, temperature and
// supply, the board label, capture, recognition and the image lines of a synthetic card, the counters,
// and the firmware download with its checks of each block and of both section headers.
#include "machine/emulated_machine.h"

#include <algorithm>

namespace orvenix {

namespace {
constexpr std::size_t kImageSize = 65537;
constexpr int kImageLines = 128;
constexpr std::uint8_t kDownloadRefused = 2;

// True when an assembled section carries a sound header: its length, its marker bytes and the big-endian
// sum of its words from byte 2 to L - 1 with bytes 2 to 7 taken as zero.
bool SectionHeaderGood(const std::vector<std::uint8_t>& image, bool section2) {
    const std::size_t total = image[0] * 256u + image[1];
    if (total < 16) return false;
    if (section2 ? (image[2] != 0x0B || image[3] != 0x0C) : (image[2] != 0 || image[3] != 0)) return false;
    std::uint32_t sum = 0;
    for (std::size_t i = 8; i + 1 <= total && i + 1 < image.size(); i += 2)
        sum += image[i] * 256u + image[i + 1];
    const std::uint32_t stored = static_cast<std::uint32_t>(image[4]) << 24 |
                                 static_cast<std::uint32_t>(image[5]) << 16 |
                                 static_cast<std::uint32_t>(image[6]) << 8 | image[7];
    return sum == stored;
}

std::uint8_t Low(std::uint16_t v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}
std::uint8_t High15(std::uint16_t v) {
    return static_cast<std::uint8_t>((v >> 8) & 0x7F);
}
} // namespace

std::array<std::uint8_t, 4> EmulatedMachine::ParameterSet(int set) const {
    return set >= 1 && set <= 8 ? parameters_[static_cast<std::size_t>(set)] : std::array<std::uint8_t, 4>{};
}

std::uint8_t EmulatedMachine::ImagePixel(int x, int y) {
    // A card corner: an "A"-like symbol over a diamond on a light background, with a little shading.
    const bool symbol = x >= 22 && x <= 42 && y >= 12 && y <= 42 && !(x >= 28 && x <= 36 && y >= 20);
    const int dx = x - 32;
    const int dy = y - 66;
    const bool suit = (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) <= 12;
    if (symbol || suit) return static_cast<std::uint8_t>(20 + (x + y) % 8);
    return static_cast<std::uint8_t>(210 + (x * 3 + y) % 24);
}

std::uint8_t EmulatedMachine::TakeDownloadResult(int address, std::uint8_t otherwise) {
    auto hit = std::find_if(downloadResults_.begin(), downloadResults_.end(),
                            [&](const DownloadResultAt& r) { return r.address == address; });
    if (hit == downloadResults_.end()) return otherwise;
    const std::uint8_t code = hit->code;
    downloadResults_.erase(hit);
    return code;
}

std::uint8_t EmulatedMachine::DownloadBlock(const PacketBuffer& p) {
    const int address = p[2] * 256 + p[3];
    if (downloadAddresses_.size() < 4096) downloadAddresses_.push_back(static_cast<std::uint16_t>(address));
    if (p[1] != 0x62 || address >= 1024 || download1_.empty())
        return TakeDownloadResult(address, kDownloadRefused);
    auto& image = address < 512 ? download1_ : download2_;
    const std::size_t from = static_cast<std::size_t>(address % 512) * 128;
    std::copy_n(p.begin() + 8, 128, image.begin() + static_cast<std::ptrdiff_t>(from));
    std::uint8_t code = 0;
    if (address == 512 && !SectionHeaderGood(download2_, true)) code = kDownloadRefused;
    if (address == 0 && (!SectionHeaderGood(download1_, false) || !SectionHeaderGood(download2_, true)))
        code = kDownloadRefused;
    code = TakeDownloadResult(address, code);
    if (address == 0 && code != 1 && code != 2) {
        // Section 1's header is the last block: the new firmware takes over.
        config_.firmwareMajor = download1_[16];
        config_.firmwareMinor = download1_[17];
        ++firmwareInstalled_;
        download1_.clear();
        download2_.clear();
    }
    return code;
}

bool EmulatedMachine::HandleMaintenance(const PacketBuffer& p, std::uint64_t now) {
    const MaintenanceReadings& r = readings_;
    switch (p[0]) {
    case cmd::kSensors: {
        const std::uint8_t part = p[1] & 0x3F;
        const auto head = static_cast<std::uint8_t>(part | (flipPlateOpen_ ? 0 : 0x80));
        auto pair = [&](std::uint16_t a, std::uint16_t b) {
            ReplyShort(now, reply::kSensors, {head, Low(a), High15(a), Low(b), High15(b), Filler()});
        };
        switch (part) {
        case 0:
            pair(r.motorSpeed[0], r.motorSpeed[1]);
            break;
        case 1:
            pair(r.motorSpeed[2], r.motorSpeed[3]);
            break;
        case 2:
            pair(r.insideTemp, r.supplyVolt);
            break;
        case 3:
            ReplyShort(now, reply::kSensors, {head, r.pwm[0], r.pwm[1], r.pwm[2], r.pwm[3], Filler()});
            break;
        default:
            ReplyShort(now, reply::kSensors, {head, labelCode_, 0, 0, 0, 0});
            break;
        }
        return true;
    }
    case cmd::kReadParameters: {
        const std::size_t set = p[1] >= 1 && p[1] <= 8 ? p[1] : 0;
        const auto& v = parameters_[set];
        if (set == 4 || set == 8) {
            // The switch overrides come back as the parameter identity and two bits.
            const auto bits = static_cast<std::uint8_t>((v[0] != 0 ? 1 : 0) | (v[1] != 0 ? 2 : 0));
            ReplyShort(
                now, cmd::kReadParameters,
                {p[1], static_cast<std::uint8_t>(r.parameterId >> 8), Low(r.parameterId), bits, 0, Filler()});
        } else {
            ReplyShort(now, cmd::kReadParameters, {p[1], v[0], v[1], v[2], v[3], Filler()});
        }
        return true;
    }
    case cmd::kWriteParameters: {
        if (p[1] >= 1 && p[1] <= 8) parameters_[p[1]] = {p[2], p[3], p[4], p[5]};
        ReplyShort(now, cmd::kWriteParameters, {p[1], 0, Filler(), Filler(), Filler(), Filler()});
        return true;
    }
    case cmd::kOutputs: {
        outputs_ = p[1];
        if (p[2] == 1) ++cardsFed_;
        std::uint8_t flags = static_cast<std::uint8_t>(r.photoBlocked & 0x1F);
        if (r.frontSwitch) flags |= 0x20;
        if (r.coverSwitch) flags |= 0x40;
        if (boxPending_) flags |= 0x80;
        ReplyShort(now, cmd::kOutputs, {r.photo[0], r.photo[1], r.photo[2], r.photo[3], r.photo[4], flags});
        return true;
    }
    case cmd::kCapture:
        imageTwoLevel_ = false;
        ReplyShort(now, cmd::kCapture,
                   {static_cast<std::uint8_t>(r.captureTimeMs >> 8), Low(r.captureTimeMs), Filler(), Filler(),
                    Filler(), Filler()});
        return true;
    case cmd::kSendImage:
        // The whole picture, one line per reply, back to back.
        for (int y = 0; y < kImageLines; ++y) {
            PacketBuffer line{};
            line[0] = reply::kImageLine;
            line[1] = static_cast<std::uint8_t>(y);
            for (int x = 0; x < 128; ++x) {
                const std::uint8_t grey = ImagePixel(x, y);
                line[8 + static_cast<std::size_t>(x)] = imageTwoLevel_ ? (grey < r.threshold ? 1 : 0) : grey;
            }
            ReplyLong(now, line);
        }
        return true;
    case cmd::kRecognise:
        imageTwoLevel_ = true;
        ReplyShort(now, cmd::kRecognise,
                   {static_cast<std::uint8_t>(r.recognitionTimeMs >> 8), Low(r.recognitionTimeMs), r.symbol,
                    r.suit, r.threshold, r.recognitionError});
        return true;
    case cmd::kSymbolSize:
        ReplyShort(now, cmd::kSymbolSize, {3, 4, 21, 0, 31, 0});
        return true;
    case cmd::kSuitSize:
        ReplyShort(now, cmd::kSuitSize, {3, 4, 25, 0, 25, 0});
        return true;
    case cmd::kCounters: {
        PacketBuffer c{};
        c[0] = reply::kCounters;
        c[1] = p[1];
        c[2] = 0;
        c[8] = static_cast<std::uint8_t>(boardsDealt_ >> 24);
        c[9] = static_cast<std::uint8_t>(boardsDealt_ >> 16);
        c[10] = static_cast<std::uint8_t>(boardsDealt_ >> 8);
        c[11] = static_cast<std::uint8_t>(boardsDealt_);
        ReplyLong(now, c);
        return true;
    }
    case cmd::kDownloadStart: {
        download1_.assign(kImageSize, 0);
        download2_.assign(kImageSize, 0);
        downloadAddresses_.clear();
        const std::uint8_t code = TakeDownloadResult(-1, p[1] == 0x5F ? 0 : kDownloadRefused);
        ReplyShort(now, cmd::kDownloadStart, {code, Filler(), Filler(), Filler(), Filler(), Filler()});
        return true;
    }
    case cmd::kDownloadData: {
        const std::uint8_t code = DownloadBlock(p);
        ReplyShort(now, 0x2A, {code, p[2], p[3], Filler(), Filler(), Filler()});
        return true;
    }
    default:
        return false;
    }
}

} // namespace orvenix
