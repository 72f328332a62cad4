#include "maintenance/maintenance.h"

#include "base/dialogs.h"
#include "base/messages.h"
#include "base/settings.h"

namespace orvenix {

namespace {

constexpr std::uint8_t kCountersCommand = 0x33;
constexpr int kImageLinesPerPicture = 128;

int Word(std::uint8_t high, std::uint8_t low) {
    return high * 256 + low;
}
int Speed15(std::uint8_t low, std::uint8_t high) {
    return (high & 0x7F) * 256 + low;
}
SwitchField Switch(bool on) {
    return on ? SwitchField{"ON", kLightGreen} : SwitchField{"OFF", kLightRed};
}

// A parameter text as a byte: a whole number 0 to 255, nothing else.
std::optional<std::uint8_t> ParameterByte(const std::string& text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > 255) return std::nullopt;
    return static_cast<std::uint8_t>(v);
}

} // namespace

std::string SymbolText(std::uint8_t code) {
    switch (code) {
    case 0x0E:
        return "A";
    case 0x0D:
        return "K";
    case 0x0C:
        return "Q";
    case 0x0B:
        return "J";
    default:
        return std::to_string(code);
    }
}

std::string SuitText(std::uint8_t code) {
    switch (code) {
    case 1:
        return "S";
    case 2:
        return "H";
    case 3:
        return "D";
    case 4:
        return "C";
    default:
        return std::to_string(code);
    }
}

std::string TenthsText(int value) {
    return std::to_string(value / 10) + "." + std::to_string(value % 10);
}

MaintenanceSession::MaintenanceSession(MachineLink& link, Dialogs& dialogs, Settings& settings)
    : link_(link), dialogs_(dialogs), settings_(settings) {
    previousHook_ = link_.Events().maintenanceReply;
    link_.Events().maintenanceReply = [this](const PacketBuffer& p, std::size_t size) { Decode(p, size); };
}

MaintenanceSession::~MaintenanceSession() {
    link_.Events().maintenanceReply = previousHook_;
}

