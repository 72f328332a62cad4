// The firmware image file, its headers and checksums, the block order, and whole downloads into the
// emulated machine in virtual time: counters under wire faults, programming errors, a lost link, and the
// new version after a successful download.
#include "base/dialogs.h"
#include "base/messages.h"
#include "machine/emulated_si.h"
#include "machine/link.h"
#include "maintenance/firmware.h"
#include "support/firmware_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

using test::FirmwareFileBytes;
using test::FirmwareSection;

std::optional<FirmwareImage> Read(const std::vector<std::uint8_t>& bytes,
                                  FirmwareFileFault* fault = nullptr) {
    return ReadFirmwareImage(std::span<const std::uint8_t>(bytes.data(), bytes.size()), fault);
}

FirmwareFileFault FaultOf(const std::vector<std::uint8_t>& bytes) {
    FirmwareFileFault fault = FirmwareFileFault::None;
    EXPECT_FALSE(Read(bytes, &fault).has_value());
    return fault;
}

// ---- The file ----------------------------------------------------------------------------------------

TEST(FirmwareFile, SizeMustEqualBothLengthsPlusSixteen) {
    const auto s1 = FirmwareSection(40);
    const auto s2 = FirmwareSection(25);
    auto bytes = FirmwareFileBytes(s1, s2);
    ASSERT_EQ(bytes.size(), 81u);
    const auto image = Read(bytes);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->length1, 40);
    EXPECT_EQ(image->length2, 25);
    EXPECT_EQ(image->fileSize, 81u);
    // Sections from index 16 of their buffers, the rest zero.
    EXPECT_TRUE(std::equal(s1.begin(), s1.end(), image->image1.begin() + 16));
    EXPECT_TRUE(std::equal(s2.begin(), s2.end(), image->image2.begin() + 16));
    EXPECT_EQ(image->image1[56], 0);
    EXPECT_EQ(image->image1.size(), kImageBufferSize);

    // One byte more or less than the lengths promise.
    auto longer = bytes;
    longer.push_back(0);
    EXPECT_EQ(FaultOf(longer), FirmwareFileFault::InconsistentLengths);
    auto shorter = bytes;
    shorter.pop_back();
    EXPECT_EQ(FaultOf(shorter), FirmwareFileFault::InconsistentLengths);
}

TEST(FirmwareFile, SizeLimits) {
    // Too small for the header: 0, 8 (below the minimum), 9 and 15 (within it, but no room for the header).
    for (std::size_t n : {0u, 8u, 9u, 15u}) {
        EXPECT_EQ(FaultOf(std::vector<std::uint8_t>(n, 0)), FirmwareFileFault::TooSmall) << n;
    }
    // 16 bytes with two empty sections is the smallest sound file.
    EXPECT_TRUE(Read(FirmwareFileBytes({}, {})).has_value());
    // The largest file: 131050 bytes, two sections of 65517.
    const auto big = FirmwareFileBytes(FirmwareSection(65517), FirmwareSection(65517));
    ASSERT_EQ(big.size(), kFirmwareFileMaximum);
    EXPECT_TRUE(Read(big).has_value());
    const auto tooBig = FirmwareFileBytes(FirmwareSection(65518), FirmwareSection(65517));
    EXPECT_EQ(FaultOf(tooBig), FirmwareFileFault::TooLarge);
}

