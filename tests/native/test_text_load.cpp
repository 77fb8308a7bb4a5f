// The load road over sources and sinks made here: encoding decided on the first block, blocks and
// progress, the cleaning copy, failures of either side, cancelling, and the limit on what is read.
#include "core/text_load.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

using core::DetectedEncoding;
using core::TextEncoding;

// Bytes handed out `chunk` at a time, counting the reads; `failAt` makes the read that would
// go past that offset throw, as a disk error does.
class ScriptedSource final : public core::ByteSource {
public:
    explicit ScriptedSource(std::string bytes, std::size_t chunk = SIZE_MAX)
        : bytes_(std::move(bytes)), chunk_(chunk) {}
    std::size_t Read(char* into, std::size_t size) override {
        ++reads;
        const std::size_t n = std::min({size, chunk_, bytes_.size() - at_});
        if (at_ + n > failAt) throw core::AppError("The device is not ready");
        bytes_.copy(into, n, at_);
        at_ += n;
        return n;
    }
    std::uint64_t SizeHint() const override { return bytes_.size(); }
    std::size_t Position() const { return at_; }

    int reads = 0;
    std::size_t failAt = SIZE_MAX;

private:
    std::string bytes_;
    std::size_t chunk_;
    std::size_t at_ = 0;
};

// Stores what it is given, up to `room` bytes in all: the disk that fills up.
class FillingSink final : public core::ByteSink {
public:
    explicit FillingSink(std::size_t room = SIZE_MAX) : room_(room) {}
    std::size_t Write(const char* data, std::size_t size) override {
        const std::size_t n = std::min(size, room_ - bytes.size());
        bytes.append(data, n);
        return n;
    }
    std::string bytes;

private:
    std::size_t room_;
};

class RecordingObserver final : public core::LoadObserver {
public:
    void BlockDone(std::uint64_t bytesRead, std::uint64_t sizeHint) override {
        done.push_back(bytesRead);
        hint = sizeHint;
    }
    bool CancelRequested() override { return cancelAfter >= 0 && static_cast<int>(done.size()) >= cancelAfter; }

    std::vector<std::uint64_t> done;
    std::uint64_t hint = 0;
    int cancelAfter = -1;
};

std::string Cleaned(std::string bytes) {
    core::CleanBlock(bytes.data(), bytes.size());
    return bytes;
}

// Control bytes, breaks and art in every block, a CR LF straddling the first block's end.
std::string SmallFile(std::size_t size) {
    std::string file;
    for (std::size_t i = 0; file.size() < size; ++i) file += "\xC9\xCD\t\x0C" + std::to_string(i) + "\0\x1A\r\n"s;
    file.resize(size);
    if (size > core::kCopyBlock) file.replace(core::kCopyBlock - 1, 2, "\r\n");
    return file;
}

}  // namespace

TEST(TextEncoding, IsDecidedByTheMarkInTheFirstBytes) {
    constexpr TextEncoding kEightBit = TextEncoding::kEightBit;
    struct Case { std::string head; DetectedEncoding detected; } cases[] = {
        {"", {kEightBit, 0}},
        {"\xFF", {kEightBit, 0}},  // too short to be a mark
        {"\xFF\xFE", {TextEncoding::kUtf16LittleEndian, 2}},
        {"\xFE\xFF" "\0A"s, {TextEncoding::kUtf16BigEndian, 2}},
        {"\xFE\xFE", {kEightBit, 0}},
        {"\xFF\xFF", {kEightBit, 0}},
        {"\xEF\xBB\xBF" "ABC", {TextEncoding::kUtf8, 3}},
        {"\xEF\xBB", {kEightBit, 0}},  // a mark cut short is two bytes of 8-bit text
        {"A\xFF\xFE", {kEightBit, 0}},           // only at the very start
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::DetectEncoding(c.head), c.detected) << testing::PrintToString(c.head);
}

// However the source hands its bytes out, the blocks are the program's: one progress step per
// block, the same text, and a copy that is the cleaned file byte for byte.
TEST(TextLoad, CleanedFileGoesInCopyBlocksWhateverTheSourceReads) {
    const std::string file = SmallFile(3 * core::kCopyBlock + 3392);
    const std::string expected = core::BuildViewText(file, true);
    ASSERT_NE(expected.find("\xC9\xCD  0  "), std::string::npos);
    for (std::size_t chunk : {std::size_t{1}, std::size_t{4093}, core::kCopyBlock, SIZE_MAX}) {
        SCOPED_TRACE(chunk);
        ScriptedSource source(file, chunk);
        core::TextLoad load(source, core::LoadOptionsFor(true));
        ASSERT_TRUE(load.MakesCleanedCopy());
        RecordingObserver observer;
        FillingSink copy;
        EXPECT_EQ(load.Run(&observer, &copy), expected);
        EXPECT_EQ(copy.bytes, Cleaned(file));
        const std::vector<std::uint64_t> steps = {65536, 131072, 196608, file.size()};
        EXPECT_EQ(observer.done, steps);
        EXPECT_EQ(observer.hint, file.size());
    }
}