void MaintenanceSession::Decode(const PacketBuffer& p, std::size_t size) {
    MaintenanceFields& f = fields_;
    switch (p[0]) {
    case 0x11: {
        const int set = p[1];
        if (set < 1 || set > 8) return;
        const int position = (set - 1) % 4;
        if (position == 3) {
            f.param_ID = std::to_string(Word(p[2], p[3]));
            f.Ignore_flip = (p[4] & 1) != 0;
            f.Ignore_box = (p[4] & 2) != 0;
            // The switch overrides exist from firmware 2.20 on.
            f.ignoreEnabled = link_.State().FirmwareAtLeast(0x02, 0x20);
        } else {
            for (std::size_t i = 0; i < 4; ++i)
                f.parameters[static_cast<std::size_t>(position)][i] = std::to_string(p[2 + i]);
        }
        break;
    }
    case reply::kParameterBlock:
        if (p[1] == 1) {
            f.Serial_number = std::to_string(Word(p[2], p[3]));
            f.Hardware_ID = std::to_string(Word(p[4], p[5]));
        } else if (p[1] == 2) {
            f.Manuf_date =
                std::to_string(p[2]) + "/" + std::to_string(p[3]) + "/" + std::to_string(Word(p[4], p[5]));
        }
        break;
    case 0x15:
        f.Reco_time = std::to_string(Word(p[1], p[2]));
        f.Symbol = SymbolText(p[3]);
        f.Suit = SuitText(p[4]);
        f.Threshold = std::to_string(p[5]);
        f.Reco_error = p[6] == 0 ? "OK" : std::to_string(p[6]);
        break;
    case 0x17:
        for (std::size_t i = 0; i < 5; ++i) {
            f.Photo[i] = std::to_string(p[1 + i]);
            f.photoColour[i] = (p[6] >> i) & 1 ? kLightRed : kLightGreen;
        }
        f.Front_Switch = Switch((p[6] & 0x20) != 0);
        f.Cover_Switch = Switch((p[6] & 0x40) != 0);
        f.Box_Switch = Switch((p[6] & 0x80) != 0);
        break;
    case reply::kSensors: {
        const int part = p[1] & 0x3F;
        f.Flip_Switch = Switch((p[1] & 0x80) != 0);
        const int a = Speed15(p[2], p[3]);
        const int b = Speed15(p[4], p[5]);
        auto speeds = [&](std::size_t first) {
            f.motorSpeed[first] = std::to_string(a);
            f.motorSpeed[first + 1] = std::to_string(b);
            f.motorColour[first] = a != 0 ? kLightGreen : kWhite;
            f.motorColour[first + 1] = b != 0 ? kLightGreen : kWhite;
        };
        if (part == 0) speeds(0);
        if (part == 1) speeds(2);
        if (part == 2) {
            f.Inside_temp = TenthsText(a);
            f.Supply_volt = TenthsText(b);
        }
        if (part == 3) {
            for (std::size_t i = 0; i < 4; ++i)
                f.PWM_motor[i] = std::to_string(p[2 + i]);
        }
        if (part == 4) {
            f.Board_no_txt = std::to_string(BoardLabelTable[p[2]]);
            f.Board_no_test_txt = std::to_string(p[2]);
        }
        break;
    }
    case 0x0A:
        f.Cap_time = std::to_string(Word(p[1], p[2]));
        break;
    case 0x0F:
        f.Reco_param1 = std::to_string(p[1]);
        f.Reco_param2 = std::to_string(p[2]);
        f.symbolBox = {p[3], p[4], p[5], p[6]};
        f.Symbol_size_x = std::to_string(Word(p[4], p[3]));
        f.Symbol_size_y = std::to_string(Word(p[6], p[5]));
        break;
    case 0x10:
        f.suitBox = {p[3], p[4], p[5], p[6]};
        f.Suit_size_x = std::to_string(Word(p[4], p[3]));
        f.Suit_size_y = std::to_string(Word(p[6], p[5]));
        break;
    case reply::kImageLine:
        if (size == kLongPacket) {
            ++imageLines_;
            if (imageLine) imageLine(p[1], p.data() + 8, imageMode_);
        }
        return;
    case reply::kCounters:
        if (size == kLongPacket && p[2] == 0) {
            const std::uint32_t n = static_cast<std::uint32_t>(p[8]) << 24 |
                                    static_cast<std::uint32_t>(p[9]) << 16 |
                                    static_cast<std::uint32_t>(p[10]) << 8 | p[11];
            f.Boards_dealed = std::to_string(n);
        }
        break;
    default:
        return;
    }
    Changed();
}

bool MaintenanceSession::Lost() {
    if (!linkLost_) {
        linkLost_ = true;
        busy_ = false;
        dialogs_.Show(FormatMessage(MsgLostCommunicationMaintenance), "Communication Error", Buttons::Ok,
                      Icon::Critical);
    }
    return false;
}

bool MaintenanceSession::Command(std::uint8_t code, std::initializer_list<std::uint8_t> parameters) {
    if (linkLost_) return false;
    if (link_.Exchange([&](PacketBuffer&) { link_.BuildShort(code, parameters); })) return true;
    return Lost();
}

void MaintenanceSession::Connect() {
    const std::string usb = fields_.txtUSB_ID.empty() ? link_.ProductString() : fields_.txtUSB_ID;
    fields_ = MaintenanceFields{};
    fields_.txtUSB_ID = link_.ProductString().empty() ? usb : link_.ProductString();
    link_.ResetErrorCount();
    controlsEnabled_ = false;
    downloadEnabled_ = false;
    options_ = LoadCardOptions(settings_);
    if (optionsChanged) optionsChanged();
    link_.LatchOn();
    Changed();
}