TEST(FirmwareFile, OversizeAndNegativeSectionsAreRefused) {
    // 65519 bytes fill the two length bytes of the header (L = 65535); one more does not fit.
    EXPECT_TRUE(Read(FirmwareFileBytes(FirmwareSection(65519), FirmwareSection(10))).has_value());
    EXPECT_EQ(FaultOf(FirmwareFileBytes(FirmwareSection(65520), FirmwareSection(10))),
              FirmwareFileFault::SectionTooLong);
    EXPECT_EQ(FaultOf(FirmwareFileBytes(FirmwareSection(10), FirmwareSection(65530))),
              FirmwareFileFault::SectionTooLong);
    // Lengths that add up only through a negative one.
    const auto s = FirmwareSection(100);
    EXPECT_EQ(FaultOf(FirmwareFileBytes(s, {}, 200, -100)), FirmwareFileFault::InconsistentLengths);
    EXPECT_EQ(FaultOf(FirmwareFileBytes(s, {}, -1, 101)), FirmwareFileFault::InconsistentLengths);
    // Lengths whose sum overflows 32 bits.
    EXPECT_EQ(FaultOf(FirmwareFileBytes(s, {}, 0x7FFFFFFF, 0x7FFFFFFF)),
              FirmwareFileFault::InconsistentLengths);
}

TEST(FirmwareFile, LoadChecksTheSizeOnDisk) {
    test::TempDir dir;
    FirmwareFileFault fault = FirmwareFileFault::None;
    std::string why;
    EXPECT_FALSE(LoadFirmwareFile(dir.File("missing.adc"), &fault, &why).has_value());
    EXPECT_EQ(fault, FirmwareFileFault::Unreadable);
    EXPECT_FALSE(why.empty());

    test::WriteFile(dir.File("big.adc"), std::vector<std::uint8_t>(kFirmwareFileMaximum + 1, 0));
    EXPECT_FALSE(LoadFirmwareFile(dir.File("big.adc"), &fault).has_value());
    EXPECT_EQ(fault, FirmwareFileFault::TooLarge);

    test::WriteFile(dir.File("good.adc"), FirmwareFileBytes(FirmwareSection(300), FirmwareSection(5)));
    const auto image = LoadFirmwareFile(dir.File("good.adc"), &fault);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->length1, 300);
}

// ---- Headers and checksums -----------------------------------------------------------------------------

TEST(FirmwareHeader, LengthAndBigEndianWordSum) {
    // Section bytes 01 02 03: L = 19, words at 16 (0x0102) and 18 (0x0300, the byte past the section is 0).
    const auto image = Read(FirmwareFileBytes({1, 2, 3}, {1, 2, 3}));
    ASSERT_TRUE(image.has_value());
    const std::vector<std::uint8_t> header1(image->image1.begin(), image->image1.begin() + 8);
    EXPECT_EQ(header1, (std::vector<std::uint8_t>{0, 19, 0, 0, 0, 0, 0x04, 0x02}));
    // Section 2 carries 0x0B 0x0C, which are not part of its own sum.
    const std::vector<std::uint8_t> header2(image->image2.begin(), image->image2.begin() + 8);
    EXPECT_EQ(header2, (std::vector<std::uint8_t>{0, 19, 0x0B, 0x0C, 0, 0, 0x04, 0x02}));
}

