// The about dialog: its template as designed, the modal showing from F1 and the button with fresh
// system lines, every way of closing it, its placement, anchors and kept state, and the mail link.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "forms/frm_about.hpp"
#include "resources/resource.h"
#include "tests/win32/support.hpp"

using namespace testing_support;
using forms::TFrmAbout;

namespace {

class RecordingShell final : public platform::Shell {
public:
    std::vector<std::string> opened;
    void Open(const std::string& target) override { opened.push_back(target); }
};

// Actions posted to a message-only window run from whichever loop the thread is in: inside the
// dialog's modal loop, they act the way a user acts while it is open.
constexpr char kActionClass[] = "CorvaleTestActions";

LRESULT CALLBACK ActionProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_APP) return ::DefWindowProcA(wnd, msg, wp, lp);
    std::unique_ptr<std::function<void()>> action(reinterpret_cast<std::function<void()>*>(lp));
    (*action)();
    return 0;
}

RECT ClientRectIn(HWND parent, HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string Text(HWND wnd) {
    char text[1024] = {};
    ::GetWindowTextA(wnd, text, sizeof text);
    return text;
}

std::string ClassOf(HWND wnd) {
    char name[64] = {};
    ::GetClassNameA(wnd, name, sizeof name);
    return name;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

// MemTotal of the Linux machine under Wine, in whole mebibytes; -1 when it cannot be read.
long long MachineMebibytes() {
    std::ifstream meminfo("Z:\\proc\\meminfo");
    std::string key;
    long long kib = 0;
    while (meminfo >> key >> kib)
        if (key == "MemTotal:") return kib / 1024;
    return -1;
}

long long NumberAfter(const std::string& text, const std::string& prefix) {
    if (text.compare(0, prefix.size(), prefix) != 0) return -1;
    return std::atoll(text.c_str() + prefix.size());
}

class AboutDialog : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        WNDCLASSA actions{};
        actions.lpfnWndProc = &ActionProc;
        actions.hInstance = ::GetModuleHandleA(nullptr);
        actions.lpszClassName = kActionClass;
        ::RegisterClassA(&actions);
        actions_ = ::CreateWindowExA(0, kActionClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        Start();
        MakeDialog();
    }
    void TearDown() override {
        MainWindowTest::TearDown();  // the dialog goes with its owner
        about_.reset();
        ::DestroyWindow(actions_);
    }
    void MakeDialog() {
        about_ = std::make_unique<TFrmAbout>(Frm().Handle(), shell_);
        Frm().AttachAboutDialog(*about_);
    }
    HWND Dialog() const { return about_->Handle(); }
    HWND Item(int id) const { return ::GetDlgItem(Dialog(), id); }
    void WhileShown(std::function<void()> action) {
        ::PostMessageA(actions_, WM_APP, 0, reinterpret_cast<LPARAM>(new std::function<void()>(std::move(action))));
    }
    // Opens the dialog with the About button, runs `inside` in its loop, then closes it with Esc.
    void ShowAndClose(std::function<void()> inside) {
        WhileShown(std::move(inside));
        WhileShown([this] { PostKey(VK_ESCAPE); });
        ClickAbout();
    }
    void ClickAbout() { ::SendMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnAbout, 0); }
    // A key as the user types it into the dialog's focused control.
    void PostKey(WORD key) {
        ::PostMessageA(::GetFocus(), WM_KEYDOWN, key, 1);
        ::PostMessageA(::GetFocus(), WM_KEYUP, key, 0xC0000001);
    }

    RecordingShell shell_;
    HWND actions_ = nullptr;
    std::unique_ptr<TFrmAbout> about_;
};

