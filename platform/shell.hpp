#pragma once
// Opening a document or link with the handler the user's system has for it. A seam, so the window
// tests can check the exact text without launching anything.
#include <string>

namespace platform {

class Shell {
public:
    virtual ~Shell() = default;
    // The default action on target, shown normally; a failure (no handler) is not reported.
    virtual void Open(const std::string& target) = 0;
};

class SystemShell final : public Shell {
public:
    void Open(const std::string& target) override;
};

}  // namespace platform
