#pragma once
// PNG through the system's own encoder (Windows Imaging Component): rows handed over as they are
// drawn, so no whole picture is ever held; into a file being written or into memory.
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <utility>

namespace platform {

// An owned COM interface pointer.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComRef() { if (p_) p_->Release(); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T** out() { return &p_; }  // for a call that hands over a new reference; only while empty
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// COM on this thread for as long as it lives (the encoder's factory needs it); a thread that has
// it already in another model keeps it.
class ComApartment {
public:
    ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment();

private:
    bool initialised_ = false;
};

// A stream over an open file handle (not owned): what the encoder writes, seeks and asks the size of.
ComRef<IStream> FileHandleStream(HANDLE file);

enum class PngPixels {
    Bgr24,   // opaque: three bytes a pixel, blue first
    Bgra32,  // with straight alpha
};

class PngEncoder {
public:
    // A PNG of width x height pixels into `stream`. Throws core::AppError naming what the system
    // could not do, with its reason.
    PngEncoder(IStream* stream, std::uint32_t width, std::uint32_t height, PngPixels pixels);
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;
    ~PngEncoder();

    // The next `rows` rows, `stride` bytes apart, top first.
    void WriteRows(std::uint32_t rows, std::uint32_t stride, const std::uint8_t* pixels);
    // Ends the picture; every row must have been written.
    void Commit();

private:
    struct Parts;
    Parts* parts_;
};

}  // namespace platform