TEST(FirmwareHeader, SumRunsPastSixteenBits) {
    // 1000 bytes of 0xFF: L = 1016, 500 words of 0xFFFF = 32767500 = 0x01F3FE0C.
    const auto image = Read(FirmwareFileBytes(std::vector<std::uint8_t>(1000, 0xFF), {}));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->image1[0], 1016 / 256);
    EXPECT_EQ(image->image1[1], 1016 % 256);
    EXPECT_EQ(image->image1[4], 0x01);
    EXPECT_EQ(image->image1[5], 0xF3);
    EXPECT_EQ(image->image1[6], 0xFE);
    EXPECT_EQ(image->image1[7], 0x0C);
    // An empty section 2: L = 16 and nothing to sum.
    EXPECT_EQ(image->image2[0], 0);
    EXPECT_EQ(image->image2[1], 16);
    EXPECT_EQ(std::vector<std::uint8_t>(image->image2.begin() + 4, image->image2.begin() + 8),
              (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST(FirmwareHeader, ChecksumIgnoresBytesPastTheLength) {
    FirmwareImageBuffer image(kImageBufferSize, 0);
    image[16] = 0x12;
    image[17] = 0x34;
    image[18] = 0x56; // beyond L = 18
    EXPECT_EQ(ImageChecksum(image, 18), 0x1234u);
    EXPECT_EQ(ImageChecksum(image, 19), 0x1234u + 0x5600u);
}

// ---- Block order ---------------------------------------------------------------------------------------

std::vector<std::uint16_t> Addresses(const FirmwareImage& image) {
    std::vector<std::uint16_t> a;
    for (const auto& b : FirmwareBlockOrder(image))
        a.push_back(b.address);
    return a;
}

TEST(FirmwareBlocks, HeaderBlocksGoLastSectionTwoFirst) {
    // L1 = 316: blocks 1 and 2 (3 × 128 = 384 > 316); L2 = 400: blocks 1 to 3.
    const auto image = Read(FirmwareFileBytes(FirmwareSection(300), FirmwareSection(384)));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(Addresses(*image), (std::vector<std::uint16_t>{1, 2, 513, 514, 515, 512, 0}));
}

TEST(FirmwareBlocks, SectionOf112BytesSendsItsZeroBlock) {
    // L = 128: block 1 (bytes 128 to 255, all zero) is sent because 1 × 128 does not exceed 128.
    const auto image = Read(FirmwareFileBytes(FirmwareSection(112), FirmwareSection(113)));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(Addresses(*image), (std::vector<std::uint16_t>{1, 513, 512, 0}));
    PacketBuffer p{};
    const auto order = FirmwareBlockOrder(*image);
    BuildDataPacket(p, *image, order[0], [] { return std::uint8_t{0x55}; });
    EXPECT_EQ(p[0], 0xAA);
    EXPECT_EQ(p[1], 0x62);
    EXPECT_EQ(p[2], 0);
    EXPECT_EQ(p[3], 1);
    EXPECT_EQ(p[4], 0x55);
    for (std::size_t i = 8; i < 136; ++i)
        ASSERT_EQ(p[i], 0) << i;
    // L = 256 (240 bytes) reaches block 2; L = 255 stops after block 1.
    EXPECT_EQ(Addresses(*Read(FirmwareFileBytes(FirmwareSection(240), FirmwareSection(239)))),
              (std::vector<std::uint16_t>{1, 2, 513, 512, 0}));
}

TEST(FirmwareBlocks, DataPacketCarriesAddressAndImageBytes) {
    const auto s2 = FirmwareSection(1000);
    const auto image = Read(FirmwareFileBytes(FirmwareSection(10), s2));
    ASSERT_TRUE(image.has_value());
    PacketBuffer p{};
    // Section 2 block 3: address 515 = 0x0203, image bytes 384 to 511 = section bytes 368 to 495.
    BuildDataPacket(p, *image, {2, 3, 515}, [] { return std::uint8_t{9}; });
    EXPECT_EQ(p[2], 2);
    EXPECT_EQ(p[3], 3);
    for (std::size_t i = 0; i < 128; ++i)
        ASSERT_EQ(p[8 + i], s2[368 + i]) << i;
    // The header block carries bytes 0 to 127: the header itself first.
    BuildDataPacket(p, *image, {2, 0, 512}, [] { return std::uint8_t{9}; });
    EXPECT_EQ(p[8], 1016 / 256);
    EXPECT_EQ(p[10], 0x0B);
    EXPECT_EQ(p[11], 0x0C);
    // The largest section's last block ends at the last byte of the buffer.
    const auto full = Read(FirmwareFileBytes(FirmwareSection(65519), {}));
    ASSERT_TRUE(full.has_value());
    const auto order = FirmwareBlockOrder(*full);
    EXPECT_EQ(order[510].address, 511);
    EXPECT_EQ(order[511].address, 513);
}

// ---- Downloads into the emulated machine ----------------------------------------------------------------

class DownloadTest : public ::testing::Test {
  protected:
    DownloadTest() {
        auto si = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>());
        emu = si.get();
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        link->Open(kLinkTimeoutMs);
    }
    EmulatedMachine& machine() { return emu->Machine(); }
    std::string WriteImage(const std::vector<std::uint8_t>& bytes, const std::string& name = "fw.adc") {
        const std::string path = dir.File(name);
        test::WriteFile(path, bytes);
        return path;
    }
    DownloadCommandOutcome Download(const std::string& path, DownloadResult* result = nullptr) {
        DownloadView view;
        view.showTransfer = [this](bool shown) { shownStates.push_back(shown); };
        view.progress.percent = [this](int p) { percents.push_back(p); };
        view.progress.counters = [this](const DownloadCounters& c) { lastCounters = c; };
        return DownloadFirmwareFile(*link, dialogs, view, path, result);
    }
    int CommandsWithCode(std::uint8_t code) {
        int n = 0;
        for (const auto& [p, size] : machine().Commands())
            n += p[0] == code ? 1 : 0;
        return n;
    }

    test::TempDir dir;
    ScriptedDialogs dialogs;
    EmulatedSi* emu = nullptr;
    std::unique_ptr<MachineLink> link;
    std::vector<bool> shownStates;
    std::vector<int> percents;
    DownloadCounters lastCounters;
};

TEST_F(DownloadTest, SuccessInstallsTheNewVersionAfterTheHeaders) {
    const auto path = WriteImage(FirmwareFileBytes(FirmwareSection(1000, 0x02, 0x51), FirmwareSection(500)));
    DownloadResult result;
    EXPECT_EQ(Download(path, &result), DownloadCommandOutcome::Done);
    EXPECT_EQ(result.outcome, DownloadOutcome::Done);
    // L1 = 1016: blocks 1 to 7; L2 = 516: blocks 1 to 4; two header blocks.
    EXPECT_EQ(result.counters, (DownloadCounters{13, 0, 0, 0}));
    EXPECT_EQ(lastCounters, result.counters);
    EXPECT_EQ(machine().DownloadAddresses(),
              (std::vector<std::uint16_t>{1, 2, 3, 4, 5, 6, 7, 513, 514, 515, 516, 512, 0}));
    EXPECT_EQ(machine().FirmwareInstalled(), 1);
    // The start packet went first with its fixed bytes.
    const auto& first = machine().Commands().front().first;
    EXPECT_EQ(first[0], 0x29);
    EXPECT_EQ(first[1], 0x5F);
    // The message, the transfer shown and hidden, the progress bar up to 100 at most.
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgFirmwareDownloaded));
    EXPECT_EQ(dialogs.Last().title, "Firmware download");
    EXPECT_EQ(dialogs.Last().icon, Icon::Information);
    EXPECT_EQ(shownStates, (std::vector<bool>{true, false}));
    ASSERT_EQ(percents.size(), 11u);
    EXPECT_EQ(percents.front(), 8); // 128 × 100 / 1516 = 8.44
    EXPECT_EQ(percents.back(), 93); // 1408 × 100 / 1516 = 92.88
    EXPECT_EQ(emu->ReadTimeoutMs(), kLinkTimeoutMs);

    // Connecting anew: the machine reports the version the image carried.
    link->ForgetInfo();
    ASSERT_TRUE(link->RequestInfo());
    EXPECT_EQ(FirmwareText(link->State().firmwareMajor, link->State().firmwareMinor), "2.51");
}

