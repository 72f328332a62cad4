#include "machine/emulated_machine.h"

#include <algorithm>

namespace orvenix {

namespace {
constexpr std::uint8_t kBusyStatus = 0xF1;
constexpr std::uint8_t kErrorRecognise = 25;
constexpr std::uint8_t kErrorDuplicate = 54;
constexpr std::uint8_t kErrorFeeding = 55;
constexpr std::uint8_t kErrorBreak = 57;
constexpr std::uint8_t kErrorNoPocket = 62; // a card byte that names no pocket
constexpr std::size_t kCommandLogLimit = 4096;
} // namespace

EmulatedMachine::EmulatedMachine(EmulatorConfig config, std::uint32_t seed) : config_(config), random_(seed) {
    // Plausible recognition parameters for both index groups: frame position and start point, symbol
    // window, suit window (maximum x and y, minimum x and y), and the switch overrides (both off).
    for (std::size_t group : {0u, 4u}) {
        const auto g = static_cast<std::uint8_t>(group);
        parameters_[group + 1] = {static_cast<std::uint8_t>(10 + g), 12, 24, static_cast<std::uint8_t>(8 + g)};
        parameters_[group + 2] = {static_cast<std::uint8_t>(52 + g), 44, 20, 10};
        parameters_[group + 3] = {static_cast<std::uint8_t>(50 + g), 80, 22, 52};
        parameters_[group + 4] = {0, 0, 0, 0};
    }
}

void EmulatedMachine::SetDealOrder(const std::vector<CardCode>& order) {
    dealOrder_.clear();
    std::array<bool, 53> seen{};
    for (CardCode c : order) {
        if (c >= 1 && c <= kCards && !seen[c]) {
            seen[c] = true;
            dealOrder_.push_back(c);
        }
    }
}

void EmulatedMachine::InjectWireFault(WireFault fault, int count, std::uint8_t command) {
    for (int i = 0; i < count; ++i)
        faults_.push_back({fault, command});
}

std::size_t EmulatedMachine::Take(std::uint8_t* out, std::size_t max) {
    std::size_t n = 0;
    while (n < max && !output_.empty()) {
        out[n++] = output_.front();
        output_.pop_front();
    }
    return n;
}

std::optional<std::uint64_t> EmulatedMachine::NextEventMs() const {
    std::optional<std::uint64_t> next;
    if (!pending_.empty()) next = pending_.front().at;
    if (Busy() && (!next || nextCardAt_ < *next)) next = nextCardAt_;
    return next;
}

void EmulatedMachine::AdvanceTo(std::uint64_t now) {
    Step(now);
    while (!pending_.empty() && pending_.front().at <= now) {
        for (std::uint8_t b : pending_.front().bytes)
            output_.push_back(b);
        pending_.pop_front();
    }
}

void EmulatedMachine::Receive(const std::uint8_t* data, std::size_t count, std::uint64_t now) {
    AdvanceTo(now);
    if (count == 0) return;
    // A command left incomplete for longer than the gap is given up, so that the next one starts clean.
    if (!inbox_.empty() && now - lastByteAt_ > config_.interByteGapMs) {
        ++badCommands_;
        inbox_.clear();
    }
    lastByteAt_ = now;
    inbox_.insert(inbox_.end(), data, data + count);
    TryParse(now);
}

void EmulatedMachine::TryParse(std::uint64_t now) {
    while (inbox_.size() >= kShortPacket) {
        PacketBuffer wire{};
        std::copy_n(inbox_.begin(), kShortPacket, wire.begin());
        PacketBuffer p{};
        const std::uint8_t key = DescrambleHead(wire, kSendKeyStep, p);
        const std::size_t size = PacketSize(p[0]);
        if (inbox_.size() < size) return;
        if (size == kLongPacket) {
            std::copy_n(inbox_.begin(), kLongPacket, wire.begin());
            DescrambleTail(wire, key, kSendKeyStep, p);
        }
        if (!PacketChecksumGood(p, wire[7], size)) {
            // Out of step with the program: drop everything received and wait for the next command.
            ++badCommands_;
            inbox_.clear();
            return;
        }
        inbox_.erase(inbox_.begin(), inbox_.begin() + static_cast<std::ptrdiff_t>(size));
        if (commands_.size() >= kCommandLogLimit)
            commands_.erase(commands_.begin(), commands_.begin() + kCommandLogLimit / 2);
        commands_.emplace_back(p, size);
        Handle(p, size, now);
    }
}

std::uint8_t EmulatedMachine::StatusByte() const {
    switch (phase_) {
    case Phase::Idle:
        return kStatusIdle;
    case Phase::Dealing:
    case Phase::Reading:
        return kBusyStatus;
    case Phase::Error:
        return errorCode_;
    }
    return kStatusIdle;
}

std::array<std::uint8_t, 6> EmulatedMachine::StatusParams() {
    std::uint8_t flags = 0;
    if (pedalPending_) flags |= kFlagPedal;
    if (boxPending_) flags |= kFlagBox;
    if (boxResetPending_) flags |= kFlagBoxReset;
    boxResetPending_ = false; // reported once
    return {StatusByte(),
            static_cast<std::uint8_t>(pockets_[0] & 0x3F),
            static_cast<std::uint8_t>(pockets_[1] & 0x3F),
            static_cast<std::uint8_t>(pockets_[2] & 0x3F),
            static_cast<std::uint8_t>(pockets_[3] & 0x3F),
            flags};
}

void EmulatedMachine::Handle(const PacketBuffer& p, std::size_t size, std::uint64_t now) {
    if (linkLost_) return;
    answering_ = p[0];
    if (HandleMaintenance(p, now)) return;
    switch (p[0]) {
    case cmd::kStatus:
        if (p[1] & kRequestAckPedal) pedalPending_ = false;
        if (p[1] & kRequestAckBox) boxPending_ = false;
        if ((p[1] & kRequestBreak) && Busy()) StopWithError(kErrorBreak, now);
        ReplyShort(now, reply::kStatus, StatusParams());
        break;
    case cmd::kInfo:
        ReplyShort(now, reply::kInfo,
                   {config_.firmwareMajor, config_.firmwareMinor, config_.infoByte3, config_.infoByte4,
                    config_.infoWord5, Filler()});
        break;
    case cmd::kParameterBlock:
        if (p[1] == 1) {
            ReplyShort(now, reply::kParameterBlock,
                       {1, static_cast<std::uint8_t>(config_.serialNumber >> 8),
                        static_cast<std::uint8_t>(config_.serialNumber & 0xFF),
                        static_cast<std::uint8_t>(config_.optionWord >> 8),
                        static_cast<std::uint8_t>(config_.optionWord & 0xFF), Filler()});
        } else {
            ReplyShort(now, reply::kParameterBlock,
                       {p[1], config_.madeDay, config_.madeMonth,
                        static_cast<std::uint8_t>(config_.madeYear >> 8),
                        static_cast<std::uint8_t>(config_.madeYear & 0xFF), Filler()});
        }
        break;
    case cmd::kReadResult: {
        PacketBuffer r{};
        r[0] = reply::kReadResult;
        for (int c = 1; c <= kCards; ++c)
            r[CardWirePosition(c)] = cardPocket_[static_cast<std::size_t>(c)];
        ReplyLong(now, r);
        break;
    }
    case cmd::kDeal:
    case cmd::kRead: {
        const bool read = p[0] == cmd::kRead;
        const bool resume = p[1] == 1 && phase_ == Phase::Error && stepCommand_[0] == p[0];
        if (resume) {
            stepCommand_ = p;
            phase_ = read ? Phase::Reading : Phase::Dealing;
            errorCode_ = 0;
            nextCardAt_ = now + config_.cardIntervalMs;
        } else if (!Busy()) {
            StartStep(p, read, now);
        }
        if (read) {
            PacketBuffer r{};
            r[0] = reply::kStatusLong;
            const auto s = StatusParams();
            std::copy(s.begin(), s.end(), r.begin() + 1);
            ReplyLong(now, r);
        } else {
            ReplyShort(now, reply::kStatus, StatusParams());
        }
        break;
    }
    default:
        break; // unknown commands go unanswered
    }
    (void)size;
}

void EmulatedMachine::StartStep(const PacketBuffer& p, bool read, std::uint64_t now) {
    stepCommand_ = p;
    pockets_ = {};
    cardPocket_ = {};
    stepIndex_ = 0;
    cardsThisStep_ = 0;
    stepStart_ = now;
    stepEnd_ = now;
    errorCode_ = 0;
    if (read) {
        stepCards_ = readStack_;
        if (stepCards_.size() > kCards) stepCards_.resize(kCards);
        phase_ = Phase::Reading;
        if (stepCards_.empty()) return StopWithError(kErrorFeeding, now);
    } else {
        stepCards_ = dealOrder_;
        std::array<bool, 53> seen{};
        for (CardCode c : stepCards_)
            seen[c] = true;
        for (int c = 1; c <= kCards; ++c) {
            if (!seen[static_cast<std::size_t>(c)]) stepCards_.push_back(static_cast<CardCode>(c));
        }
        phase_ = Phase::Dealing;
    }
    nextCardAt_ = now + config_.cardIntervalMs;
    if (idleSteps_ > 0) {
        --idleSteps_;
        phase_ = Phase::Idle;
    }
}

void EmulatedMachine::StopWithError(std::uint8_t code, std::uint64_t now) {
    phase_ = Phase::Error;
    errorCode_ = code;
    stepEnd_ = now;
}

void EmulatedMachine::Step(std::uint64_t now) {
    while (Busy() && nextCardAt_ <= now) {
        const std::uint64_t at = nextCardAt_;
        nextCardAt_ += config_.cardIntervalMs;
        auto hit = std::find_if(injected_.begin(), injected_.end(),
                                [&](const Injected& i) { return i.atCard == cardsThisStep_ + 1; });
        if (hit != injected_.end()) {
            const std::uint8_t code = hit->code;
            injected_.erase(hit);
            StopWithError(code, at);
            break;
        }
        const CardCode card = stepCards_[stepIndex_];
        if (card < 1 || card > kCards) {
            StopWithError(kErrorRecognise, at);
            break;
        }
        if (phase_ == Phase::Reading && cardPocket_[card] != 0) {
            StopWithError(kErrorDuplicate, at);
            break;
        }
        // Dealing: the pocket the command gives this card. Reading: the pocket of this stack position.
        const std::size_t byte =
            phase_ == Phase::Dealing ? CardWirePosition(card) : kFirstCardByte + stepIndex_;
        PocketCode pocket = stepCommand_[byte];
        auto stray = std::find_if(misroutes_.begin(), misroutes_.end(),
                                  [&](const Injected& i) { return i.atCard == cardsThisStep_ + 1; });
        if (stray != misroutes_.end()) {
            pocket = stray->code;
            misroutes_.erase(stray);
        }
        if (pocket < 1 || pocket > 4) {
            StopWithError(kErrorNoPocket, at);
            break;
        }
        ++pockets_[pocket - 1U];
        cardPocket_[card] = pocket;
        ++stepIndex_;
        ++cardsThisStep_;
        if (stepIndex_ >= stepCards_.size()) {
            phase_ = Phase::Idle;
            stepEnd_ = at;
            if (stepCommand_[0] == cmd::kDeal) ++boardsDealt_;
        }
    }
}

void EmulatedMachine::ReplyShort(std::uint64_t now, std::uint8_t code, std::array<std::uint8_t, 6> params) {
    PacketBuffer p{};
    p[0] = code;
    std::copy(params.begin(), params.end(), p.begin() + 1);
    Queue(now, p, kShortPacket);
}

void EmulatedMachine::ReplyLong(std::uint64_t now, PacketBuffer p) {
    Queue(now, p, kLongPacket);
}

void EmulatedMachine::Queue(std::uint64_t now, PacketBuffer& p, std::size_t size) {
    PacketBuffer wire{};
    ScramblePacket(p, size, kReceiveKeyStep, wire);
    std::vector<std::uint8_t> bytes(wire.begin(), wire.begin() + static_cast<std::ptrdiff_t>(size));
    const auto due = std::find_if(faults_.begin(), faults_.end(), [this](const FaultFor& f) {
        return f.command == 0 || f.command == answering_;
    });
    if (due != faults_.end()) {
        const WireFault fault = due->fault;
        faults_.erase(due);
        switch (fault) {
        case WireFault::BadChecksum: {
            // Byte 6 one lower than the check byte promises: the reply descrambles but sums to 0xFE.
            const auto key6 = static_cast<std::uint8_t>((bytes[7] ^ 0xFF) + 6 * kReceiveKeyStep);
            bytes[6] = static_cast<std::uint8_t>(static_cast<std::uint8_t>(p[6] - 1) ^ key6);
            break;
        }
        case WireFault::ShortReply:
            bytes.resize(size == kShortPacket ? 5 : 70);
            break;
        case WireFault::NoReply:
            return;
        case WireFault::OverLong:
            bytes.insert(bytes.end(), {0x5A, 0xA5, 0x3C});
            break;
        case WireFault::WrongReply: {
            PacketBuffer status{};
            status[0] = reply::kStatus;
            const auto params = StatusParams();
            std::copy(params.begin(), params.end(), status.begin() + 1);
            PacketBuffer statusWire{};
            ScramblePacket(status, kShortPacket, kReceiveKeyStep, statusWire);
            bytes.assign(statusWire.begin(), statusWire.begin() + static_cast<std::ptrdiff_t>(kShortPacket));
            break;
        }
        }
    }
    ++commandsAnswered_;
    pending_.push_back({now + config_.replyDelayMs, std::move(bytes)});
}

} // namespace orvenix