// The copy is of 8-bit files that are cleaned: never of a marked file, never above the threshold.
TEST(TextLoad, OnlyACleanedEightBitTextIsCopied) {
    struct Case { const char* name; std::string file; bool clean; std::string text; } cases[] = {
        {"UTF-16 LE", "\xFF\xFE" "A\0\t\0\r\0\n\0"s, true, "A\t\r\n"},
        {"UTF-16 BE", "\xFE\xFF" "\0A"s, true, "A\r\n"},
        {"8-bit, not cleaned", "A\tB\r\n", false, "A\tB\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedSource source(c.file);
        core::TextLoad load(source, core::LoadOptionsFor(c.clean));
        EXPECT_FALSE(load.MakesCleanedCopy());
        FillingSink copy;
        EXPECT_EQ(load.Run(nullptr, &copy), c.text);
        EXPECT_TRUE(copy.bytes.empty());
    }
}

// A full disk: the write that stores less ends the load, and no text comes out of it.
TEST(TextLoad, ShortWriteOfTheCopyEndsTheLoadWithStreamWriteError) {
    const std::string file = SmallFile(3 * core::kCopyBlock);
    for (std::size_t room : {std::size_t{0}, core::kCopyBlock + 10, 3 * core::kCopyBlock - 1}) {
        SCOPED_TRACE(room);
        ScriptedSource source(file);
        core::TextLoad load(source, core::LoadOptionsFor(true));
        RecordingObserver observer;
        FillingSink copy(room);
        try {
            load.Run(&observer, &copy);
            ADD_FAILURE() << "the short write went unnoticed";
        } catch (const core::AppError& error) {
            EXPECT_STREQ(error.what(), "Stream write error");
        }
        EXPECT_EQ(observer.done.size(), room / core::kCopyBlock);  // the failing block is not reported done
    }
}

// A read that fails is the source's error, on the first block or a later one, cleaned or not;
// never taken for the end of the file. (No Ctrl-Z here: it would end an uncleaned text early.)
TEST(TextLoad, FailedReadLeavesAsTheSourcesError) {
    const std::string file = Cleaned(SmallFile(3 * core::kCopyBlock));
    for (bool clean : {true, false}) {
        for (std::size_t failAt : {std::size_t{0}, core::kCopyBlock + 1, 3 * core::kCopyBlock - 1}) {
            SCOPED_TRACE(testing::Message() << clean << ' ' << failAt);
            ScriptedSource source(file);
            source.failAt = failAt;
            FillingSink copy;
            try {
                core::TextLoad load(source, {clean, core::kCopyBlock});
                load.Run(nullptr, &copy);
                ADD_FAILURE() << "the failed read went unnoticed";
            } catch (const core::AppError& error) {
                EXPECT_STREQ(error.what(), "The device is not ready");
            }
        }
    }
}

TEST(TextLoad, CancelBetweenBlocksGivesNoTextAndReadsNoFurther) {
    const std::string file = SmallFile(4 * core::kCopyBlock);
    for (int cancelAfter : {0, 1, 3}) {
        SCOPED_TRACE(cancelAfter);
        ScriptedSource source(file);
        core::TextLoad load(source, core::LoadOptionsFor(true));
        RecordingObserver observer;
        observer.cancelAfter = cancelAfter;
        FillingSink copy;
        EXPECT_EQ(load.Run(&observer, &copy), std::nullopt);
        EXPECT_EQ(observer.done.size(), static_cast<std::size_t>(cancelAfter));
        // The first block is read when the load is made; no block is read after the cancel.
        EXPECT_EQ(source.Position(), std::max(cancelAfter, 1) * core::kCopyBlock);
    }
}

// Nothing after a Ctrl-Z is read; and the room reserved for the whole file is given back.
TEST(TextLoad, CtrlZStopsTheReadingOfAFileThatIsNotCleaned) {
    std::string file(6 * core::kReadBlock, 'x');
    file.replace(10, 3, "\r\n\x1A");
    ScriptedSource source(file);
    core::TextLoad load(source, core::LoadOptionsFor(false));
    const auto text = load.Run();
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, std::string(10, 'x') + "\r\n");
    EXPECT_EQ(source.Position(), core::kReadBlock);
    EXPECT_LT(text->capacity(), core::kReadBlock);
}

// A file that grows while it is read, or a device that never ends, stops at the limit instead of
// eating all memory.
TEST(TextLoad, SourceThatGoesOnPastTheLargestTextIsTooLarge) {
    class Endless final : public core::ByteSource {
    public:
        std::size_t Read(char* into, std::size_t size) override {
            std::fill_n(into, size, 'z');
            return size;
        }
        std::uint64_t SizeHint() const override { return 0; }
    } endless;
    core::LoadOptions options = core::LoadOptionsFor(true);
    options.largestText = 40 * core::kCopyBlock;
    core::TextLoad load(endless, options);
    RecordingObserver observer;
    EXPECT_THROW(load.Run(&observer), core::TextTooLarge);
    EXPECT_EQ(observer.done.size(), 40u);

    ScriptedSource exact(std::string(40 * core::kCopyBlock, 'z'));
    core::TextLoad fits(exact, options);
    EXPECT_EQ(fits.Run()->size(), 40 * core::kCopyBlock + 2);
}