TEST_F(DownloadTest, ProgressIsCappedAtOneHundred) {
    // Blocks beyond the file's size (a 112-byte section sends a zero block) push the share past 100.
    const auto path = WriteImage(FirmwareFileBytes(FirmwareSection(1), FirmwareSection(1)));
    EXPECT_EQ(Download(path), DownloadCommandOutcome::Done);
    ASSERT_EQ(percents.size(), 2u);
    EXPECT_EQ(percents[0], 100);
    EXPECT_EQ(percents[1], 100);
}

TEST_F(DownloadTest, CountersUnderChecksumFailuresAndShortReplies) {
    const auto path = WriteImage(FirmwareFileBytes(FirmwareSection(300), FirmwareSection(100)));
    // The start packet's reply fails its checksum once, a later one comes short, another not at all.
    machine().InjectWireFault(WireFault::BadChecksum);
    DownloadResult result;
    DownloadView view;
    int blocks = 0;
    view.progress.counters = [&](const DownloadCounters& c) {
        if (c.Frames != blocks) {
            blocks = c.Frames;
            if (blocks == 1) machine().InjectWireFault(WireFault::ShortReply);
            if (blocks == 2) machine().InjectWireFault(WireFault::NoReply);
            if (blocks == 3) machine().InjectWireFault(WireFault::BadChecksum);
        }
    };
    EXPECT_EQ(DownloadFirmwareFile(*link, dialogs, view, path, &result), DownloadCommandOutcome::Done);
    // Blocks 1, 2, 513, 512, 0; every failure was answered by the same packet once more.
    EXPECT_EQ(result.counters, (DownloadCounters{5, 2, 2, 0}));
    EXPECT_EQ(machine().FirmwareInstalled(), 1);
    EXPECT_EQ(CommandsWithCode(0x29), 2);
    EXPECT_EQ(CommandsWithCode(0xAA), 8);
}

