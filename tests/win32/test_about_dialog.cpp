// The about dialog: its template, the modal showing from F1 and the button with fresh system
// lines, every way of closing it, its placement, anchors and kept state, and the mail link.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <new>
#include <stdexcept>

#include "core/app_error.hpp"
#include "forms/frm_about.hpp"
#include "resources/resource.h"
#include "tests/win32/support.hpp"

using namespace testing_support;

namespace {

class RecordingShell final : public platform::Shell {
public:
    std::vector<std::string> opened;
    platform::Launch Open(const std::string& target) override {
        opened.push_back(target);
        return {};
    }
};

// A shell whose handler fails each time in the next way an error can leave a handler.
class FailingShell final : public platform::Shell {
public:
    platform::Launch Open(const std::string&) override {
        switch (calls_++) {
        case 0: throw core::AppError("No program opens mail links");
        case 1: throw std::bad_alloc();
        default: throw std::runtime_error("The shell gave up");
        }
    }

private:
    int calls_ = 0;
};

// Actions posted to a message-only window run in whichever loop the thread is in: inside the
// dialog's modal loop they act as a user acts while it is open.
LRESULT CALLBACK ActionProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_APP) return ::DefWindowProcA(wnd, msg, wp, lp);
    std::unique_ptr<std::function<void()>>(reinterpret_cast<std::function<void()>*>(lp))->operator()();
    return 0;
}

std::string Text(HWND wnd) {
    char text[1024] = {};
    ::GetWindowTextA(wnd, text, sizeof text);
    return text;
}

// MemTotal of the machine under Wine in whole mebibytes; -1 when it cannot be read.
long long MachineMebibytes() {
    std::ifstream meminfo("Z:\\proc\\meminfo");
    std::string key;
    long long kib = 0;
    while (meminfo >> key >> kib)
        if (key == "MemTotal:") return kib / 1024;
    return -1;
}

// The two halves of a drag, each run by a thread timer once the moves before it have been taken:
// the cursor goes to the upper left of the window being sized, then Enter ends the sizing (Esc
// would undo it) and Esc closes the dialog.
void CALLBACK EndDrag(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        ::PostMessageA(::GetFocus(), WM_KEYDOWN, key, 1);
        ::PostMessageA(::GetFocus(), WM_KEYUP, key, 0xC0000001);
    }
}

void CALLBACK DragToTopLeft(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    RECT sized{};
    ::GetWindowRect(::GetCapture(), &sized);
    ::SetCursorPos(sized.left - 40, sized.top - 40);
    ::SetTimer(nullptr, 0, 30, &EndDrag);
}

