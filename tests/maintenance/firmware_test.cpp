// The firmware image file, its headers and block order, and whole downloads into the emulated machine in
// virtual time.
#include "base/dialogs.h"
#include "base/messages.h"
#include "machine/emulated_si.h"
#include "machine/link.h"
#include "maintenance/firmware.h"
#include "support/firmware_files.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

using test::FirmwareFileBytes;
using test::FirmwareSection;
using Bytes = std::vector<std::uint8_t>;

// A file with two pattern sections of l1 and l2 bytes.
Bytes File(std::size_t l1, std::size_t l2) {
    return FirmwareFileBytes(FirmwareSection(l1), FirmwareSection(l2));
}

TEST(FirmwareFile, LoadsSoundFilesAndRefusesBadOnes) {
    using F = FirmwareFileFault;
    const Bytes s100 = FirmwareSection(100);
    const std::tuple<const char*, Bytes, F> cases[] = {
        {"two sections", File(40, 25), F::None},
        {"two empty sections", FirmwareFileBytes({}, {}), F::None},
        {"the largest file", File(65517, 65517), F::None},
        {"the largest section", File(65519, 10), F::None},
        {"15 bytes", Bytes(15), F::TooSmall},
        {"one byte more", FirmwareFileBytes(s100, FirmwareSection(26), 100, 25), F::InconsistentLengths},
        {"one byte less", FirmwareFileBytes(s100, FirmwareSection(24), 100, 25), F::InconsistentLengths},
        {"one byte too large", File(65518, 65517), F::TooLarge},
        {"section 1 too long", File(65520, 10), F::SectionTooLong},
        {"section 2 too long", File(10, 65530), F::SectionTooLong},
        {"negative length 2", FirmwareFileBytes(s100, {}, 200, -100), F::InconsistentLengths},
        {"negative length 1", FirmwareFileBytes(s100, {}, -1, 101), F::InconsistentLengths},
        {"lengths overflow", FirmwareFileBytes(s100, {}, 0x7FFFFFFF, 0x7FFFFFFF), F::InconsistentLengths},
        {"missing", {}, F::Unreadable},
    };
    test::TempDir dir;
    for (const auto& [name, file, expected] : cases) {
        SCOPED_TRACE(name);
        F fault = F::None;
        std::string why;
        if (expected != F::Unreadable) test::WriteFile(dir.File(name), std::string(file.begin(), file.end()));
        const auto image = LoadFirmwareFile(dir.File(name), &fault, &why);
        EXPECT_EQ(std::tuple(fault, why.empty(), image.has_value()),
                  std::tuple(expected, expected != F::Unreadable, expected == F::None));
        if (!image) continue;
        const auto l1 = static_cast<long>(image->length1);
        // Each section from index 16 of its buffer, the rest zero.
        EXPECT_EQ(
            std::tuple(image->fileSize, image->length1 + image->length2 + 16,
                       std::equal(file.begin() + 16, file.begin() + 16 + l1, image->image1.begin() + 16),
                       std::equal(file.begin() + 16 + l1, file.end(), image->image2.begin() + 16),
                       std::count(image->image1.begin() + 16 + l1, image->image1.end(), 0)),
            std::tuple(file.size(), file.size(), true, true, long(kImageBufferSize) - 16 - l1));
    }
}

TEST(FirmwareFile, HeadersCarryTheLengthAndTheBigEndianWordSum) {
    // Section bytes 01 02 03: L = 19, words 0x0102 and 0x0300 (the byte past the section is 0). Section 2
    // carries 0x0B 0x0C, which are not part of its own sum. 1000 bytes of 0xFF: L = 1016 = 0x03F8, 500 words
    // of 0xFFFF = 0x01F3FE0C; an empty section: L = 16, sum 0.
    const std::tuple<Bytes, Bytes, Bytes, Bytes> cases[] = {
        {{1, 2, 3}, {1, 2, 3}, {0, 19, 0, 0, 0, 0, 0x04, 0x02}, {0, 19, 0x0B, 0x0C, 0, 0, 0x04, 0x02}},
        {Bytes(1000, 0xFF), {}, {0x03, 0xF8, 0, 0, 0x01, 0xF3, 0xFE, 0x0C}, {0, 16, 0x0B, 0x0C, 0, 0, 0, 0}},
    };
    for (const auto& [section1, section2, header1, header2] : cases) {
        const auto image = ReadFirmwareImage(FirmwareFileBytes(section1, section2));
        EXPECT_EQ(std::pair(Bytes(image->image1.begin(), image->image1.begin() + 8),
                            Bytes(image->image2.begin(), image->image2.begin() + 8)),
                  std::pair(header1, header2));
    }
    FirmwareImageBuffer plain(kImageBufferSize, 0);
    plain[16] = 0x12;
    plain[18] = 0x56;
    // Bytes past the length do not count.
    EXPECT_EQ(std::pair(ImageChecksum(plain, 18), ImageChecksum(plain, 19)), std::pair(0x1200u, 0x6800u));
}

