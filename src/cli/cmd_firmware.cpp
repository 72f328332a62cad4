// orvenix-cli firmware: downloads a firmware image file into the machine with the same code as the
// maintenance window: the machine's version first, then the transfer with a progress line and the
// counters, then the version the machine reports after connecting anew. The window's messages go to the
// error output; any failure ends with status 1.
#include "base/dialogs.h"
#include "base/messages.h"
#include "cli/command.h"
#include "cli/terminal_dialogs.h"
#include "machine/open_link.h"
#include "maintenance/firmware.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <thread>

#include <unistd.h>

namespace orvenix::cli {
namespace {

std::string CountersLine(const DownloadCounters& counters) {
    std::string line;
    for (const std::string& text : CounterTexts(counters))
        line += (line.empty() ? "" : "  ") + text;
    return line;
}

// The start-up exchange of the maintenance window, as far as the version goes. False on a lost link.
bool AskVersion(MachineLink& link) {
    link.FlushBuffers();
    link.ResetErrorCount();
    link.ForgetInfo();
    return link.RequestInfo() && link.State().infoReceived;
}

int RunFirmware(Args& args) {
    const std::string spec = TakeOption(args, "machine").value_or(kDefaultMachine);
    if (args.size() != 1)
        throw std::runtime_error(args.empty() ? "no firmware file given" : "unexpected argument");
    const std::string path = args.front();

    TerminalDialogs dialogs;
    std::string error;
    std::optional<MachineConnection> machine = OpenLink(spec, dialogs, nullptr, &error);
    if (!machine) throw std::runtime_error(error);
    const std::unique_ptr<MachineLink> link = std::move(machine->link);
    link->Open(kLinkTimeoutMs);
    if (!link->IsOpen()) {
        if (dialogs.Shown() == 0) std::cerr << "orvenix-cli firmware: no machine found (" << spec << ")\n";
        return 1;
    }
    link->LatchOn();
    if (!AskVersion(*link)) {
        std::cerr << PlainMessage(FormatMessage(MsgLostCommunicationMaintenance)) << "\n";
        link->LatchOff();
        return 1;
    }
    std::cout << "Firmware: " << FirmwareText(link->State().firmwareMajor, link->State().firmwareMinor)
              << std::endl;

    const bool terminal = ::isatty(STDOUT_FILENO) != 0;
    DownloadCounters counters;
    int percent = 0;
    auto progressLine = [&] {
        if (terminal)
            std::cout << "\rDownloading: " << percent << "%  " << CountersLine(counters) << std::flush;
    };
    DownloadView view;
    view.progress.counters = [&](const DownloadCounters& c) {
        counters = c;
        progressLine();
    };
    view.progress.percent = [&](int p) {
        percent = p;
        progressLine();
    };
    DownloadResult result;
    const DownloadCommandOutcome outcome = DownloadFirmwareFile(*link, dialogs, view, path, &result);
    if (terminal) std::cout << "\n";
    if (outcome != DownloadCommandOutcome::BadFile && outcome != DownloadCommandOutcome::NoFile)
        std::cout << CountersLine(result.counters) << std::endl;
    if (outcome != DownloadCommandOutcome::Done) {
        link->LatchOff();
        return 1;
    }

    // Connect anew, as the window does, and show the version the machine now reports.
    link->LatchOff();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    link->LatchOn();
    if (!AskVersion(*link)) {
        std::cerr << PlainMessage(FormatMessage(MsgLostCommunicationMaintenance)) << "\n";
        link->LatchOff();
        return 1;
    }
    std::cout << "New firmware: " << FirmwareText(link->State().firmwareMajor, link->State().firmwareMinor)
              << std::endl;
    link->LatchOff();
    return 0;
}

const CliRegistrar reg{
    {"firmware",
     "FILE.adc",
     "download a firmware image file into the machine",
     RunFirmware,
     {{"--machine", "KIND",
       "how the machine is reached: emulated, serial[:DEVICE] or library[:PATH] (default: serial)"}}}};

} // namespace
} // namespace orvenix::cli