class AboutDialog : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        WNDCLASSA actions{};
        actions.lpfnWndProc = &ActionProc;
        actions.lpszClassName = "CorvaleTestActions";
        ::RegisterClassA(&actions);
        actions_ = ::CreateWindowExA(0, actions.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        Start();
        MakeDialog();
    }
    void TearDown() override {
        MainWindowTest::TearDown();  // the dialog goes with its owner
        about_.reset();
        ::DestroyWindow(actions_);
    }
    void MakeDialog() {
        about_ = std::make_unique<forms::TFrmAbout>(Frm().Handle(), shell_, prompts_);
        Frm().AttachAboutDialog(*about_);
    }
    HWND Dialog() const { return about_->Handle(); }
    HWND Item(int id) const { return ::GetDlgItem(Dialog(), id); }
    RECT RectOf(int id) const {
        RECT rect{};
        ::GetWindowRect(Item(id), &rect);
        ::MapWindowPoints(nullptr, Dialog(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    void WhileShown(std::function<void()> action) {
        ::PostMessageA(actions_, WM_APP, 0, reinterpret_cast<LPARAM>(new std::function<void()>(std::move(action))));
    }
    void ClickAbout() { ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnAbout, 0); }
    // Opens the dialog with the About button, runs `inside` in its loop, then closes it with Esc.
    void ShowAndClose(std::function<void()> inside) {
        WhileShown(std::move(inside));
        WhileShown([] { PostKey(VK_ESCAPE); });
        ClickAbout();
    }
    // A key as the user types it into the dialog's focused control.
    static void PostKey(WORD key) {
        ::PostMessageA(::GetFocus(), WM_KEYDOWN, key, 1);
        ::PostMessageA(::GetFocus(), WM_KEYUP, key, 0xC0000001);
    }

    RecordingShell shell_;
    HWND actions_ = nullptr;
    std::unique_ptr<forms::TFrmAbout> about_;
};

TEST_F(AboutDialog, TemplateAsDesigned) {
    ASSERT_TRUE(Dialog());
    EXPECT_EQ(Text(Dialog()), "About Corvale");
    EXPECT_FALSE(::IsWindowVisible(Dialog()));
    EXPECT_EQ(::GetWindowLongPtrA(Dialog(), GWL_STYLE) & (WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_THICKFRAME | WS_SYSMENU);
    const std::pair<int, const char*> texts[] = {
        {IDC_ABOUT_LABEL1, "Corvale 1.03"}, {IDC_ABOUT_LABEL4, "corvale@example.org"}, {IDC_ABOUT_LABEL5, "Your system:"},
        {IDC_ABOUT_LABEL6, "#WinVer#"},     {IDC_ABOUT_LABEL7, "#Mem1#"},              {IDC_ABOUT_LABEL8, "#Mem2#"},
        {IDOK, "OK"},
    };
    for (const auto& [id, text] : texts) EXPECT_EQ(Text(Item(id)), text) << id;
    EXPECT_GT(RectOf(IDC_ABOUT_LABEL4).right - RectOf(IDC_ABOUT_LABEL4).left, 60);  // as wide as its text

    HWND notes = Item(IDC_ABOUT_MEMOCHANGES);  // read-only, scrolling, none of its lines wrapped
    EXPECT_EQ(::GetWindowLongPtrA(notes, GWL_STYLE) & (ES_READONLY | WS_VSCROLL), ES_READONLY | WS_VSCROLL);
    EXPECT_EQ(::SendMessageA(notes, EM_GETLINECOUNT, 0, 0), 16);
    EXPECT_EQ(::GetNextDlgTabItem(Dialog(), nullptr, FALSE), Item(IDOK));
    EXPECT_EQ(::GetNextDlgTabItem(Dialog(), Item(IDOK), FALSE), notes);
}

// The design size first: the anchored layout must give the designed rectangles back.
TEST_F(AboutDialog, ControlsSitAsDesignedAndStayAnchoredWhenResized) {
    RECT created{};
    ::GetClientRect(Dialog(), &created);
    EXPECT_TRUE(created.right == 289 && created.bottom == 286) << created.right << "x" << created.bottom;
    for (const SIZE size : {SIZE{289, 286}, SIZE{389, 346}, SIZE{120, 100}}) {
        RECT frame{0, 0, size.cx, size.cy};
        ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrA(Dialog(), GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongPtrA(Dialog(), GWL_EXSTYLE)));
        ::SetWindowPos(Dialog(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                       SWP_NOMOVE | SWP_NOZORDER);
        RECT client{};
        ::GetClientRect(Dialog(), &client);
        const int dx = client.right - 289, dy = client.bottom - 286;
        const auto right = [](int left, int width) { return left + std::max(width, 0); };
        const std::pair<int, RECT> expected[] = {
            {IDC_ABOUT_LABEL1, {8, 8, right(8, 271 + dx), 21}},
            {IDC_ABOUT_BEVEL1, {8, 87, right(8, 269 + dx), 89}},
            {IDC_ABOUT_MEMOCHANGES, {8, 178, right(8, 273 + dx), right(178, 65 + dy)}},
            {IDOK, {108, 254 + dy, right(108, 73 + dx), 278 + dy}},
        };
        for (const auto& [id, rect] : expected) {
            const RECT at = RectOf(id);
            EXPECT_TRUE(::EqualRect(&at, &rect)) << client.right << "x" << client.bottom << " control " << id << " at "
                                                 << at.left << "," << at.top << "," << at.right << "," << at.bottom;
        }
        const RECT link = RectOf(IDC_ABOUT_LABEL4);
        EXPECT_EQ(link.left, (client.right - (link.right - link.left)) / 2) << client.right;
    }
}

// Dragged by its lower right corner up past its upper left one, a real drag through the system's
// sizing loop: it stops at its designed size, and the next showing opens at that size too.
TEST_F(AboutDialog, CannotBeDraggedSmallerThanItsDesignedSize) {
    RECT designed{0, 0, 289, 286};
    ::AdjustWindowRectEx(&designed, static_cast<DWORD>(::GetWindowLongPtrA(Dialog(), GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrA(Dialog(), GWL_EXSTYLE)));
    WhileShown([this] {
        RECT frame{};
        ::GetWindowRect(Dialog(), &frame);
        ::SetCursorPos(frame.right - 2, frame.bottom - 2);
        const LPARAM corner = MAKELPARAM(frame.right - 2, frame.bottom - 2);
        ::PostMessageA(Dialog(), WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, corner);
        ::SetTimer(nullptr, 0, 30, &DragToTopLeft);
    });
    ClickAbout();
    RECT dragged{};
    ::GetWindowRect(Dialog(), &dragged);
    EXPECT_EQ(dragged.right - dragged.left, designed.right - designed.left);
    EXPECT_EQ(dragged.bottom - dragged.top, designed.bottom - designed.top);
    ShowAndClose([&] {
        RECT client{};
        ::GetClientRect(Dialog(), &client);
        EXPECT_TRUE(client.right == 289 && client.bottom == 286) << client.right << "x" << client.bottom;
    });
}

TEST_F(AboutDialog, F1AndTheButtonShowItModallyWithFreshLines) {
    const long long machine = MachineMebibytes();
    const DWORD version = ::GetVersion();
    const std::string versionStart = "Microsoft Windows NT " + std::to_string(LOBYTE(version)) + "." +
                                     std::to_string(HIBYTE(LOWORD(version))) + ".";
    // The opening input is posted before the check, so the check runs inside the dialog's loop.
    const std::pair<HWND, UINT> opens[] = {{Memo().Handle(), WM_KEYDOWN}, {Frm().Handle(), WM_COMMAND}};
    for (const auto& [target, msg] : opens) {
        for (int id : {IDC_ABOUT_LABEL6, IDC_ABOUT_LABEL7, IDC_ABOUT_LABEL8}) ::SetDlgItemTextA(Dialog(), id, "stale");
        ::PostMessageA(target, msg, msg == WM_KEYDOWN ? VK_F1 : forms::kBtnAbout, msg == WM_KEYDOWN ? 1 : 0);
        WhileShown([&] {
            EXPECT_TRUE(::IsWindowVisible(Dialog()));
            EXPECT_FALSE(::IsWindowEnabled(Frm().Handle()));
            EXPECT_EQ(Text(Item(IDC_ABOUT_LABEL6)).rfind(versionStart, 0), 0u) << Text(Item(IDC_ABOUT_LABEL6));
            long long total = -1, available = -1;
            const std::string pageFile = Text(Item(IDC_ABOUT_LABEL8)), physical = Text(Item(IDC_ABOUT_LABEL7));
            EXPECT_EQ(std::sscanf(pageFile.c_str(), "Page file: %lld MB total, %lld MB", &total, &available), 2) << pageFile;
            EXPECT_EQ(std::sscanf(physical.c_str(), "Physical memory: %lld MB total, %lld MB", &total, &available), 2)
                << physical;
            EXPECT_TRUE(physical.ends_with(" MB free") && pageFile.ends_with(" MB free"));
            if (machine >= 0) {
                EXPECT_LE(std::llabs(total - machine), 1) << "machine " << machine;  // never capped at 4095
            }
            PostKey(VK_ESCAPE);
        });
        Pump();
        EXPECT_FALSE(::IsWindowVisible(Dialog()));
        EXPECT_TRUE(::IsWindowEnabled(Frm().Handle()));
    }
}

TEST_F(AboutDialog, EveryWayOfClosingHidesItAndChangesNothingElse) {
    Frm().ShowFile(scratch_.Write("art.nfo", "\xC9\xCD\xBB\r\nline two\r\n"));
    Memo().SetSelection(2, 7);
    const std::string text = Memo().Text(), status = Frm().StatusText(0);
    struct Way { const char* name; std::function<void()> close; } ways[] = {
        {"OK clicked", [this] { ::SendMessageA(Item(IDOK), BM_CLICK, 0, 0); }},
        {"Enter", [] { PostKey(VK_RETURN); }},
        {"Esc", [] { PostKey(VK_ESCAPE); }},
        {"Esc in the notes", [this] { ::SetFocus(Item(IDC_ABOUT_MEMOCHANGES)); PostKey(VK_ESCAPE); }},
        {"close box", [this] { ::PostMessageA(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        WhileShown(way.close);
        ClickAbout();
        Pump();
        EXPECT_FALSE(::IsWindowVisible(Dialog()));
        EXPECT_TRUE(::IsWindowEnabled(Frm().Handle()) && WindowAlive());
        EXPECT_EQ(Memo().Text(), text);
        EXPECT_EQ(Frm().StatusText(0), status);
        EXPECT_TRUE(Memo().GetSelection().start == 2 && Memo().GetSelection().end == 7);
    }
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(AboutDialog, AMainWindowCloseWaitsUntilTheDialogIsClosed) {
    ShowAndClose([this] { ::PostMessageA(Frm().Handle(), WM_CLOSE, 0, 0); });
    EXPECT_TRUE(WindowAlive());
    Pump();
    EXPECT_FALSE(WindowAlive());
}

// A fresh dialog is centred over the main window (kept off the desktop's left and top edges);
// later showings keep where the user left it, its size, the focus and the notes' scroll position.
TEST_F(AboutDialog, FirstShowingIsCentredAndLaterOnesKeepWhatTheUserLeft) {
    RECT left{};
    LRESULT firstLine = 0;
    for (const bool clamped : {true, false}) {
        MakeDialog();
        HWND notes = Item(IDC_ABOUT_MEMOCHANGES);
        ::SetWindowPos(Frm().Handle(), nullptr, clamped ? -640 : 100, clamped ? -500 : 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        RECT main{}, dialog{};
        ::GetWindowRect(Frm().Handle(), &main);
        WhileShown([&] {
            ::GetWindowRect(Dialog(), &dialog);
            EXPECT_EQ(::GetFocus(), Item(IDOK));
            ::SetWindowPos(Dialog(), nullptr, 37, 41, 360, 380, SWP_NOZORDER);
            ::SendMessageA(notes, EM_LINESCROLL, 0, 5);
            firstLine = ::SendMessageA(notes, EM_GETFIRSTVISIBLELINE, 0, 0);
            ::GetWindowRect(Dialog(), &left);
            ::SetFocus(notes);
            ::PostMessageA(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        ClickAbout();
        const int x = main.left + (main.right - main.left - (dialog.right - dialog.left)) / 2;
        const int y = main.top + (main.bottom - main.top - (dialog.bottom - dialog.top)) / 2;
        EXPECT_EQ(dialog.left, clamped ? ::GetSystemMetrics(SM_XVIRTUALSCREEN) : x) << clamped;
        EXPECT_EQ(dialog.top, clamped ? ::GetSystemMetrics(SM_YVIRTUALSCREEN) : y) << clamped;
    }
    EXPECT_GT(firstLine, 0);
    ::SetWindowPos(Frm().Handle(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // not followed
    ShowAndClose([&] {
        RECT now{};
        ::GetWindowRect(Dialog(), &now);
        EXPECT_TRUE(::EqualRect(&now, &left));
        EXPECT_EQ(::SendMessageA(Item(IDC_ABOUT_MEMOCHANGES), EM_GETFIRSTVISIBLELINE, 0, 0), firstLine);
        EXPECT_EQ(::GetFocus(), Item(IDC_ABOUT_MEMOCHANGES));
    });
}

TEST_F(AboutDialog, TheLinkLooksLikeOneAndOpensTheMailAddressThroughTheShell) {
    HWND link = Item(IDC_ABOUT_LABEL4);
    ShowAndClose([&] {
        HDC dc = ::GetDC(link);
        ::SendMessageA(Dialog(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link));
        EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 255));
        ::ReleaseDC(link, dc);
        ::SendMessageA(Dialog(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_HAND));
        ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(shell_.opened, std::vector<std::string>{"mailto:corvale@example.org"});
        EXPECT_TRUE(::IsWindowVisible(Dialog()));  // the dialog stays open
    });
    EXPECT_TRUE(prompts_.messages.empty());
}

// An error inside the dialog goes to the main window's error box, owned by the dialog, which stays
// open and usable.
TEST_F(AboutDialog, AnErrorInsideItReachesTheErrorBoxAndTheDialogStaysOpen) {
    FailingShell failing;
    about_ = std::make_unique<forms::TFrmAbout>(Frm().Handle(), failing, prompts_);
    Frm().AttachAboutDialog(*about_);
    HWND link = Item(IDC_ABOUT_LABEL4);
    ShowAndClose([&] {
        for (int click = 0; click < 3; ++click) {
            ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        }
        EXPECT_TRUE(::IsWindowVisible(Dialog()));
        EXPECT_FALSE(::IsWindowEnabled(Frm().Handle()));
    });
    const std::string texts[] = {"No program opens mail links.", "There is not enough memory to finish this command.",
                                 "The shell gave up."};
    ASSERT_EQ(prompts_.messages.size(), std::size(texts));
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_EQ(prompts_.messages[i].text, texts[i]);
        EXPECT_EQ(prompts_.messages[i].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
        EXPECT_EQ(prompts_.messages[i].owner, Dialog());
    }
    EXPECT_FALSE(::IsWindowVisible(Dialog()));  // Esc still closed it
    EXPECT_TRUE(WindowAlive());
    about_.reset();
}

// Without these entries in the program's manifest, 8.1 and later report 6.2 to the version query.
TEST(AboutManifest, DeclaresTheSystemsThatReportTheirRealVersion) {
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_TRUE(found);
    const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(nullptr, found)));
    const std::string manifest(bytes, ::SizeofResource(nullptr, found));
    for (const char* id : {"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"})
        EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + id + "\"/>"), std::string::npos) << id;
}

}  // namespace
