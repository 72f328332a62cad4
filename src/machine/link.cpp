#include "machine/link.h"

#include "base/dialogs.h"
#include "base/log.h"
#include "base/messages.h"
#include "model/board.h"

#include <random>

namespace orvenix {

std::string MachineStateText(std::int32_t state) {
    switch (state) {
    case kStateUndefine:
        return "Undefine";
    case kStateDown:
        return "Down";
    case kStateIdle:
        return "Idle";
    case kStateBusy:
        return "Busy";
    case kStateError:
        return "Error";
    default:
        return "Illegal (" + std::to_string(state) + ")";
    }
}

std::uint8_t RandomFillerByte() {
    static std::mt19937 engine{std::random_device{}()};
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    const auto value = static_cast<int>(255.0 * uniform(engine));
    return static_cast<std::uint8_t>(value > 254 ? 254 : value);
}

void FillDealCards(PacketBuffer& p, const Board& board) {
    for (int c = 1; c <= kCards; ++c) {
        const std::uint8_t owner = board.cardOwner[static_cast<std::size_t>(c)];
        p[CardWirePosition(c)] = owner <= 4 ? SeatToPocket[owner] : 0;
    }
}

void FillReadCards(PacketBuffer& p, ReadMode mode, Seat dealer) {
    if (mode == ReadMode::PlayedBoards) {
        for (std::size_t i = 0; i < kCards; ++i)
            p[kFirstCardByte + i] = static_cast<std::uint8_t>(1 + i / 13);
        return;
    }
    // Pocket order of hand dealing: S, E, N, W, then S again.
    static constexpr std::array<PocketCode, 5> kNextPocket{1, 3, 1, 4, 2}; // indexed by pocket code
    PocketCode pocket = dealer >= 1 && dealer <= 4 ? SeatToPocket[dealer] : 1;
    for (std::size_t i = 0; i < kCards; ++i) {
        p[kFirstCardByte + i] = pocket;
        pocket = kNextPocket[pocket];
    }
}

namespace {

void DecodeStatus(const PacketBuffer& p, SharedMachineState& st, const MachineEvents& events) {
    if (st.MachineState == kStateBusy) {
        for (std::size_t i = 0; i < 4; ++i)
            st.pocketCount[i] = static_cast<std::int16_t>(p[2 + i] & 0x3F);
        if (events.pocketCounts) events.pocketCounts(st.pocketCount);
    }
    const std::uint8_t code = p[1];
    st.MachineState = code == kStatusIdle ? kStateIdle : code > kStatusBusyAbove ? kStateBusy : kStateError;
    if (st.MachineState == kStateBusy && events.busy) events.busy();
    st.statusCode = code;
    st.pedalFlag = (p[6] & kFlagPedal) != 0;
    st.boxFlag = (p[6] & kFlagBox) != 0;
    if (p[6] & kFlagBox) st.boxCounterAtInsert = st.boxCounter;
    if (p[6] & kFlagBoxReset) st.boxCounter = 0;
}

void DecodeReadResult(const PacketBuffer& p, Board* board) {
    if (board == nullptr) return;
    for (int c = 1; c <= kCards; ++c) {
        const std::uint8_t pocket = p[CardWirePosition(c)];
        // A byte outside the pocket codes leaves the card unplaced, like a 0.
        board->cardOwner[static_cast<std::size_t>(c)] = pocket <= 4 ? PocketToSeat[pocket] : 0;
    }
    AnalyseBoard(*board);
}

} // namespace

void DecodeReply(const PacketBuffer& p, std::size_t size, SharedMachineState& st, const MachineEvents& events,
                 Board* readTarget) {
    const std::uint8_t code = p[0];
    if (PacketSize(code) != size) return; // the caller read a packet of the wrong size: nothing to decode
    switch (code) {
    case reply::kBusy:
        st.MachineState = kStateBusy;
        if (events.stateChanged) events.stateChanged();
        break;
    case reply::kStatus:
    case reply::kStatusLong:
        DecodeStatus(p, st, events);
        break;
    case reply::kReadResult:
        DecodeReadResult(p, readTarget);
        break;
    case reply::kInfo:
        st.infoReceived = true;
        st.firmwareMajor = p[1];
        st.firmwareMinor = p[2];
        st.infoByte3 = p[3];
        st.infoByte4 = p[4];
        st.infoWord5 = p[5];
        break;
    case 0x29:
    case 0x2A:
    case 0x2C:
    case 0x2D:
        st.lastAcknowledgement = p[1];
        break;
    case reply::kParameterBlock:
        if (p[1] == 1) st.optionWord = p[4] * 256 + p[5];
        if (p[1] == 1 || p[1] == 2) {
            for (std::size_t i = 1; i < 7; ++i)
                st.parameterBlock[p[1]][i] = p[i];
        }
        if (events.maintenanceReply) events.maintenanceReply(p, size);
        break;
    case reply::kSensors:
        if ((p[1] & 0x3F) == 4) {
            st.readBoardNumber = BoardLabelTable[p[2]];
            st.readLabelCode = p[2];
        }
        if (events.maintenanceReply) events.maintenanceReply(p, size);
        break;
    case 0x11:
    case 0x15:
    case 0x17:
    case 0x0A:
    case 0x0F:
    case 0x10:
    case reply::kImageLine:
    case reply::kCounters:
        if (events.maintenanceReply) events.maintenanceReply(p, size);
        break;
    default:
        break;
    }
}

// ---- MachineLink -----------------------------------------------------------------------------------

MachineLink::MachineLink(std::unique_ptr<SiLayer> si, Dialogs& dialogs, ActivityLog* log)
    : si_(std::move(si)), dialogs_(dialogs), log_(log) {}

MachineLink::~MachineLink() {
    Close();
}

void MachineLink::Open(std::uint16_t timeoutMs) {
    if (handle_ != kNoLink) return;
    int step = 2;
    SiStatus status = si_->SI_GetDriverVersion(driverVersion_, driverVersionReserved_);
    lastStatus_ = status;
    if (status != kSiSuccess) return ReportInitFailure(status, step, false);
    step += 1;
    if (driverVersion_ < 0x30001) {
        const std::string version =
            std::to_string(driverVersion_ >> 16) + "." + std::to_string(driverVersion_ & 0xFFFF);
        dialogs_.Show(FormatMessage(MsgUsbDriverOld, version), "Driver Update Information", Buttons::Ok,
                      Icon::Information);
    }

    std::uint32_t count = 0;
    status = si_->SI_GetNumDevices(count);
    lastStatus_ = status;
    if (status != kSiSuccess) return ReportInitFailure(status, step, false);
    step += 1;
    if (count == 0) return;

    step += 1;
    std::array<char, kProductStringBufferSize> buffer{};
    std::string firstString;
    std::string acceptedString;
    std::uint32_t accepted = 0;
    bool found = false;
    for (std::uint32_t index = 0; index < count && !found; ++index) {
        // A fresh buffer for every device, so that bytes of a longer earlier string cannot make a later
        // string look like a four-digit serial number.
        buffer.fill(0);
        status = si_->SI_GetProductString(index, buffer.data(), kProductSerialNumber);
        lastStatus_ = status;
        buffer.back() = 0;
        std::string text;
        for (std::size_t i = 0; i < 1023 && buffer[i] != 0; ++i)
            text += buffer[i];
        if (index == 0) firstString = text;
        auto digit = [&](std::size_t i) { return buffer[i] >= '0' && buffer[i] <= '9'; };
        if (digit(0) && digit(1) && digit(2) && digit(3) && buffer[5] == 0) {
            found = true;
            accepted = index;
            acceptedString = text;
        }
    }
    std::uint32_t device = 0;
    productString_ = firstString;
    if (count != 1 && found) {
        device = accepted;
        productString_ = acceptedString;
    }
    if (status != kSiSuccess) return ReportInitFailure(status, step, false);
    step += 1;

    SiHandle handle = kNoLink;
    status = si_->SI_Open(device, handle);
    lastStatus_ = status;
    if (status != kSiSuccess) return ReportInitFailure(status, step, false);
    handle_ = handle;
    step += 2;
    status = si_->SI_SetTimeouts(timeoutMs, timeoutMs);
    lastStatus_ = status;
    if (status != kSiSuccess) return ReportInitFailure(status, step, true);
    step += 1;
    status = si_->SI_SetBaudRate(handle_, kBaudRate);
    lastStatus_ = status;
    if (status != kSiSuccess) return ReportInitFailure(status, step, true);
    step += 1;
    status = si_->SI_SetLineControl(handle_, kLineControl8N1);
    lastStatus_ = status;
    if (status != kSiSuccess) return ReportInitFailure(status, step, true);
    step += 1;
    status = si_->SI_FlushBuffers(handle_, 1, 1);
    lastStatus_ = status;
    if (status != kSiSuccess) return ReportInitFailure(status, step, true);
}

void MachineLink::ReportInitFailure(SiStatus status, int step, bool opened) {
    const std::string code = std::to_string(status) + "." + std::to_string(step);
    std::string text;
    if (status == kSiSystemError) {
        dialogs_.Show(std::to_string(si_->LastSystemError()), "", Buttons::Ok, Icon::None);
        text = FormatMessage(MsgUsbDriversMissing, code);
    } else {
        text = FormatMessage(MsgCannotCommunicateUsb, code);
    }
    if (log_ != nullptr) {
        const std::string detail = si_->LastErrorText();
        log_->LogLine("USB Communication Error: " + code + (detail.empty() ? "" : " (" + detail + ")"));
    }
    dialogs_.Show(text, "USB Communication Error", Buttons::Ok, Icon::Critical);
    if (opened) si_->SI_Close(handle_);
    handle_ = kNoLink;
}

void MachineLink::SetTimeouts(std::uint16_t timeoutMs) {
    si_->SI_SetTimeouts(timeoutMs, timeoutMs);
}

void MachineLink::Close() {
    if (handle_ != kNoLink) si_->SI_Close(handle_);
    handle_ = kNoLink;
}

void MachineLink::Send(std::size_t size) {
    state_.replyStatus = kReplyGood;
    ScramblePacket(sendBuffer_, size, kSendKeyStep, wireBuffer_);
    std::uint32_t written = 0;
    si_->SI_Write(handle_, wireBuffer_.data(), static_cast<std::uint32_t>(size), written);
    readFailed_ = false;
}

void MachineLink::SendShortPacket() {
    Send(kShortPacket);
}
void MachineLink::SendLongPacket() {
    Send(kLongPacket);
}
void MachineLink::FlushBuffers() {
    si_->SI_FlushBuffers(handle_, 1, 1);
}
void MachineLink::LatchOn() {
    si_->SI_WriteLatch(handle_, 1, 1);
}
void MachineLink::LatchOff() {
    si_->SI_WriteLatch(handle_, 1, 0);
}

void MachineLink::ReceiveReply() {
    auto fail = [this](std::uint8_t status) {
        FlushBuffers();
        state_.replyStatus = status;
        if (state_.commErrorCount < 0x7FFF) ++state_.commErrorCount;
    };
    std::uint32_t got = 0;
    lastStatus_ = si_->SI_Read(handle_, receiveWire_.data(), kShortPacket, got);
    if (got < kShortPacket) {
        readFailed_ = true;
        return fail(kReplyShort);
    }
    PacketBuffer plain{};
    const std::uint8_t key = DescrambleHead(receiveWire_, kReceiveKeyStep, plain);
    std::size_t size = kShortPacket;
    if (plain[0] & kLongCodeBit) {
        got = 0;
        lastStatus_ =
            si_->SI_Read(handle_, receiveWire_.data() + kShortPacket, kLongPacket - kShortPacket, got);
        if (got < kLongPacket - kShortPacket) {
            readFailed_ = true;
            return fail(kReplyShort);
        }
        DescrambleTail(receiveWire_, key, kReceiveKeyStep, plain);
        size = kLongPacket;
    }
    if (!PacketChecksumGood(plain, receiveWire_[7], size)) return fail(kReplyChecksum);
    receiveBuffer_ = plain;
    receiveSize_ = size;
    DecodeReply(plain, size, state_, events_, readTarget_);
    state_.replyStatus = kReplyGood;
    state_.commErrorCount = 0;
}

bool MachineLink::Exchange(const std::function<void(PacketBuffer&)>& build) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        sendBuffer_.fill(0);
        build(sendBuffer_);
        Send(PacketSize(sendBuffer_[0]));
        ReceiveReply();
        if (state_.commErrorCount != 1) break;
    }
    return state_.commErrorCount == 0;
}

