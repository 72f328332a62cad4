// orvenix-cli machine-info: opens the machine link as the program does before dealing, asks the machine
// for its firmware and options, and prints them.
#include "base/dialogs.h"
#include "base/messages.h"
#include "cli/command.h"
#include "cli/terminal_dialogs.h"
#include "machine/open_link.h"

#include <cstdio>
#include <iostream>

namespace orvenix::cli {
namespace {

std::string OptionText(std::int32_t word) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(word) & 0xFFFFu);
    std::string text = hex;
    std::string features;
    if (word & static_cast<std::int32_t>(kOptionBoardReader)) features += "board-number reader";
    if (word & static_cast<std::int32_t>(kOptionLargeIndex)) {
        features += std::string(features.empty() ? "" : ", ") + "large-index cards";
    }
    return features.empty() ? text : text + " (" + features + ")";
}

int RunMachineInfo(Args& args) {
    const std::string spec = TakeOption(args, "machine").value_or(kDefaultMachine);
    if (!args.empty()) throw std::runtime_error("unexpected argument '" + args.front() + "'");
    TerminalDialogs dialogs;
    std::string error;
    std::optional<MachineConnection> machine = OpenLink(spec, dialogs, nullptr, &error);
    if (!machine) throw std::runtime_error(error);
    const std::unique_ptr<MachineLink> link = std::move(machine->link);

    link->Open(kLinkTimeoutMs);
    if (!link->IsOpen()) {
        if (dialogs.Shown() == 0) std::cerr << "orvenix-cli machine-info: no machine found (" << spec << ")\n";
        const std::string detail = link->Si().LastErrorText();
        if (dialogs.Shown() != 0 && !detail.empty())
            std::cerr << "orvenix-cli machine-info: " << detail << "\n";
        return 1;
    }
    link->LatchOn();
    // The start-up exchange of the dealing window: info, then parameter blocks 1 and 2.
    link->FlushBuffers();
    const SharedMachineState& st = link->State();
    link->ResetErrorCount();
    link->ForgetInfo();
    link->RequestInfo();
    bool blocks = !link->LinkLost();
    for (std::uint8_t block : {std::uint8_t{1}, std::uint8_t{2}}) {
        if (blocks) blocks = link->RequestParameterBlock(block);
    }
    link->LatchOff();
    link->Close();
    if (!st.infoReceived) {
        std::cerr << PlainMessage(FormatMessage(MsgCannotCommunicatePower)) << "\n";
        return 1;
    }
    std::cout << "Firmware: " << FirmwareText(st.firmwareMajor, st.firmwareMinor) << "\n";
    if (blocks) {
        std::cout << "Options: " << OptionText(st.optionWord) << "\n";
        std::cout << "Machine number: " << st.parameterBlock[1][2] * 256 + st.parameterBlock[1][3] << "\n";
    }
    std::cout << "Serial number: " << link->ProductString() << "\n";
    if (!blocks) {
        std::cerr << "orvenix-cli machine-info: the machine did not report its options\n";
        return 1;
    }
    return 0;
}

const CliRegistrar reg{
    {"machine-info",
     "",
     "print the machine's firmware, options and numbers",
     RunMachineInfo,
     {{"--machine", "KIND",
       "how the machine is reached: emulated, serial[:DEVICE] or library[:PATH] (default: serial)"}}}};

} // namespace
} // namespace orvenix::cli
