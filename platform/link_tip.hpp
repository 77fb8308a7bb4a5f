#pragma once
// The tool tip of the view's links: a tooltip control with one tool, the cells of the link under
// the mouse on its row, whose text is the address a click opens, in a fixed-pitch face. The
// tooltip's own delay makes it appear after a short hover and its own checks take it away when the
// mouse leaves the link.
#include <windows.h>

#include <string>

#include "platform/win_handles.hpp"

namespace platform {

class LinkTip {
public:
    explicit LinkTip(HWND view);
    LinkTip(const LinkTip&) = delete;
    LinkTip& operator=(const LinkTip&) = delete;
    ~LinkTip();

    HWND Handle() const { return tip_; }
    // The link under the mouse: its cells on the row (client pixels) and its address. A new link
    // takes the tip down first, so its own delay starts again.
    void Point(const RECT& cells, const std::string& address);
    // No link under the mouse (or the text under it moved): the tip goes and stays away.
    void Clear();
    // Every mouse message of the view, after Point or Clear, so the tip sees what the view saw.
    void Relay(UINT msg, WPARAM wp, LPARAM lp) const;

private:
    HWND view_;
    UniqueGdi font_;
    HWND tip_ = nullptr;
    RECT cells_{};
    std::wstring text_;
};

}  // namespace platform
