#pragma once

#include "link/SessionFile.h"

#include <filesystem>
#include <string>

namespace quorlex::replay {

// Plays the receiver's side of a recorded session to the real main frame
// core, command channel and link, on ticks rather than wall time: before
// tick k the records of the k-th second are played, then the core ticks.
// The tool's side is what the core does now: its batches are those of the
// session's flow header (ReplayFlows.h), started as the program starts them;
// the recorded sends are not played, only the replay's own are kept. A
// value the wire log masked is filled in from what the replay itself sent
// for that key, so an acknowledgement still matches. When the records run
// out, the clock goes on until the flow is done; a batch still running then
// is cancelled, as the surveyor would.
//
// Returns the outcome as text: the progress notifications with the tick they
// came in, the bytes sent with theirs, the mount points found, and the record.
std::string ReplaySession(const Session& session, const std::filesystem::path& cacheFile);

} // namespace quorlex::replay
