#include "forms/settings_host.hpp"

#include "core/settings_values.hpp"
#include "forms/frm_main.hpp"
#include "platform/dpi.hpp"
#include "platform/title_bar.hpp"
#include "platform/win_handles.hpp"

namespace forms {

MainSettingsHost::MainSettingsHost(TFrmMain& frm) : frm_(frm) {}

std::int32_t MainSettingsHost::FontColor() const { return frm_.Memo().FontColor(); }
void MainSettingsHost::SetFontColor(std::int32_t colour) { frm_.Memo().SetFontColor(colour); }
std::int32_t MainSettingsHost::BackColor() const { return frm_.Memo().BackColor(); }
void MainSettingsHost::SetBackColor(std::int32_t colour) {
    frm_.Memo().SetBackColor(colour);
    platform::FollowBackground(frm_.Handle(), platform::ColourOf(colour));
}
std::string MainSettingsHost::FontName() const { return frm_.Memo().FontName(); }
void MainSettingsHost::SetFontName(const std::string& name) { frm_.Memo().SetFont(name, frm_.Memo().FontHeight()); }

int MainSettingsHost::FontPointSize() const { return frm_.Zoom().Points(); }
void MainSettingsHost::SetFontPointSize(int points) { frm_.Zoom().SetPoints(points); }
int MainSettingsHost::ChosenPointSize() const { return frm_.Zoom().ChosenPoints(); }
void MainSettingsHost::SetChosenPointSize(int points) { frm_.Zoom().SetChosenPoints(points); }

bool MainSettingsHost::WrapDown() const { return frm_.Commands().Checked(kBtnWrap); }

// The button goes down, then its click action runs, as a mouse click leaves it.
void MainSettingsHost::PressWrap() {
    frm_.Commands().SetChecked(kBtnWrap, true);
    frm_.RunCommand(kBtnWrap, CommandSource::Click);
}

bool MainSettingsHost::CopyOnSelect() const { return frm_.Commands().Checked(kCmdCopyonSelect); }
void MainSettingsHost::CheckCopyOnSelect() { frm_.Commands().SetChecked(kCmdCopyonSelect, true); }
bool MainSettingsHost::StayOnTop() const { return frm_.Commands().Checked(kCmdStayonTop); }

// The command itself checks the item and makes the window topmost.
void MainSettingsHost::CheckStayOnTop() {
    if (!StayOnTop()) frm_.RunCommand(kCmdStayonTop, CommandSource::Key);
}

RECT MainSettingsHost::WindowRect() const { return platform::WindowRectOf(frm_.Handle()); }

void MainSettingsHost::MoveTo(int left, int top) const {
    ::SetWindowPos(frm_.Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainSettingsHost::SizeTo(int width, int height) const {
    ::SetWindowPos(frm_.Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

core::WindowBounds MainSettingsHost::SavedBounds() const {
    RECT rect = WindowRect();
    if (::IsIconic(frm_.Handle())) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        ::GetWindowPlacement(frm_.Handle(), &placement);
        rect = placement.rcNormalPosition;
    }
    const int system = platform::SystemDpi();
    const int window = frm_.Dpi();
    return core::WindowBounds{platform::UnscaleFromDpi(rect.left, system), platform::UnscaleFromDpi(rect.top, system),
                              platform::UnscaleFromDpi(rect.right - rect.left, window),
                              platform::UnscaleFromDpi(rect.bottom - rect.top, window)};
}

void MainSettingsHost::SetLeft(int left) { MoveTo(platform::ScaleToDpi(left, platform::SystemDpi()), WindowRect().top); }
void MainSettingsHost::SetTop(int top) { MoveTo(WindowRect().left, platform::ScaleToDpi(top, platform::SystemDpi())); }
void MainSettingsHost::SetWidth(int width) {
    SizeTo(platform::ScaleToDpi(width, frm_.Dpi()), WindowRect().bottom - WindowRect().top);
}
void MainSettingsHost::SetHeight(int height) {
    SizeTo(WindowRect().right - WindowRect().left, platform::ScaleToDpi(height, frm_.Dpi()));
}

core::Size MainSettingsHost::OuterSize() const {
    const RECT rect = WindowRect();
    return core::Size{platform::UnscaleFromDpi(rect.right - rect.left, frm_.Dpi()),
                      platform::UnscaleFromDpi(rect.bottom - rect.top, frm_.Dpi())};
}

core::Size MainSettingsHost::ScreenSize() const {
    const int system = platform::SystemDpi();
    return core::Size{platform::UnscaleFromDpi(::GetSystemMetrics(SM_CXSCREEN), system),
                      platform::UnscaleFromDpi(::GetSystemMetrics(SM_CYSCREEN), system)};
}

void MainSettingsHost::ShowMessage(const std::string& text) { frm_.Boxes().Show(text, MB_OK); }

}  // namespace forms
