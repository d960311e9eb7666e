#pragma once

#include <memory>
#include <string_view>

class QMessageBox;
class QWidget;

namespace quorlex {

enum class MessageIcon { None, Information, Question, Exclamation, Error };

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// Everything a dialog shows outside its own window. Dialogs reach the user
// only through this, so tests can put a recorder in its place.
class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // A modal message with an OK button; returns the button id (kIdOk).
    virtual int ShowMessage(QWidget* parent, std::u16string_view text, std::u16string_view caption,
                            MessageIcon icon) = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};

// Real message boxes and the application's override cursor.
UserPrompts& DesktopPrompts();

// The box DesktopPrompts shows, not yet shown.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, std::u16string_view text,
                                            std::u16string_view caption, MessageIcon icon);

// Shows the wait cursor for its lifetime.
class WaitCursor {
public:
    explicit WaitCursor(UserPrompts& prompts) : prompts_(prompts) { prompts.BeginWaitCursor(); }
    ~WaitCursor() { prompts_.EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    UserPrompts& prompts_;
};

} // namespace quorlex