TEST_F(AboutDialog, TemplateAsDesigned) {
    HWND dialog = Dialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Text(dialog), "About Corvale");
    EXPECT_EQ(ClassOf(dialog), "#32770");
    EXPECT_FALSE(::IsWindowVisible(dialog));
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), Frm().Handle());
    const LONG_PTR style = ::GetWindowLongPtrA(dialog, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_SYSMENU | WS_CAPTION), WS_THICKFRAME | WS_SYSMENU | WS_CAPTION);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    RECT client{};
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 289);
    EXPECT_EQ(client.bottom, 286);

    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HGDIOBJ>(::SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "Tahoma");
    EXPECT_EQ(font.lfHeight, -11);

    struct Control { int id; const char* className; const char* text; RECT rect; } controls[] = {
        {IDC_ABOUT_LABEL1, "Static", "Corvale 1.03", {8, 8, 279, 21}},
        {IDC_ABOUT_BEVEL2, "Static", "", {8, 43, 279, 45}},
        {IDC_ABOUT_BEVEL1, "Static", "", {8, 87, 277, 89}},
        {IDC_ABOUT_LABEL5, "Static", "Your system:", {8, 97, 279, 110}},
        {IDC_ABOUT_LABEL6, "Static", "#WinVer#", {8, 116, 279, 129}},
        {IDC_ABOUT_LABEL7, "Static", "#Mem1#", {8, 135, 279, 148}},
        {IDC_ABOUT_LABEL8, "Static", "#Mem2#", {8, 154, 279, 167}},
        {IDC_ABOUT_MEMOCHANGES, "Edit", nullptr, {8, 178, 281, 243}},
        {IDOK, "Button", "OK", {108, 254, 181, 278}},
    };
    for (const auto& c : controls) {
        HWND control = Item(c.id);
        ASSERT_TRUE(control) << c.id;
        EXPECT_EQ(ClassOf(control), c.className) << c.id;
        if (c.text) {
            EXPECT_EQ(Text(control), c.text) << c.id;
        }
        const RECT at = ClientRectIn(dialog, control);
        EXPECT_EQ(at.left, c.rect.left) << c.id;
        EXPECT_EQ(at.top, c.rect.top) << c.id;
        EXPECT_EQ(at.right, c.rect.right) << c.id;
        EXPECT_EQ(at.bottom, c.rect.bottom) << c.id;
    }
    // The link: its own text's width, centred in the dialog's width.
    HWND link = Item(IDC_ABOUT_LABEL4);
    EXPECT_EQ(Text(link), "corvale@example.org");
    const RECT linkAt = ClientRectIn(dialog, link);
    EXPECT_GT(linkAt.right - linkAt.left, 60);
    EXPECT_EQ(linkAt.left, (289 - (linkAt.right - linkAt.left)) / 2);
    EXPECT_EQ(linkAt.top, 68);

    HWND notes = Item(IDC_ABOUT_MEMOCHANGES);
    const LONG_PTR notesStyle = ::GetWindowLongPtrA(notes, GWL_STYLE);
    EXPECT_EQ(notesStyle & (ES_MULTILINE | ES_READONLY | WS_VSCROLL), ES_MULTILINE | ES_READONLY | WS_VSCROLL);
    EXPECT_EQ(notesStyle & (ES_AUTOHSCROLL | WS_HSCROLL), 0);  // wrapped
    const std::vector<std::string> lines = Lines(Text(notes));
    ASSERT_EQ(lines.size(), 16u);
    int blocks = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == 0 || lines[i - 1].empty()) {
            ++blocks;
            EXPECT_NE(lines[i].find("1.0" + std::to_string(3 - blocks)), std::string::npos) << lines[i];
        } else if (!lines[i].empty()) {
            EXPECT_EQ(lines[i].rfind("+ ", 0), 0u) << lines[i];
        }
    }
    EXPECT_EQ(blocks, 3);

    EXPECT_EQ(::GetWindowLongPtrA(Item(IDOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(::GetNextDlgTabItem(dialog, nullptr, FALSE), Item(IDOK));
    EXPECT_EQ(::GetNextDlgTabItem(dialog, Item(IDOK), FALSE), notes);
}

TEST_F(AboutDialog, F1AndTheButtonShowItModallyWithFreshLines) {
    const long long machine = MachineMebibytes();
    const DWORD version = ::GetVersion();
    const std::string expectedVersion = "Microsoft Windows NT " + std::to_string(LOBYTE(LOWORD(version))) + "." +
                                        std::to_string(HIBYTE(LOWORD(version))) + ".";
    // The opening input is posted first, so the check runs inside the dialog's loop.
    const std::function<void()> opens[] = {
        [this] { ::PostMessageA(Memo().Handle(), WM_KEYDOWN, VK_F1, 1); },
        [this] { ::PostMessageA(Frm().Handle(), WM_COMMAND, forms::kBtnAbout, 0); },
        [this] { ::PostMessageA(Memo().Handle(), WM_KEYDOWN, VK_F1, 1); },  // the same dialog again: fresh lines
    };
    for (const auto& open : opens) {
        for (int id : {IDC_ABOUT_LABEL6, IDC_ABOUT_LABEL7, IDC_ABOUT_LABEL8}) ::SetDlgItemTextA(Dialog(), id, "stale");
        bool ran = false;
        open();
        WhileShown([&] {
            ran = true;
            EXPECT_TRUE(::IsWindowVisible(Dialog()));
            EXPECT_FALSE(::IsWindowEnabled(Frm().Handle()));
            EXPECT_EQ(Text(Item(IDC_ABOUT_LABEL6)).rfind(expectedVersion, 0), 0u) << Text(Item(IDC_ABOUT_LABEL6));
            const std::string physical = Text(Item(IDC_ABOUT_LABEL7));
            const std::string pageFile = Text(Item(IDC_ABOUT_LABEL8));
            EXPECT_NE(physical.find(" MB total, "), std::string::npos) << physical;
            EXPECT_TRUE(physical.ends_with(" MB free")) << physical;
            EXPECT_GE(NumberAfter(pageFile, "Page file: "), 0) << pageFile;
            const long long total = NumberAfter(physical, "Physical memory: ");
            if (machine >= 0) {
                EXPECT_LE(std::llabs(total - machine), 1) << physical << " vs " << machine;
            }
            if (machine > 4096) {
                EXPECT_GT(total, 4095) << physical;  // never the 32-bit cap
            }
            PostKey(VK_ESCAPE);
        });
        Pump();
        EXPECT_TRUE(ran);
        EXPECT_FALSE(::IsWindowVisible(Dialog()));
        EXPECT_TRUE(::IsWindowEnabled(Frm().Handle()));
    }
    EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(AboutDialog, EveryWayOfClosingHidesItAndChangesNothingElse) {
    const std::string path = scratch_.Write("art.nfo", "\xC9\xCD\xBB\r\nline two\r\n");
    Frm().ShowFile(path);
    Memo().SetSelection(2, 7);
    const std::string text = Memo().Text();
    const std::string status = Frm().StatusText(0);
    struct Way { const char* name; std::function<void()> close; } ways[] = {
        {"OK clicked", [this] { ::SendMessageA(Item(IDOK), BM_CLICK, 0, 0); }},
        {"Enter", [this] { PostKey(VK_RETURN); }},
        {"Esc", [this] { PostKey(VK_ESCAPE); }},
        {"Esc in the notes", [this] { ::SetFocus(Item(IDC_ABOUT_MEMOCHANGES)); PostKey(VK_ESCAPE); }},
        {"close box", [this] { ::PostMessageA(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& way : ways) {
        WhileShown(way.close);
        ClickAbout();
        Pump();
        EXPECT_FALSE(::IsWindowVisible(Dialog())) << way.name;
        EXPECT_TRUE(::IsWindowEnabled(Frm().Handle())) << way.name;
        EXPECT_TRUE(WindowAlive()) << way.name;
        EXPECT_EQ(Memo().Text(), text) << way.name;
        EXPECT_EQ(Frm().StatusText(0), status) << way.name;
        const auto selection = Memo().GetSelection();
        EXPECT_EQ(selection.start, 2u) << way.name;
        EXPECT_EQ(selection.end, 7u) << way.name;
    }
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(AboutDialog, AMainWindowCloseWaitsUntilTheDialogIsClosed) {
    ShowAndClose([this] { ::PostMessageA(Frm().Handle(), WM_CLOSE, 0, 0); });
    EXPECT_TRUE(WindowAlive());  // the close was held back while the dialog ran
    Pump();
    EXPECT_FALSE(WindowAlive());
}

TEST_F(AboutDialog, FirstShowingIsCentredOverTheMainWindowAndKeptOnTheDesktop) {
    const int desktopLeft = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int desktopTop = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    struct Case { int left, top; bool clamped; } cases[] = {{100, 80, false}, {-640, -500, true}};
    for (const auto& c : cases) {
        MakeDialog();  // a fresh dialog: its first showing
        ::SetWindowPos(Frm().Handle(), nullptr, c.left, c.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        RECT main{}, dialog{};
        ::GetWindowRect(Frm().Handle(), &main);
        ShowAndClose([&] { ::GetWindowRect(Dialog(), &dialog); });
        const int width = dialog.right - dialog.left, height = dialog.bottom - dialog.top;
        const int centredLeft = main.left + (main.right - main.left - width) / 2;
        const int centredTop = main.top + (main.bottom - main.top - height) / 2;
        EXPECT_EQ(dialog.left, c.clamped ? desktopLeft : centredLeft) << c.left;
        EXPECT_EQ(dialog.top, c.clamped ? desktopTop : centredTop) << c.top;
    }
}

TEST_F(AboutDialog, LaterShowingsKeepPlaceSizeFocusAndTheNotesScrollPosition) {
    HWND notes = Item(IDC_ABOUT_MEMOCHANGES);
    RECT left{};
    LRESULT firstLine = 0;
    WhileShown([&] {
        EXPECT_EQ(::GetFocus(), Item(IDOK));  // the button has the focus at the first showing
        ::SetWindowPos(Dialog(), nullptr, 37, 41, 360, 380, SWP_NOZORDER);
        ::SendMessageA(notes, EM_LINESCROLL, 0, 5);
        firstLine = ::SendMessageA(notes, EM_GETFIRSTVISIBLELINE, 0, 0);
        ::GetWindowRect(Dialog(), &left);
        ::SetFocus(notes);
        ::PostMessageA(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    ClickAbout();
    EXPECT_GT(firstLine, 0);
    ::SetWindowPos(Frm().Handle(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // not followed
    ShowAndClose([&] {
        RECT now{};
        ::GetWindowRect(Dialog(), &now);
        EXPECT_TRUE(::EqualRect(&now, &left));
        EXPECT_EQ(::SendMessageA(notes, EM_GETFIRSTVISIBLELINE, 0, 0), firstLine);
        EXPECT_EQ(::GetFocus(), notes);
    });
}

TEST_F(AboutDialog, AResizedDialogKeepsItsControlsAnchored) {
    struct Size { int width, height; } sizes[] = {{389, 346}, {289, 286}, {120, 100}};
    for (const auto& s : sizes) {
        RECT frame{0, 0, s.width, s.height};
        ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrA(Dialog(), GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongPtrA(Dialog(), GWL_EXSTYLE)));
        ::SetWindowPos(Dialog(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                       SWP_NOMOVE | SWP_NOZORDER);
        RECT client{};
        ::GetClientRect(Dialog(), &client);
        const int dx = client.right - 289, dy = client.bottom - 286;
        auto width = [](int w) { return w < 0 ? 0 : w; };
        struct Expected { int id; RECT rect; } expected[] = {
            {IDC_ABOUT_LABEL1, {8, 8, 8 + width(271 + dx), 21}},
            {IDC_ABOUT_BEVEL1, {8, 87, 8 + width(269 + dx), 89}},
            {IDC_ABOUT_LABEL8, {8, 154, 8 + width(271 + dx), 167}},
            {IDC_ABOUT_MEMOCHANGES, {8, 178, 8 + width(273 + dx), 178 + width(65 + dy)}},
            {IDOK, {108, 254 + dy, 108 + width(73 + dx), 278 + dy}},
        };
        for (const auto& e : expected) {
            const RECT at = ClientRectIn(Dialog(), Item(e.id));
            EXPECT_TRUE(::EqualRect(&at, &e.rect)) << s.width << "x" << s.height << " control " << e.id << ": "
                                                   << at.left << "," << at.top << "," << at.right << "," << at.bottom;
        }
        const RECT link = ClientRectIn(Dialog(), Item(IDC_ABOUT_LABEL4));
        EXPECT_EQ(link.left, (client.right - (link.right - link.left)) / 2) << s.width;
        EXPECT_EQ(link.top, 68);
    }
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