bool MaintenanceSession::StartupExchange() {
    const SharedMachineState& st = link_.State();
    link_.FlushBuffers();
    if (!busy_) {
        busy_ = true;
        link_.ForgetInfo();
        if (!Command(cmd::kInfo, {})) return false;
        if (st.infoReceived) {
            fields_.Soft_ver = FirmwareText(st.firmwareMajor, st.firmwareMinor);
            fields_.Down_ID = std::to_string(Word(st.infoByte3, st.infoByte4));
            fields_.Flash_ID_text = std::to_string(st.infoWord5);
        }
        busy_ = false;
    }
    if (!Command(cmd::kParameterBlock, {1}) || !Command(cmd::kParameterBlock, {2}) ||
        !Command(kCountersCommand, {0, 0})) {
        return false;
    }
    if (st.infoReceived && Word(st.infoByte3, st.infoByte4) != 0) {
        fields_.ignoreEnabled = st.FirmwareAtLeast(0x02, 0x20);
        if ((st.optionWord & static_cast<std::int32_t>(kOptionLargeIndex)) == 0 ||
            LargeIndexFirmwareTooOld(st)) {
            if (options_.cardIndex != 0) {
                options_.cardIndex = 0;
                SaveCardIndex(settings_, options_);
                if (optionsChanged) optionsChanged();
            }
        }
        if (!ReadParameters()) return false;
        controlsEnabled_ = true;
    }
    downloadEnabled_ = true;
    Changed();
    return true;
}

bool MaintenanceSession::SensorRequest(bool feed) {
    if (busy_ || linkLost_) return !linkLost_;
    busy_ = true;
    const SharedMachineState& st = link_.State();
    bool ok = Command(cmd::kOutputs, {outputs, static_cast<std::uint8_t>(feed ? 1 : 0)});
    struct Part {
        std::uint8_t n, minor;
    };
    for (const Part part : {Part{0, 0x20}, Part{1, 0x20}, Part{2, 0x24}, Part{3, 0x26}, Part{4, 0x37}}) {
        if (ok && st.FirmwareAtLeast(0x02, part.minor)) ok = Command(cmd::kSensors, {part.n, 0x00});
    }
    busy_ = false;
    Changed();
    return ok;
}

void MaintenanceSession::ClearResults() {
    MaintenanceFields& f = fields_;
    for (std::string* s :
         {&f.Reco_time, &f.Symbol, &f.Suit, &f.Threshold, &f.Reco_error, &f.Reco_param1, &f.Reco_param2,
          &f.Symbol_size_x, &f.Symbol_size_y, &f.Suit_size_x, &f.Suit_size_y, &f.Cap_time}) {
        s->clear();
    }
    f.symbolBox = {};
    f.suitBox = {};
}

bool MaintenanceSession::Recognise() {
    if (busy_ || linkLost_) return !linkLost_;
    ClearResults();
    imageMode_ = kImageTwoLevel;
    busy_ = true;
    bool ok = Command(cmd::kRecognise, {static_cast<std::uint8_t>(options_.national),
                                        static_cast<std::uint8_t>(options_.cardType),
                                        static_cast<std::uint8_t>(options_.threshold),
                                        static_cast<std::uint8_t>(options_.cardIndex), 0x00, 0x00});
    if (ok && RecognitionOk()) ok = Command(cmd::kSymbolSize, {}) && Command(cmd::kSuitSize, {});
    busy_ = false;
    Changed();
    return ok;
}

bool MaintenanceSession::Capture() {
    if (busy_ || linkLost_) return !linkLost_;
    ClearResults();
    imageMode_ = kImageGrey;
    busy_ = true;
    const bool ok =
        Command(cmd::kCapture, {static_cast<std::uint8_t>(options_.cardIndex == 1 ? 1 : 0), 0x00, 0x00});
    busy_ = false;
    Changed();
    return ok;
}

bool MaintenanceSession::ShowImage() {
    if (linkLost_) return false;
    imageLines_ = 0;
    if (!Command(cmd::kSendImage, {})) return false;
    // The machine sends the picture line by line; the lines that follow the first are read until the
    // picture is complete or nothing more comes (which ends the picture, not the link).
    while (link_.LastReply()[0] == reply::kImageLine && imageLines_ < kImageLinesPerPicture) {
        link_.ReceiveReply();
        if (link_.State().replyStatus != kReplyGood) {
            link_.ResetErrorCount();
            break;
        }
    }
    return true;
}

