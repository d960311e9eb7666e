#pragma once

#include <functional>

class QWidget;

namespace quorlex {

class Dialog;

// Result of a dialog that a test left open; it is closed with this after a while.
inline constexpr int kLeftOpen = -1;

// Runs the dialog modally; whileOpen runs as soon as its modal loop is going.
// A dialog still open a few seconds later is closed with kLeftOpen, so a
// broken test fails instead of hanging.
int RunModal(Dialog& dialog, const std::function<void()>& whileOpen);

// Calls answer with the next modal window that opens above the one active
// now. Schedule it before the click that opens that window.
void AnswerNextModal(std::function<void(QWidget&)> answer);

// Clicks a dialog's button by control id as the user would: a hidden or
// disabled button cannot be clicked; returns whether the click happened.
bool Click(Dialog& dialog, int id);

} // namespace quorlex