TEST_F(DownloadTest, TwoFailuresInARowLoseTheLinkAndKeepTheOldFirmware) {
    const auto path = WriteImage(FirmwareFileBytes(FirmwareSection(2000, 0x03, 0x00), FirmwareSection(900)));
    DownloadView view;
    view.progress.percent = [&](int percent) {
        if (percent >= 30) machine().SetLinkLost(true);
    };
    DownloadResult result;
    EXPECT_EQ(DownloadFirmwareFile(*link, dialogs, view, path, &result), DownloadCommandOutcome::LinkLost);
    EXPECT_EQ(result.outcome, DownloadOutcome::LinkLost);
    EXPECT_EQ(result.counters.Comm, 2);
    EXPECT_EQ(link->State().commErrorCount, 2);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgLostCommunicationMaintenance));
    EXPECT_EQ(dialogs.Last().title, "Communication Error");
    EXPECT_EQ(dialogs.Last().icon, Icon::Critical);
    // Neither header block reached the machine, which keeps its firmware.
    const auto& got = machine().DownloadAddresses();
    EXPECT_EQ(std::count(got.begin(), got.end(), 0), 0);
    EXPECT_EQ(std::count(got.begin(), got.end(), 512), 0);
    EXPECT_EQ(machine().FirmwareInstalled(), 0);
    machine().SetLinkLost(false);
    link->ResetErrorCount();
    ASSERT_TRUE(link->RequestInfo());
    EXPECT_EQ(FirmwareText(link->State().firmwareMajor, link->State().firmwareMinor), "2.40");
    EXPECT_EQ(emu->ReadTimeoutMs(), kLinkTimeoutMs);
}

TEST_F(DownloadTest, ChecksumFailureTwiceOnTheStartPacket) {
    const auto path = WriteImage(FirmwareFileBytes(FirmwareSection(10), FirmwareSection(10)));
    machine().InjectWireFault(WireFault::BadChecksum, 2);
    DownloadResult result;
    EXPECT_EQ(Download(path, &result), DownloadCommandOutcome::LinkLost);
    EXPECT_EQ(result.counters, (DownloadCounters{0, 2, 0, 0}));
    EXPECT_EQ(CommandsWithCode(0xAA), 0);
}