void MachineLink::BuildShort(std::uint8_t code, std::initializer_list<std::uint8_t> parameters) {
    sendBuffer_.fill(0);
    sendBuffer_[0] = code;
    std::size_t i = 1;
    for (std::uint8_t v : parameters) {
        if (i > 6) break;
        sendBuffer_[i++] = v;
    }
    for (; i < 7; ++i)
        sendBuffer_[i] = filler_();
}

std::uint8_t MachineLink::AcknowledgeBits() const {
    std::uint8_t bits = 0;
    if (state_.pedalFlag) bits |= kRequestAckPedal;
    if (state_.boxFlag) bits |= kRequestAckBox;
    return bits;
}

bool MachineLink::RequestStatus(std::uint8_t requestBits) {
    return Exchange([&](PacketBuffer&) { BuildShort(cmd::kStatus, {requestBits}); });
}

bool MachineLink::RequestInfo() {
    return Exchange([&](PacketBuffer&) { BuildShort(cmd::kInfo); });
}

bool MachineLink::RequestParameterBlock(std::uint8_t block) {
    return Exchange([&](PacketBuffer&) { BuildShort(cmd::kParameterBlock, {block}); });
}

bool MachineLink::RequestBoardLabel() {
    return Exchange([&](PacketBuffer&) { BuildShort(cmd::kSensors, {4, 0}); });
}

