// Sizes at the screen's DPI, whatever the prefix runs at: the designed ones at 96, half as large
// again at 144 (test.sh runs these tests once more in a prefix of its own at 144 dpi), and so on.
// The tool bar, the status bar, the view's font, the window and its stored bounds, the dialogs,
// and a move to a screen of another DPI.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdlib>
#include <string>
#include <utility>

#include "core/settings_values.hpp"
#include "forms/frm_about.hpp"
#include "forms/frm_settings.hpp"
#include "platform/dpi.hpp"
#include "platform/unicode.hpp"
#include "platform/win_handles.hpp"
#include "resources/resource.h"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

class NoShell final : public platform::Shell {
public:
    platform::Launch Open(const std::string&) override { return {}; }
};

SIZE ClientSize(HWND wnd) {
    RECT r{};
    ::GetClientRect(wnd, &r);
    return SIZE{r.right, r.bottom};
}

// The width of a text in a window's font, as it draws it.
int TextWidth(HWND wnd, const std::wstring& text) {
    platform::WindowDC dc(wnd);
    platform::SelectedObject font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(wnd, WM_GETFONT, 0, 0)));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return extent.cx;
}

DWORD StoredDword(const char* name) {
    DWORD value = 0, size = sizeof value;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\corvalex", 0, KEY_READ, &key) != ERROR_SUCCESS) return 0xDEADBEEF;
    ::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
    return value;
}

class DpiScaling : public MainWindowTest {
protected:
    int dpi_ = platform::SystemDpi();
    int S(int designed) const { return platform::ScaleToDpi(designed, dpi_); }
    std::string At() const { return "at " + std::to_string(dpi_) + " dpi"; }

    // Every tool button as large as designed, scaled, with its caption inside it, and images of the
    // strip drawn for the DPI (16, 24 or 32 pixels; past 192 dpi the largest, scaled).
    void ExpectToolBarAt(int dpi) {
        const int imageSize = dpi < 144 ? 16 : dpi < 192 ? 24 : dpi == 192 ? 32 : forms::ToolBarImagesFor(dpi).Size();
        HWND bar = Frm().Commands().ToolBar();
        const LRESULT size = ::SendMessageW(bar, TB_GETBUTTONSIZE, 0, 0);
        EXPECT_EQ(LOWORD(size), platform::ScaleToDpi(46, dpi)) << At();
        EXPECT_EQ(HIWORD(size), platform::ScaleToDpi(37, dpi)) << At();
        int cx = 0, cy = 0;
        ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(::SendMessageW(bar, TB_GETIMAGELIST, 0, 0)), &cx, &cy);
        EXPECT_EQ(cx, imageSize) << At();
        EXPECT_EQ(cy, imageSize) << At();
        for (int index = 0; index < static_cast<int>(::SendMessageW(bar, TB_BUTTONCOUNT, 0, 0)); ++index) {
            TBBUTTON button{};
            ::SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
            RECT item{};
            ::SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
            if (button.fsStyle & BTNS_SEP) {
                EXPECT_EQ(item.right - item.left, platform::ScaleToDpi(8, dpi)) << At();
                continue;
            }
            wchar_t caption[32] = {};
            ::SendMessageW(bar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(button.idCommand), reinterpret_cast<LPARAM>(caption));
            EXPECT_LE(TextWidth(bar, caption), item.right - item.left - 4) << platform::Narrow(caption) << " " << At();
        }
    }
    void ExpectStatusBarAt(int dpi) {
        const auto widths = Frm().PanelWidths();
        const int designed[] = {4, 110, 4, 110, 100};
        for (int panel = 1; panel < platform::StatusBar::kPanels; ++panel)
            EXPECT_GE(widths[static_cast<std::size_t>(panel)], platform::ScaleToDpi(designed[panel - 1], dpi)) << panel;
        EXPECT_EQ(widths[1], platform::ScaleToDpi(4, dpi));
        EXPECT_EQ(widths[3], platform::ScaleToDpi(4, dpi));
        // The longest size there is, a long date and the longest encoding fit their panels, the
        // encoding beside the grip.
        const std::pair<int, std::wstring> texts[] = {
            {2, L"2,147,483,647 bytes"}, {4, L"12/28/2026 12:59 PM"}, {5, L"Windows-1252"}};
        for (const auto& [panel, text] : texts) Frm().SetStatusText(panel, platform::Narrow(text));
        for (const auto& [panel, text] : texts) {
            RECT rect{};
            ::SendMessageW(Frm().StatusBar(), SB_GETRECT, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(&rect));
            const int grip = panel == 5 ? platform::ScaleToDpi(16, dpi) : 0;
            EXPECT_LE(TextWidth(Frm().StatusBar(), text), rect.right - rect.left - 4 - grip) << panel << " " << At();
        }
    }
};

}  // namespace

