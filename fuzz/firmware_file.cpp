// Arbitrary bytes as a firmware image file: the reader must neither crash nor read out of bounds, and an
// accepted file must give images whose headers and blocks stay inside their buffers.
#include "maintenance/firmware.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto image = orvenix::ReadFirmwareImage(std::span<const std::uint8_t>(data, size));
    if (!image) return 0;
    if (image->fileSize != size) std::abort();
    if (image->image1.size() != orvenix::kImageBufferSize ||
        image->image2.size() != orvenix::kImageBufferSize)
        std::abort();
    for (int section : {1, 2}) {
        const std::size_t total = image->TotalLength(section);
        const auto& buffer = image->Image(section);
        if (total > 65535 || buffer[0] * 256u + buffer[1] != total) std::abort();
    }
    orvenix::PacketBuffer packet{};
    std::size_t blocks = 0;
    for (const auto& block : orvenix::FirmwareBlockOrder(*image)) {
        if ((block.index + 1) * orvenix::kFirmwareBlock > orvenix::kImageBufferSize) std::abort();
        if (block.section == 1 ? block.address >= 512 : (block.address < 512 || block.address >= 1024))
            std::abort();
        orvenix::BuildDataPacket(packet, *image, block, [] { return std::uint8_t{0}; });
        ++blocks;
    }
    if (blocks < 4) std::abort();
    return 0;
}