bool MachineLink::RequestReadResult() {
    return Exchange([&](PacketBuffer&) { BuildShort(cmd::kReadResult, {0}); });
}

namespace {
void FillLongHead(PacketBuffer& p, std::uint8_t code, std::uint8_t continueBoard, std::uint8_t options,
                  int sequenceIndex, std::uint8_t fill) {
    p.fill(0);
    p[0] = code;
    p[1] = continueBoard;
    p[2] = options;
    p[3] = static_cast<std::uint8_t>(sequenceIndex & 3);
    p[4] = SequenceFirstByte(sequenceIndex);
    p[5] = SequenceSecondByte(sequenceIndex);
    p[6] = fill;
}
} // namespace

void MachineLink::BuildDealCommand(PacketBuffer& p, const Board& board, std::uint8_t continueBoard,
                                   std::uint8_t options, int sequenceIndex) {
    FillLongHead(p, cmd::kDeal, continueBoard, options, sequenceIndex, filler_());
    FillDealCards(p, board);
}

void MachineLink::BuildReadCommand(PacketBuffer& p, ReadMode mode, Seat dealer, std::uint8_t continueBoard,
                                   std::uint8_t options, int sequenceIndex) {
    FillLongHead(p, cmd::kRead, continueBoard, options, sequenceIndex, filler_());
    FillReadCards(p, mode, dealer);
}

} // namespace orvenix
