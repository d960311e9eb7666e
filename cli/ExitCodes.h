#pragma once

namespace quorlex::cli {

// What quorlexctl exits with; --help and the README list the same.
inline constexpr int kExitOk = 0;
// A receiver could not be reached or read, a command was not acknowledged, a
// field did not read back as set; for diff: the receiver differs from the file.
inline constexpr int kExitReceiverFailed = 1;
// Bad arguments, receiver, configuration file or wire log: nothing was sent.
inline constexpr int kExitUsage = 2;

} // namespace quorlex::cli
