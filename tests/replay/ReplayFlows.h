#pragma once

#include "channel/MainFrameCore.h"

#include <string>
#include <string_view>
#include <vector>

namespace quorlex::replay {

// The steps of a flow header ("read; save-slot"), in order.
std::vector<std::string> FlowSteps(std::string_view flow);

// Starts one step's batch as the program's dialogs start it:
//   read         "GET,ALL" under "读取配置", as the device dialog reads;
//   save-slot    the working screen's "立即应用并保存配置" into slot 2 in the
//                base network mode, with the caster changed, read back after;
//   mountpoints  the network page's mount point fetch from the caster the
//                record holds, with a user and password typed in.
// false for a step it does not know or an empty batch.
bool StartFlowStep(std::string_view step, MainFrameCore& core);

} // namespace quorlex::replay
