#include "tests/replay/ReplayFlows.h"

#include "model/CommandItem.h"
#include "network/MountPointFetch.h"
#include "settings/SaveSequence.h"

namespace quorlex::replay {
namespace {

constexpr int32_t kSavedSlot = 2;
constexpr int32_t kBaseNetworkMode = 3;

bool Start(ReceiverControl& control, const std::vector<CommandItem>& items,
           std::u16string_view title) {
    control.ClearCommands();
    for (const CommandItem& item : items) {
        control.AddCommand(item);
    }
    return control.StartBatch(title);
}

} // namespace

std::vector<std::string> FlowSteps(std::string_view flow) {
    std::vector<std::string> steps;
    while (!flow.empty()) {
        const std::size_t end = flow.find(';');
        std::string_view step = flow.substr(0, end);
        while (!step.empty() && step.front() == ' ') {
            step.remove_prefix(1);
        }
        while (!step.empty() && step.back() == ' ') {
            step.remove_suffix(1);
        }
        if (!step.empty()) {
            steps.emplace_back(step);
        }
        flow = end == std::string_view::npos ? std::string_view() : flow.substr(end + 1);
    }
    return steps;
}

bool StartFlowStep(std::string_view step, MainFrameCore& core) {
    ReceiverControl& control = core.Control();
    if (step == "read") {
        return Start(control, {MakeCommandItem(u"GET,ALL", u"读取当前配置信息")}, u"读取配置");
    }
    if (step == "save-slot") {
        ReceiverConfig work = control.Settings().config;
        NetworkServerBlock& server = work.datalink.network[1].server;
        server.address = u"192.0.2.77";
        server.port = 2102;
        server.mountPoint = u"RTCM32_GG";
        server.user = u"surveyor";
        server.password = u"s3cr3t";
        return Start(control,
                     BuildSaveCommands(SaveAction::ApplyAndSaveSlot, kSavedSlot, kBaseNetworkMode,
                                       work, work.datalink.radio[1]),
                     u"开始设置");
    }
    if (step == "mountpoints") {
        core.Store().Reset();
        core.SetFetchActive(true);
        const ReceiverConfig& config = control.Settings().config;
        NetworkServerBlock server = config.datalink.network[0].server;
        server.user = u"surveyor";
        server.password = u"s3cr3t";
        return Start(control, BuildMountPointFetch(server, config.workingMode), u"开始发送指令");
    }
    return false;
}

} // namespace quorlex::replay
