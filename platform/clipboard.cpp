#include "platform/clipboard.hpp"

#include "core/cp437.hpp"

#include <cstring>
#include <string>

namespace platform {
namespace {

class ClipboardSession {
public:
    explicit ClipboardSession(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    ~ClipboardSession() { if (open_) ::CloseClipboard(); }
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

// Hands a NUL-terminated copy of the data to the clipboard; the clipboard owns it once set.
bool Put(UINT format, const void* data, std::size_t bytes, std::size_t terminator) {
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes + terminator);
    if (!memory) return false;
    void* target = ::GlobalLock(memory);
    if (!target) {
        ::GlobalFree(memory);
        return false;
    }
    std::memcpy(target, data, bytes);
    std::memset(static_cast<char*>(target) + bytes, 0, terminator);
    ::GlobalUnlock(memory);
    if (!::SetClipboardData(format, memory)) {
        ::GlobalFree(memory);
        return false;
    }
    return true;
}

}  // namespace

bool CopyBytesToClipboard(HWND owner, std::string_view bytes) {
    const std::u16string glyphs = core::ToGlyphs(bytes);
    ClipboardSession clipboard(owner);
    if (!clipboard.IsOpen() || !::EmptyClipboard()) return false;
    bool text = Put(CF_TEXT, bytes.data(), bytes.size(), 1);
    bool unicode = Put(CF_UNICODETEXT, glyphs.data(), glyphs.size() * sizeof(char16_t), sizeof(char16_t));
    return text && unicode;
}

}  // namespace platform
