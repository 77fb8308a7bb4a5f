#include "platform/dialog_window.hpp"

namespace platform {
namespace {

constexpr char kDialogClass[] = "CorvaleDialog";

void RegisterDialogClass(HINSTANCE instance) {
    WNDCLASSEXA dialogClass{};
    dialogClass.cbSize = sizeof dialogClass;
    dialogClass.lpfnWndProc = ::DefWindowProcA;
    dialogClass.hInstance = instance;
    dialogClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    dialogClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    dialogClass.lpszClassName = kDialogClass;
    ::RegisterClassExA(&dialogClass);  // already registered by an earlier dialog: fine
}

}  // namespace

DialogWindow::DialogWindow(HWND owner, const char* caption, int clientWidth, int clientHeight, DWORD style,
                           DWORD exStyle) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    RegisterDialogClass(instance);
    RECT frame{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    wnd_ = ::CreateWindowExA(exStyle, kDialogClass, caption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                             frame.right - frame.left, frame.bottom - frame.top, owner, nullptr, instance, nullptr);
}

DialogWindow::~DialogWindow() {
    if (wnd_ && ::IsWindow(wnd_)) ::DestroyWindow(wnd_);
}

}  // namespace platform
