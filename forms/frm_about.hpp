#pragma once
// The about dialog: product line, contact link, the running system and the release notes. Created
// hidden at start-up and kept, so each showing finds it where and as the user left it.
#include <windows.h>

#include <string>

#include "platform/modal_dialog.hpp"
#include "platform/prompts.hpp"
#include "platform/shell.hpp"

namespace forms {

class TFrmAbout final : private platform::DialogEvents {
public:
    static constexpr int kDesignedClientWidth = 289;
    static constexpr int kDesignedClientHeight = 286;

    // An error inside the dialog (the shell refusing the link, say) is shown in the error box
    // through prompts.
    TFrmAbout(HWND owner, platform::Shell& shell, platform::Prompts& prompts);
    HWND Handle() const { return dialog_.Handle(); }

    void SetSystemLines(const std::string& osVersion, const std::string& physicalMemory, const std::string& pageFile);
    // Shows the dialog modally, the first time centred over its owner; returns when it is closed.
    void ShowModal();

    void Label4Click();

private:
    INT_PTR DialogMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void FormInit();
    void FormResize(int clientWidth, int clientHeight);
    SIZE DesignedFrameSize() const;
    void KeepDesignedSizeAsMinimum(MINMAXINFO& info) const;
    HWND Item(int id) const { return ::GetDlgItem(Handle(), id); }
    int Scaled(int designed) const { return ::MulDiv(designed, pixelsPerInch_, 96); }

    platform::Shell& shell_;
    int pixelsPerInch_ = 96;
    int linkWidth_ = 0;
    platform::ModalDialog dialog_;
};

}  // namespace forms
