#include "platform/clipboard.hpp"

#include "core/cp437.hpp"

#include <algorithm>
#include <cstring>
#include <cstdint>

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

// The glyphs go straight into the clipboard's block: a copy of a large selection needs no third
// copy of it in between, and running out of room is a refusal, never an exception.
bool CopyBytesToClipboard(HWND owner, std::string_view bytes) {
    if (bytes.size() > (SIZE_MAX - sizeof(char16_t)) / sizeof(char16_t)) return false;
    ClipboardSession clipboard(owner);
    if (!clipboard.IsOpen() || !::EmptyClipboard()) return false;
    // A NUL inside either format would end the pasted text there: it goes out as the blank it shows.
    bool text = Put(CF_TEXT, bytes.size(), 1, [&](char* target) {
        std::replace_copy(bytes.begin(), bytes.end(), target, '\0', ' ');
    });
    bool unicode = Put(CF_UNICODETEXT, bytes.size() * sizeof(char16_t), sizeof(char16_t), [&](char* target) {
        for (const char byte : bytes) {
            const char16_t glyph = core::Cp437Glyph(static_cast<unsigned char>(byte));
            std::memcpy(target, &glyph, sizeof glyph);
            target += sizeof glyph;
        }
    });
    return text && unicode;
}

}  // namespace platform

namespace platform {

const wchar_t kPngClipboardFormat[] = L"PNG";

bool CopyPictureToClipboard(HWND owner, ClipboardPicture picture) {
    ClipboardSession clipboard(owner);
    if (!clipboard.IsOpen() || !::EmptyClipboard()) return false;
    bool any = false;
    if (picture.dib && ::SetClipboardData(CF_DIB, picture.dib.get())) {
        picture.dib.release();
        any = true;
    }
    const UINT png = ::RegisterClipboardFormatW(kPngClipboardFormat);
    if (png && picture.png && ::SetClipboardData(png, picture.png.get())) picture.png.release();
    return any;
}

}  // namespace platform
