#pragma once

namespace quorlex {

// Message numbers kept from the handheld design; they identify the three
// notification paths in logs and tests.
inline constexpr int WM_RECEIVER_DATA = 2024;
inline constexpr int WM_SETTINGS_REFRESH = 2026;
inline constexpr int WM_BATCH_PROGRESS = 2135;

} // namespace quorlex
