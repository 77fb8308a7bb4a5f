#pragma once
// Opening a document or link with the handler the user's system has for it, and telling the shell
// that the file associations changed. Seams, so the window tests can check what was asked without
// launching anything.
#include <string>

namespace platform {

// How a hand-off to the shell ended: started, or not, with the system's reason.
struct Launch {
    bool started = true;
    std::string reason;  // the system's message for the failure, without a full stop
};

class Shell {
public:
    virtual ~Shell() = default;
    // The default action on target (UTF-8), shown normally. The shell shows no message of its own:
    // a failure (no handler for the scheme, say) comes back to the caller to report or to ignore.
    virtual Launch Open(const std::string& target) = 0;
};

class ShellNotifications {
public:
    virtual ~ShellNotifications() = default;
    // Explorer redraws its icons and rereads its "Open with" lists at once rather than at its next start.
    virtual void AssociationsChanged() = 0;
};

class SystemShell final : public Shell, public ShellNotifications {
public:
    Launch Open(const std::string& target) override;
    void AssociationsChanged() override;
};

}  // namespace platform