TEST(FirmwareFile, BlocksGoSectionTwoFirstAndHeadersLast) {
    // A section of L bytes sends blocks 1 to n while n x 128 does not exceed L (L = length + 16).
    const std::tuple<std::size_t, std::size_t, std::vector<std::uint16_t>> cases[] = {
        {300, 384, {1, 2, 513, 514, 515, 512, 0}},
        {112, 113, {1, 513, 512, 0}},
        {240, 239, {1, 2, 513, 512, 0}},
    };
    for (const auto& [length1, length2, expected] : cases) {
        const auto image = ReadFirmwareImage(File(length1, length2));
        std::vector<std::uint16_t> addresses;
        for (const auto& b : FirmwareBlockOrder(*image))
            addresses.push_back(b.address);
        EXPECT_EQ(addresses, expected) << length1;
    }
    const auto full = ReadFirmwareImage(FirmwareFileBytes(FirmwareSection(65519), {}));
    const auto order = FirmwareBlockOrder(*full); // the last block ends at the last byte of the buffer
    EXPECT_EQ(std::pair(int(order[510].address), int(order[511].address)), std::pair(511, 513));
}

class DownloadTest : public ::testing::Test {
  protected:
    DownloadTest() { link.Open(kLinkTimeoutMs); }
    EmulatedSi& emu() { return static_cast<EmulatedSi&>(link.Si()); }
    EmulatedMachine& machine() { return emu().Machine(); }
    // Downloads file; onBlock sees the number of answered blocks whenever it grows.
    DownloadCommandOutcome Download(const Bytes& file, std::function<void(int)> onBlock = {}) {
        const std::string path = dir.File("fw.adc");
        test::WriteFile(path, std::string(file.begin(), file.end()));
        DownloadView view;
        view.showTransfer = [this](bool shown) { shownStates.push_back(shown); };
        view.progress.percent = [this](int p) { percents.push_back(p); };
        view.progress.counters = [this, onBlock, blocks = 0](const DownloadCounters& c) mutable {
            lastCounters = c;
            if (c.Frames != blocks && onBlock) onBlock(blocks = c.Frames);
        };
        percents.clear();
        return DownloadFirmwareFile(link, dialogs, view, path, &result);
    }

    test::TempDir dir;
    ScriptedDialogs dialogs;
    MachineLink link{std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>()), dialogs};
    std::vector<bool> shownStates;
    std::vector<int> percents;
    DownloadCounters lastCounters;
    DownloadResult result;
};