TEST_F(DpiScaling, ToolBarStatusBarViewAndWindowFollowTheScreensDpi) {
    Start();
    ExpectToolBarAt(dpi_);
    Frm().ShowFile(scratch_.Write("shown.nfo", "\xDB\xDB\r\n"));
    ExpectStatusBarAt(dpi_);
    EXPECT_EQ(Memo().FontHeight(), -::MulDiv(9, dpi_, 72)) << "9 points are as large on every screen, " << At();

    // Bounds are stored as at 96 dpi, as a stretched program always saw them: a window stored as
    // 480 x 360 opens half as large again at 144 dpi, and is stored as it was. (Small enough to
    // fit the test screen's 1024 x 768 at 192 dpi.)
    const std::pair<const char*, DWORD> bounds[] = {{"X", 20}, {"Y", 10}, {"W", 480}, {"H", 360}};
    ::SendMessageW(Frm().Handle(), WM_CLOSE, 0, 0), Pump();
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\corvalex", 0, KEY_WRITE, &key), ERROR_SUCCESS);
    for (const auto& [name, value] : bounds)
        ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    ::RegCloseKey(key);
    Start();
    const RECT window = platform::WindowRectOf(Frm().Handle());
    const long shown[] = {window.left, window.top, window.right - window.left, window.bottom - window.top};
    for (std::size_t i = 0; i < std::size(bounds); ++i)
        EXPECT_EQ(shown[i], S(static_cast<int>(bounds[i].second))) << bounds[i].first << " " << At();
    ::SendMessageW(Frm().Handle(), WM_CLOSE, 0, 0), Pump();
    for (const auto& [name, value] : bounds) EXPECT_EQ(StoredDword(name), value) << name << " " << At();
}

TEST_F(DpiScaling, BothDialogsAndTheFindDialogFollowTheScreensDpi) {
    Start();
    forms::TFrmSettings settings(Frm().Handle(), prompts_);
    EXPECT_EQ(ClientSize(settings.Handle()).cx, S(forms::TFrmSettings::kDesignedClientWidth)) << At();
    EXPECT_EQ(ClientSize(settings.Handle()).cy, S(forms::TFrmSettings::kDesignedClientHeight)) << At();
    // Its controls stand where designed, scaled: OK's rectangle, for one.
    RECT ok{};
    ::GetWindowRect(settings.Control(IDOK), &ok);
    ::MapWindowPoints(HWND_DESKTOP, settings.Handle(), reinterpret_cast<POINT*>(&ok), 2);
    EXPECT_EQ(ok.left, S(141));
    EXPECT_EQ(ok.right - ok.left, S(75));
    EXPECT_EQ(ok.bottom - ok.top, S(24));

    NoShell shell;
    forms::TFrmAbout about(Frm().Handle(), shell, prompts_);
    EXPECT_EQ(ClientSize(about.Handle()).cx, S(forms::TFrmAbout::kDesignedClientWidth)) << At();
    EXPECT_EQ(ClientSize(about.Handle()).cy, S(forms::TFrmAbout::kDesignedClientHeight)) << At();

    // The system's find dialog scales with its font; at 96 dpi Wine makes it 351 x 95 or so.
    Frm().BtnFindClick();
    Pump();
    HWND find = Frm().FindDialog();
    ASSERT_TRUE(find);
    const SIZE client = ClientSize(find);
    EXPECT_GE(client.cx, S(300)) << At();
    EXPECT_GE(client.cy, S(80)) << At();
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HGDIOBJ>(::SendMessageW(find, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_GE(std::abs(font.lfHeight), S(11) - 1) << At();
}

// The window moves to a screen of twice (or half) the DPI: the system says so, and suggests a
// frame; every part follows and the view keeps its points.
TEST_F(DpiScaling, AMoveToAScreenOfAnotherDpiRescalesEveryPart) {
    Start();
    Frm().ShowFile(scratch_.Write("shown.nfo", "text\r\n"));
    PressKey(VK_OEM_PLUS, {VK_CONTROL});
    ASSERT_EQ(Frm().Zoom().Points(), 10);
    const int other = dpi_ >= 192 ? dpi_ / 2 : dpi_ * 2;
    const RECT suggested{40, 30, 40 + platform::ScaleToDpi(300, other), 30 + platform::ScaleToDpi(220, other)};
    ::SendMessageW(Frm().Handle(), platform::kWmDpiChanged, MAKEWPARAM(other, other),
                   reinterpret_cast<LPARAM>(&suggested));
    Pump();
    EXPECT_EQ(Frm().Dpi(), other);
    const RECT now = platform::WindowRectOf(Frm().Handle());
    EXPECT_EQ(now.left, suggested.left);
    EXPECT_EQ(now.right - now.left, suggested.right - suggested.left);
    EXPECT_EQ(now.bottom - now.top, suggested.bottom - suggested.top);
    ExpectToolBarAt(other);
    ExpectStatusBarAt(other);
    EXPECT_EQ(Frm().Zoom().Points(), 10);
    EXPECT_EQ(Memo().FontHeight(), -::MulDiv(10, other, 72));
    // The view takes what the bars leave, at the new sizes.
    RECT view{}, bar{};
    ::GetWindowRect(Memo().Handle(), &view);
    ::GetWindowRect(Frm().StatusBar(), &bar);
    EXPECT_EQ(view.bottom, bar.top);
}