bool MaintenanceSession::ReadParameters() {
    const int base = GroupBase();
    for (int k = base; k < base + 4; ++k) {
        if (!Command(cmd::kReadParameters, {static_cast<std::uint8_t>(k)})) return false;
    }
    Changed();
    return true;
}

bool MaintenanceSession::SaveParameters() {
    if (linkLost_) return false;
    std::array<std::array<std::uint8_t, 4>, 4> values{};
    for (std::size_t set = 0; set < 3; ++set) {
        for (std::size_t i = 0; i < 4; ++i) {
            const auto v = ParameterByte(fields_.parameters[set][i]);
            if (!v) {
                dialogs_.Show("Parameter values must be whole numbers from 0 to 255", "Parameters update",
                              Buttons::Ok, Icon::Exclamation);
                return true;
            }
            values[set][i] = *v;
        }
    }
    values[3] = {static_cast<std::uint8_t>(fields_.Ignore_flip ? 1 : 0),
                 static_cast<std::uint8_t>(fields_.Ignore_box ? 1 : 0), 0, 0};
    const int base = GroupBase();
    busy_ = true;
    for (std::size_t position : {0u, 1u, 3u, 2u}) {
        const auto& v = values[position];
        if (!Command(cmd::kWriteParameters, {static_cast<std::uint8_t>(base + static_cast<int>(position)),
                                             v[0], v[1], v[2], v[3]})) {
            return false;
        }
    }
    busy_ = false;
    dialogs_.Show(FormatMessage(MsgParametersUpdated), "Parameters update", Buttons::Ok, Icon::Information);
    busy_ = true;
    const bool ok = ReadParameters();
    busy_ = false;
    return ok;
}

bool MaintenanceSession::ChooseNational(int national) {
    options_.national = national >= 0 && national < kNationalSets ? national : 0;
    SaveNational(settings_, options_);
    return true;
}

bool MaintenanceSession::ChooseCardType(int type) {
    options_.cardType = type == 1 ? 1 : 0;
    SaveCardType(settings_, options_);
    return true;
}

bool MaintenanceSession::ChooseThreshold(int threshold) {
    options_.threshold = threshold >= 0 && threshold <= 2 ? threshold : 0;
    SaveThreshold(settings_, options_);
    return true;
}

bool MaintenanceSession::ChooseCardIndex(int index) {
    const int before = options_.cardIndex;
    options_.cardIndex = index == 1 ? 1 : 0;
    if (options_.cardIndex == 1) {
        const SharedMachineState& st = link_.State();
        std::string refusal;
        if ((st.optionWord & static_cast<std::int32_t>(kOptionLargeIndex)) == 0) {
            refusal = FormatMessage(MsgJumboNotSuitable);
        } else if (LargeIndexFirmwareTooOld(st)) {
            refusal =
                FormatMessage(MsgLargeIndexNeedsFirmware, FirmwareText(st.firmwareMajor, st.firmwareMinor));
        }
        if (!refusal.empty()) {
            // Undone on screen first, so that what is shown and stored is the standard index.
            options_.cardIndex = 0;
            if (optionsChanged) optionsChanged();
            dialogs_.Show(refusal, "Maintenance Error", Buttons::Ok, Icon::Critical);
        }
    }
    SaveCardIndex(settings_, options_);
    if (options_.cardIndex != before && controlsEnabled_) {
        busy_ = true;
        const bool ok = ReadParameters();
        busy_ = false;
        return ok;
    }
    return true;
}

void MaintenanceSession::DisableAfterDownload() {
    fields_.Soft_ver.clear();
    fields_.Down_ID.clear();
    controlsEnabled_ = false;
    downloadEnabled_ = false;
    Changed();
}

void MaintenanceSession::Close() {
    link_.LatchOff();
    link_.Close();
}

} // namespace orvenix
