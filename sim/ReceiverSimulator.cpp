#include "sim/ReceiverSimulator.h"

#include "common/CodePage.h"
#include "sim/CasterTable.h"
#include "sim/CommandProcessor.h"
#include "sim/ReceiverState.h"
#include "sim/SimConnection.h"

#include <condition_variable>
#include <mutex>

namespace quorlex {

class ReceiverSimulator::Impl : public LineHandler {
public:
    Reply Answer(const std::string& command) override {
        const SimulatorFaults faults = CurrentFaults();
        {
            std::lock_guard lock(logMutex);
            commands.push_back(command);
            ++inFlight;
        }
        if (faults.silent) {
            return {};
        }
        const CommandFault* fault = TakeCommandFault(faults, command);
        std::vector<ReplyLine> replies;
        if (fault != nullptr && fault->kind == CommandFault::Kind::Ignore) {
            return {};
        }
        if (fault != nullptr && fault->kind == CommandFault::Kind::AnswerError) {
            replies = {ErrorReply(fault->errorCode, DecodeCp936(command))};
        } else {
            std::lock_guard lock(stateMutex);
            replies = CommandProcessor(state).Answer(DecodeCp936(command));
        }
        Reply reply;
        reply.dropInstead = fault != nullptr && fault->kind == CommandFault::Kind::DropAfter;
        reply.lines.reserve(replies.size());
        for (const ReplyLine& line : replies) {
            reply.lines.push_back(EncodeReplyLine(line, faults.badChecksums));
        }
        return reply;
    }

    // The first fault that matches and still applies; its count is used up
    // here. faults is the caller's copy, so the pointer stays valid.
    const CommandFault* TakeCommandFault(const SimulatorFaults& faults,
                                         const std::string& command) {
        std::lock_guard lock(settingsMutex);
        for (std::size_t i = 0; i < faults.commandFaults.size(); ++i) {
            const CommandFault& fault = faults.commandFaults[i];
            if (!fault.Matches(command) || i >= faultUses.size()) {
                continue;
            }
            if (fault.kind == CommandFault::Kind::AnswerError) {
                return &fault;
            }
            if (faultUses[i] < fault.count) {
                ++faultUses[i];
                return &fault;
            }
        }
        return nullptr;
    }

    void Answered() override {
        std::lock_guard lock(logMutex);
        --inFlight;
        logChanged.notify_all();
    }

    SimulatorFaults CurrentFaults() const override {
        std::lock_guard lock(settingsMutex);
        return faults;
    }

    int CurrentLineRate() const override {
        std::lock_guard lock(settingsMutex);
        return lineRate;
    }

    mutable std::mutex stateMutex;
    ReceiverState state;

    mutable std::mutex logMutex;
    mutable std::condition_variable logChanged;
    std::vector<std::string> commands;
    int inFlight = 0;

    mutable std::mutex settingsMutex;
    SimulatorFaults faults;
    // How often each command fault has applied.
    std::vector<int> faultUses;
    int lineRate = kDefaultLineRate;

    // Held while a connection is replaced or joined; the serving thread never takes it.
    mutable std::mutex connectionMutex;
    std::unique_ptr<SimConnection> connection;
    std::size_t lastBytesSent = 0;

    void DropConnection() {
        if (connection) {
            lastBytesSent = connection->BytesSent();
            connection.reset();
        }
    }
};

ReceiverSimulator::ReceiverSimulator() : impl_(std::make_unique<Impl>()) {}

ReceiverSimulator::~ReceiverSimulator() {
    Detach();
}

void ReceiverSimulator::Attach(int fd) {
    if (fd < 0) {
        return;
    }
    std::lock_guard lock(impl_->connectionMutex);
    impl_->DropConnection();
    impl_->connection = std::make_unique<SimConnection>(fd, *impl_);
}

void ReceiverSimulator::Detach() {
    std::lock_guard lock(impl_->connectionMutex);
    impl_->DropConnection();
}

bool ReceiverSimulator::Serving() const {
    std::lock_guard lock(impl_->connectionMutex);
    return impl_->connection && impl_->connection->Running();
}

std::vector<std::string> ReceiverSimulator::ReceivedCommands() const {
    std::lock_guard lock(impl_->logMutex);
    return impl_->commands;
}

void ReceiverSimulator::ClearReceivedCommands() {
    std::lock_guard lock(impl_->logMutex);
    impl_->commands.clear();
}

bool ReceiverSimulator::WaitForCommands(std::size_t count,
                                        std::chrono::milliseconds timeout) const {
    std::unique_lock lock(impl_->logMutex);
    return impl_->logChanged.wait_for(lock, timeout, [this, count] {
        return impl_->commands.size() >= count && impl_->inFlight == 0;
    });
}

std::size_t ReceiverSimulator::BytesSent() const {
    std::lock_guard lock(impl_->connectionMutex);
    return impl_->connection ? impl_->connection->BytesSent() : impl_->lastBytesSent;
}

void ReceiverSimulator::SetLineRate(int bitsPerSecond) {
    std::lock_guard lock(impl_->settingsMutex);
    impl_->lineRate = bitsPerSecond > 0 ? bitsPerSecond : 0;
}

int ReceiverSimulator::LineRate() const {
    return impl_->CurrentLineRate();
}

void ReceiverSimulator::SetFaults(const SimulatorFaults& faults) {
    std::lock_guard lock(impl_->settingsMutex);
    impl_->faults = faults;
    impl_->faultUses.assign(faults.commandFaults.size(), 0);
}

bool CommandFault::Matches(std::string_view received) const {
    return !command.empty() && received.starts_with(command) &&
           (received.size() == command.size() || received[command.size()] == ',');
}

SimulatorFaults ReceiverSimulator::Faults() const {
    return impl_->CurrentFaults();
}

int ReceiverSimulator::WorkingMode() const {
    std::lock_guard lock(impl_->stateMutex);
    return impl_->state.WorkingMode();
}

std::optional<std::u16string> ReceiverSimulator::Value(std::u16string_view key) const {
    std::lock_guard lock(impl_->stateMutex);
    return impl_->state.Value(key);
}

bool ReceiverSimulator::SetValue(std::u16string_view key, std::u16string_view value) {
    std::lock_guard lock(impl_->stateMutex);
    return impl_->state.Override(key, value);
}

std::optional<std::u16string> ReceiverSimulator::SlotValue(int slot,
                                                           std::u16string_view key) const {
    std::lock_guard lock(impl_->stateMutex);
    return impl_->state.SlotValue(slot, key);
}

int ReceiverSimulator::CurrentSlot() const {
    std::lock_guard lock(impl_->stateMutex);
    return impl_->state.CurrentSlot();
}

int ReceiverSimulator::OpenSlot() const {
    std::lock_guard lock(impl_->stateMutex);
    return impl_->state.OpenSlot();
}

std::u16string ReceiverSimulator::FivePinBaud() const {
    std::lock_guard lock(impl_->stateMutex);
    return impl_->state.FivePinBaud();
}

std::vector<std::u16string> ReceiverSimulator::MountPoints() const {
    std::lock_guard lock(impl_->stateMutex);
    return CasterTable::MountPoints(impl_->state.CasterStreams());
}

void ReceiverSimulator::SetCasterStreams(std::vector<std::u16string> streams) {
    std::lock_guard lock(impl_->stateMutex);
    impl_->state.SetCasterStreams(std::move(streams));
}

void ReceiverSimulator::SetCaster(CasterForm form) {
    std::lock_guard lock(impl_->stateMutex);
    impl_->state.SetCaster(form);
}

} // namespace quorlex
