#include "platform/png_writer.hpp"

#include <wincodec.h>

#include <atomic>
#include <string>

#include "core/app_error.hpp"
#include "platform/files.hpp"

namespace platform {
namespace {

[[noreturn]] void Failed(const char* what, HRESULT result) {
    std::string text = std::string("Cannot ") + what + ".";
    const std::string reason = SystemErrorText(static_cast<DWORD>(result));
    if (!reason.empty()) text += " " + reason;
    throw core::AppError(text);
}

void Check(HRESULT result, const char* what) {
    if (FAILED(result)) Failed(what, result);
}

// The few calls an encoder makes of a stream: write, seek, size. Reads are allowed for one that
// reads back what it wrote.
class HandleStream final : public IStream {
public:
    explicit HandleStream(HANDLE file) : file_(file) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (!out) return E_POINTER;
        if (id == IID_IUnknown || id == IID_ISequentialStream || id == IID_IStream) {
            *out = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE Read(void* data, ULONG size, ULONG* done) override {
        DWORD read = 0;
        const BOOL ok = ::ReadFile(file_, data, size, &read, nullptr);
        if (done) *done = read;
        if (!ok) return HRESULT_FROM_WIN32(::GetLastError());
        return read == size ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* done) override {
        DWORD written = 0;
        const BOOL ok = ::WriteFile(file_, data, size, &written, nullptr);
        if (done) *done = written;
        if (!ok) return HRESULT_FROM_WIN32(::GetLastError());
        return written == size ? S_OK : STG_E_MEDIUMFULL;
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
        LARGE_INTEGER now{};
        if (!::SetFilePointerEx(file_, move, &now, origin)) return HRESULT_FROM_WIN32(::GetLastError());
        if (position) position->QuadPart = static_cast<ULONGLONG>(now.QuadPart);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
        if (!stat) return E_POINTER;
        *stat = STATSTG{};
        stat->type = STGTY_STREAM;
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(file_, &size)) return HRESULT_FROM_WIN32(::GetLastError());
        stat->cbSize.QuadPart = static_cast<ULONGLONG>(size.QuadPart);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

private:
    HANDLE file_;
    std::atomic<ULONG> references_{1};
};

// Each row filtered by its left neighbour alone: text and art are runs of equal pixels across, which
// this filter makes zeros of, and trying every filter on every row (the default) costs most of a
// save's time for a file hardly smaller. An encoder without the option keeps its own choice.
void UseSubFilter(IPropertyBag2* options) {
    if (!options) return;
    PROPBAG2 option{};
    option.pstrName = const_cast<LPOLESTR>(L"FilterOption");
    VARIANT value;
    ::VariantInit(&value);
    value.vt = VT_UI1;
    value.bVal = static_cast<BYTE>(WICPngFilterSub);
    options->Write(1, &option, &value);
}

}  // namespace

ComApartment::ComApartment() {
    initialised_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

ComApartment::~ComApartment() {
    if (initialised_) ::CoUninitialize();
}

ComRef<IStream> FileHandleStream(HANDLE file) {
    ComRef<IStream> stream;
    *stream.out() = new HandleStream(file);
    return stream;
}

struct PngEncoder::Parts {
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICBitmapEncoder> encoder;
    ComRef<IWICBitmapFrameEncode> frame;
    ComRef<IPropertyBag2> options;
};

PngEncoder::PngEncoder(IStream* stream, std::uint32_t width, std::uint32_t height, PngPixels pixels)
    : parts_(new Parts) {
    try {
        Check(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                 reinterpret_cast<void**>(parts_->factory.out())),
              "start the system's image encoder");
        Check(parts_->factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, parts_->encoder.out()),
              "find the system's PNG encoder");
        Check(parts_->encoder->Initialize(stream, WICBitmapEncoderNoCache), "start the PNG file");
        Check(parts_->encoder->CreateNewFrame(parts_->frame.out(), parts_->options.out()), "start the PNG picture");
        UseSubFilter(parts_->options.get());
        Check(parts_->frame->Initialize(parts_->options.get()), "start the PNG picture");
        Check(parts_->frame->SetSize(width, height), "size the PNG picture");
        const GUID wanted = pixels == PngPixels::Bgra32 ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
        GUID format = wanted;
        Check(parts_->frame->SetPixelFormat(&format), "set the PNG picture's pixels");
        // An encoder that would convert our rows to something else would mean rows of another size.
        if (format != wanted) Failed("set the PNG picture's pixels", E_NOTIMPL);
    } catch (...) {
        delete parts_;
        throw;
    }
}

PngEncoder::~PngEncoder() { delete parts_; }

void PngEncoder::WriteRows(std::uint32_t rows, std::uint32_t stride, const std::uint8_t* pixels) {
    Check(parts_->frame->WritePixels(rows, stride, stride * rows, const_cast<BYTE*>(pixels)),
          "write the PNG picture");
}

void PngEncoder::Commit() {
    Check(parts_->frame->Commit(), "finish the PNG picture");
    Check(parts_->encoder->Commit(), "finish the PNG file");
}

}  // namespace platform