// Every failed reply is sent once more and counted: the start packet's reply fails its checksum once, later
// ones come short, not at all and bad again.
TEST_F(DownloadTest, SuccessInstallsTheNewVersionAfterTheHeaders) {
    machine().InjectWireFault(WireFault::BadChecksum);
    const WireFault after[] = {WireFault::ShortReply, WireFault::NoReply, WireFault::BadChecksum};
    Bytes image = File(1000, 500);
    image[16] = 0x03; // the image carries the version 3.51
    EXPECT_EQ(Download(image,
                       [&](int blocks) {
                           if (blocks <= 3) machine().InjectWireFault(after[blocks - 1]);
                       }),
              DownloadCommandOutcome::Done);
    // L1 = 1016: blocks 1 to 7; L2 = 516: blocks 1 to 4; two header blocks. 128 x 100 / 1516 = 8.44 and
    // 1408 x 100 / 1516 = 92.88.
    EXPECT_EQ(std::tuple(result.counters, lastCounters, machine().FirmwareInstalled(), shownStates,
                         FirmwareText(machine().Config().firmwareMajor, machine().Config().firmwareMinor)),
              std::tuple(DownloadCounters{13, 2, 2, 0}, result.counters, 1, std::vector<bool>{true, false},
                         "3.51"));
    EXPECT_EQ(std::tuple(percents.size(), percents.front(), percents.back()), std::tuple(11u, 8, 93));
    // The start packet twice, then the 13 blocks and three repeats.
    const auto& sent = machine().Commands();
    EXPECT_EQ(std::tuple(sent[0].first[0], sent[1].first[0], sent[2].first[0], sent.size()),
              std::tuple(cmd::kDownloadStart, cmd::kDownloadStart, cmd::kDownloadData, 18u));
    EXPECT_EQ(std::tuple(dialogs.Last().text, emu().ReadTimeoutMs()),
              std::tuple(FormatMessage(MsgFirmwareDownloaded), kLinkTimeoutMs));
    // Zero blocks beyond a tiny file's size would push the share past 100.
    EXPECT_EQ(Download(File(1, 1)), DownloadCommandOutcome::Done);
    EXPECT_EQ(percents, (std::vector<int>{100, 100}));
}

// A programming error, two bad replies to the start packet or a lost link stop the download and keep the
// old firmware; a programming error says its code and position (code 3 is counted and the transfer goes on).
TEST_F(DownloadTest, FailuresStopTheDownloadAndKeepTheOldFirmware) {
    using O = DownloadCommandOutcome;
    const std::string lost = PlainMessage(FormatMessage(MsgLostCommunicationMaintenance));
    // Injected results, bad replies to the start packet, blocks answered before the link is lost (0: never).
    const std::tuple<std::vector<std::pair<std::uint8_t, int>>, int, int, O, std::string, DownloadCounters>
        cases[] = {
            {{{3, 2}, {2, 3}}, 0, 0, O::ProgrammingError, "Error: 2 during programming at 3", {3, 0, 0, 1}},
            {{{1, 514}}, 0, 0, O::ProgrammingError, "Error: 1 during programming at 514", {6, 0, 0, 0}},
            {{{2, 512}}, 0, 0, O::ProgrammingError, "Error: 2 during programming at 512", {9, 0, 0, 0}},
            {{{3, -1}}, 0, 0, O::ProgrammingError, "Error: 3 during programming .", {0, 0, 0, 0}},
            {{}, 2, 0, O::LinkLost, lost, {0, 2, 0, 0}},
            {{}, 0, 7, O::LinkLost, lost, {7, 0, 2, 0}},
        };
    for (const auto& [injected, badStarts, lostAfter, outcome, shown, counters] : cases) {
        SCOPED_TRACE(testing::PrintToString(counters));
        for (const auto& [code, address] : injected)
            machine().InjectDownloadResult(code, address);
        machine().InjectWireFault(WireFault::BadChecksum, badStarts);
        const O got = Download(File(600, 600),
                               [&](int blocks) { machine().SetLinkLost(lostAfter && blocks >= lostAfter); });
        EXPECT_EQ(std::tuple(got, PlainMessage(dialogs.Last().text), result.counters),
                  std::tuple(outcome, shown, counters));
    }
    EXPECT_EQ(machine().FirmwareInstalled(), 0);
}

TEST_F(DownloadTest, BadFilesAndNoFileSendNothing) {
    EXPECT_EQ(DownloadFirmwareFile(link, dialogs, {}), DownloadCommandOutcome::NoFile);
    EXPECT_EQ(dialogs.fileRequests.back().filters,
              (std::vector<std::string>{"Orvenix firmware file (*.adc)"}));
    EXPECT_EQ(Download(Bytes(8, 0)), DownloadCommandOutcome::BadFile);
    EXPECT_EQ(std::tuple(dialogs.messages.size(), dialogs.Last().text, machine().Commands().size()),
              std::tuple(1ul, FormatMessage(MsgCorruptFirmwareFile), 0ul));
}

} // namespace
} // namespace orvenix
