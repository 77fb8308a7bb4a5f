#include "platform/text_file.hpp"

#include "core/app_error.hpp"
#include "core/shown_file.hpp"
#include "core/text_load.hpp"
#include "platform/files.hpp"
#include "platform/win_handles.hpp"
#include "platform/worker_thread.hpp"

#include <algorithm>
#include <cstdio>
#include <new>

namespace platform {
namespace {

// Enough for the instances a user can start at once, even with stray copies of crashed ones.
constexpr int kTempNameAttempts = 64;

// The loader only reads, so it lets other programs go on reading and writing: a viewer shows
// files that a download or a log writer still holds open.
UniqueFile OpenForReading(const std::string& path) {
    return UniqueFile(::CreateFileW(FileApiPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

[[noreturn]] void ThrowFileError(const char* what, const std::string& path, DWORD code) {
    throw core::AppError(std::string(what) + " file \"" + AbsolutePath(path) + "\". " + SystemErrorText(code));
}

// An open file, read to its end. A failed read is reported, never taken for the end of the file:
// a text cut short without a word would pass for the whole file.
class FileSource final : public core::ByteSource {
public:
    FileSource(UniqueFile file, const std::string& path) : file_(std::move(file)), path_(path) {
        LARGE_INTEGER size{};
        if (::GetFileSizeEx(file_.get(), &size) && size.QuadPart > 0) size_ = static_cast<std::uint64_t>(size.QuadPart);
    }
    std::size_t Read(char* into, std::size_t size) override {
        DWORD got = 0;
        if (!::ReadFile(file_.get(), into, static_cast<DWORD>(size), &got, nullptr))
            ThrowFileError("Cannot read", path_, ::GetLastError());
        return got;
    }
    std::uint64_t SizeHint() const override { return size_; }
    // The size as the cleaning threshold compares it: low 32 bits, signed.
    std::int32_t Size32() const { return static_cast<std::int32_t>(static_cast<std::uint32_t>(size_)); }

private:
    UniqueFile file_;
    std::string path_;
    std::uint64_t size_ = 0;
};

// "corvalex-<process>-<attempt>.tmp": the process id keeps instances apart, the attempt steps
// past a name that is taken all the same.
std::string TempCopyPath(int attempt) {
    char name[48];
    const auto process = static_cast<unsigned long>(::GetCurrentProcessId());
    std::snprintf(name, sizeof name, "corvalex-%lx-%d.tmp", process, attempt);
    return GetTempDir() + name;
}

bool NameTaken(DWORD code) {
    return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS || code == ERROR_ACCESS_DENIED ||
           code == ERROR_SHARING_VIOLATION;
}

// The cleaning copy of one load. Created new under a name no other load holds, so instances
// loading at once never meet; held without sharing, so nobody reads it half-written; deleted by
// the system when it is closed, so not even a crash leaves it behind, and once more by name in
// case the file system ignores that.
class TempCopy final : public core::ByteSink {
public:
    TempCopy() {
        DWORD code = ERROR_FILE_EXISTS;
        for (int attempt = 0; attempt < kTempNameAttempts && NameTaken(code); ++attempt) {
            path_ = TempCopyPath(attempt);
            file_.reset(::CreateFileW(FileApiPath(path_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
            if (file_) return;
            code = ::GetLastError();
        }
        ThrowFileError("Cannot create", path_, code);
    }
    TempCopy(const TempCopy&) = delete;
    TempCopy& operator=(const TempCopy&) = delete;
    ~TempCopy() override {
        file_.reset();
        DeleteFileAt(path_);
    }
    std::size_t Write(const char* data, std::size_t size) override {
        DWORD put = 0;
        if (!::WriteFile(file_.get(), data, static_cast<DWORD>(size), &put, nullptr))
            ThrowFileError("Cannot write", path_, ::GetLastError());
        return put;
    }

private:
    UniqueFile file_;
    std::string path_;
};

// The window is served after each copied block and shows that a file is being parsed; Esc
// ends the copy between two blocks.
class CopyProgress final : public core::LoadObserver {
public:
    explicit CopyProgress(LoadHooks& hooks) : hooks_(hooks) {}
    void BlockDone(std::uint64_t, std::uint64_t) override {
        hooks_.ProcessPendingMessages();
        hooks_.ShowProgress();
    }
    bool CancelRequested() override { return hooks_.CancelRequested(); }

private:
    LoadHooks& hooks_;
};

// A worker's load in thousandths: reading the file is about two thirds of the time, indexing its
// lines the rest.
constexpr int kReadShare = 667;

int Permille(std::uint64_t done, std::uint64_t whole, int from, int share) {
    if (whole == 0) return from;
    return from + static_cast<int>(std::min<std::uint64_t>(done, whole) * static_cast<std::uint64_t>(share) / whole);
}

// What the worker tells between its blocks: how far it is, and whether it should stop.
class WorkerProgress final : public core::LoadObserver {
public:
    explicit WorkerProgress(WorkerThread::Context& context) : context_(context) {}
    void BlockDone(std::uint64_t bytesRead, std::uint64_t sizeHint) override {
        context_.Report(Permille(bytesRead, sizeHint, 0, kReadShare));
    }
    bool CancelRequested() override { return context_.StopRequested(); }

private:
    WorkerThread::Context& context_;
};

// The worker's whole job: the text, then its line index, so the window gets it ready to show.
std::optional<LoadedText> ReadAndIndex(FileSource& source, core::EncodingChoice encoding,
                                       WorkerThread::Context& context) {
    WorkerProgress progress(context);
    core::TextLoad load(source, core::LoadOptionsFor(false, encoding));
    std::optional<std::string> text = load.Run(&progress);
    if (!text) return std::nullopt;
    LoadedText loaded{{std::make_unique<std::string>(std::move(*text)), core::LineIndex{}}, load.Encoding()};
    core::PreparedText& prepared = loaded.text;
    const std::size_t size = prepared.bytes->size();
    const bool indexed = prepared.index.Build(*prepared.bytes, [&](std::size_t done) {
        context.Report(Permille(done, size, kReadShare, 1000 - kReadShare));
        return !context.StopRequested();
    });
    if (!indexed) return std::nullopt;
    context.Report(1000);
    return loaded;
}

// The worker's reports, shown once the load has run for the hooks' delay.
class ReadingDisplay {
public:
    explicit ReadingDisplay(LoadHooks& hooks)
        : hooks_(hooks), showAt_(std::chrono::steady_clock::now() + hooks.ProgressDelay()) {}
    void Report(int permille) {
        latest_ = permille;
        if (shown_) hooks_.ShowReading(latest_);
    }
    // How long the window may wait for messages before the progress is due; INFINITE once shown.
    DWORD WaitMs() {
        if (shown_) return INFINITE;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(showAt_ - std::chrono::steady_clock::now());
        if (left.count() > 0) return static_cast<DWORD>(left.count());
        shown_ = true;
        hooks_.ShowReading(latest_);
        return INFINITE;
    }

private:
    LoadHooks& hooks_;
    std::chrono::steady_clock::time_point showAt_;
    bool shown_ = false;
    int latest_ = 0;
};

bool QuitPending() {
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

// The window is served until the worker is done; Esc or a close asks it to stop. The program
// ending (its quit message waits) stops the worker and waits for it without serving anything.
void ServeWhileReading(WorkerThread& worker, LoadHooks& hooks, ReadingDisplay& display) {
    HANDLE finished = worker.FinishedEvent();
    for (;;) {
        const bool done = worker.Finished();
        hooks.ProcessPendingMessages();  // once it is done, its last reports too
        if (done) return;
        if (hooks.CancelRequested()) worker.RequestStop();
        if (QuitPending()) {
            worker.RequestStop();
            ::WaitForSingleObject(finished, INFINITE);
            return;
        }
        ::MsgWaitForMultipleObjectsEx(1, &finished, display.WaitMs(), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

std::optional<LoadedText> ReadInBackground(FileSource& source, core::EncodingChoice encoding, LoadHooks& hooks) {
    std::optional<LoadedText> result;
    ReadingDisplay display(hooks);
    WorkerThread worker([&](WorkerThread::Context& context) { result = ReadAndIndex(source, encoding, context); },
                        [&](int permille) { display.Report(permille); });
    ServeWhileReading(worker, hooks, display);
    worker.Join();
    if (hooks.CancelRequested()) return std::nullopt;  // asked for before the text was shown: never shown
    return result;
}

std::optional<LoadedText> Load(FileSource& source, core::EncodingChoice encoding, LoadHooks& hooks) {
    if (!core::ShouldClean(source.Size32())) return ReadInBackground(source, encoding, hooks);
    core::TextLoad load(source, core::LoadOptionsFor(true, encoding));
    std::optional<std::string> text;
    if (!load.MakesCleanedCopy()) {
        text = load.Run();
    } else {
        TempCopy copy;
        CopyProgress progress(hooks);
        text = load.Run(&progress, &copy);
    }
    if (!text) return std::nullopt;
    return LoadedText{core::PrepareText(std::move(*text)), load.Encoding()};
}

}  // namespace

std::optional<LoadedText> LoadViewText(const std::string& path, LoadHooks& hooks, core::EncodingChoice encoding) {
    if (auto size = GetFileSize64(path); size && *size > core::kLargestViewableFile) {
        hooks.ShowWarning(core::TooLargeText(path));
        return std::nullopt;
    }
    UniqueFile file = OpenForReading(path);
    if (!file) {
        hooks.ShowWarning(core::UnableToOpenText(path, SystemErrorText(::GetLastError())));
        return std::nullopt;
    }
    try {
        FileSource source(std::move(file), path);
        return Load(source, encoding, hooks);
    } catch (const core::TextTooLarge&) {  // it grew while it was read, or it is a device without end
        hooks.ShowWarning(core::TooLargeText(path));
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        hooks.ShowWarning(core::NotEnoughMemoryText(path));
        return std::nullopt;
    }
}

}  // namespace platform