TEST_F(DownloadTest, ProgrammingErrorsStopAtOnceWithCodeAndPosition) {
    const auto path = WriteImage(FirmwareFileBytes(FirmwareSection(600), FirmwareSection(600)));
    // Code 3 is counted and the transfer goes on; code 2 at block 3 stops it.
    machine().InjectDownloadResult(3, 2);
    machine().InjectDownloadResult(2, 3);
    DownloadResult result;
    EXPECT_EQ(Download(path, &result), DownloadCommandOutcome::ProgrammingError);
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.position, 3);
    EXPECT_EQ(result.counters, (DownloadCounters{3, 0, 0, 1}));
    EXPECT_EQ(machine().DownloadAddresses().back(), 3);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(PlainMessage(dialogs.Last().text), "Error: 2 during programming at 3");
    EXPECT_EQ(dialogs.Last().title, "Download Error");
    EXPECT_EQ(dialogs.Last().icon, Icon::Critical);

    // A second download in the same run reports its own code and position (section 2's block 2).
    machine().InjectDownloadResult(1, 514);
    EXPECT_EQ(Download(path, &result), DownloadCommandOutcome::ProgrammingError);
    EXPECT_EQ(PlainMessage(dialogs.Last().text), "Error: 1 during programming at 514");
    EXPECT_EQ(result.counters.Frames, 6); // 1 to 4, 513, 514
    // A header block refused by the machine.
    machine().InjectDownloadResult(2, 512);
    EXPECT_EQ(Download(path), DownloadCommandOutcome::ProgrammingError);
    EXPECT_EQ(PlainMessage(dialogs.Last().text), "Error: 2 during programming at 512");
    EXPECT_EQ(machine().FirmwareInstalled(), 0);
    // The template keeps its placeholders.
    EXPECT_NE(MessageTemplate(MsgProgrammingError).find("*** during programming at ###"), std::string::npos);
}

TEST_F(DownloadTest, StartPacketRefusedHasNoPosition) {
    const auto path = WriteImage(FirmwareFileBytes(FirmwareSection(10), FirmwareSection(10)));
    machine().InjectDownloadResult(3, -1);
    DownloadResult result;
    EXPECT_EQ(Download(path, &result), DownloadCommandOutcome::ProgrammingError);
    EXPECT_EQ(result.position, -1);
    EXPECT_EQ(PlainMessage(dialogs.Last().text), "Error: 3 during programming .");
    EXPECT_EQ(CommandsWithCode(0xAA), 0);
}

TEST_F(DownloadTest, MachineRefusesAnImageWhoseChecksumIsWrong) {
    auto image = Read(FirmwareFileBytes(FirmwareSection(500), FirmwareSection(300)));
    ASSERT_TRUE(image.has_value());
    image->image1[100] ^= 0xFF; // changed after the header was built
    const DownloadResult result = SendFirmware(*link, *image);
    EXPECT_EQ(result.outcome, DownloadOutcome::ProgrammingError);
    EXPECT_EQ(result.position, 0);
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(machine().FirmwareInstalled(), 0);
}

TEST_F(DownloadTest, BadFilesAndNoFileSendNothing) {
    // No file chosen: the dialog's filter, nothing sent, nothing shown.
    EXPECT_EQ(DownloadFirmwareFile(*link, dialogs, {}), DownloadCommandOutcome::NoFile);
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].filters, (std::vector<std::string>{"Orvenix firmware file (*.adc)"}));
    EXPECT_TRUE(dialogs.messages.empty());

    const std::vector<std::vector<std::uint8_t>> bad{
        std::vector<std::uint8_t>(8, 0),
        FirmwareFileBytes(FirmwareSection(20), FirmwareSection(20), 20, 21),
        FirmwareFileBytes(FirmwareSection(65520), FirmwareSection(4)),
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const auto path = WriteImage(bad[i], "bad" + std::to_string(i) + ".adc");
        dialogs.QueueFile(path);
        EXPECT_EQ(DownloadFirmwareFile(*link, dialogs, {}), DownloadCommandOutcome::BadFile) << i;
        EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgCorruptFirmwareFile));
        EXPECT_EQ(dialogs.Last().title, "Download Error");
        EXPECT_EQ(dialogs.Last().icon, Icon::Critical);
    }
    EXPECT_TRUE(machine().Commands().empty());
    EXPECT_EQ(emu->ReadTimeoutMs(), kLinkTimeoutMs);
}

} // namespace
} // namespace orvenix
