#include "platform/clipboard.hpp"

#include "core/cp437.hpp"

#include <algorithm>
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

// Hands the clipboard a block of `bytes` filled by fill(target), plus a zeroed terminator; the
// clipboard owns it once set.
template <class Fill>
bool Put(UINT format, std::size_t bytes, std::size_t terminator, Fill fill) {
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes + terminator);
    if (!memory) return false;
    void* target = ::GlobalLock(memory);
    if (!target) {
        ::GlobalFree(memory);
        return false;
    }
    fill(static_cast<char*>(target));
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
    // A NUL inside either format would end the pasted text there: it goes out as the blank it shows.
    bool text = Put(CF_TEXT, bytes.size(), 1, [&](char* target) {
        std::replace_copy(bytes.begin(), bytes.end(), target, '\0', ' ');
    });
    const std::size_t unicodeBytes = glyphs.size() * sizeof(char16_t);
    bool unicode = Put(CF_UNICODETEXT, unicodeBytes, sizeof(char16_t),
                       [&](char* target) { std::memcpy(target, glyphs.data(), unicodeBytes); });
    return text && unicode;
}

}  // namespace platform
