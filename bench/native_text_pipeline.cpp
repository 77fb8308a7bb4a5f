// Throughput of the loader's stages on synthetic NFO-like text: block-art logo lines, box
// lines and prose, CR LF breaks; the same text saved as UTF-16 (little endian, with its mark) for
// the decoding stages, and with CR alone as its breaks (a classic Mac file), whose lines the
// reader settles only at the end. The "load" rows are the program's own road (core::TextLoad in
// the program's blocks, with the cleaning copy going to a sink that stores nothing), everything
// but the file system. Figures are MB/s of file bytes (1 MB = 10^6 bytes), best of several rounds.
#include "bench/native_timing.hpp"
#include "bench/synthetic_nfo.hpp"
#include "core/cp437.hpp"
#include "core/text_load.hpp"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

namespace {

using bench::MakeNfo;

using bench::BestSeconds;

void Report(const char* size, const char* stage, std::size_t bytes, double seconds) {
    std::printf("%-7s %-14s %9.1f MB/s  (%.3f ms)\n", size, stage, bytes / seconds / 1e6, seconds * 1e3);
}

std::size_t g_sink = 0;  // keeps results observable so the work is not optimised away

// The text as a Unicode editor saves it: each byte's glyph as one little-endian unit, behind FF FE.
std::string AsUtf16File(const std::string& bytes) {
    std::string file = "\xFF\xFE";
    file.reserve(2 + 2 * bytes.size());
    for (char c : bytes) {
        const char16_t unit = core::Cp437Glyph(static_cast<unsigned char>(c));
        file += static_cast<char>(unit & 0xFF);
        file += static_cast<char>(unit >> 8);
    }
    return file;
}

// The cleaning copy's target, minus the disk.
class NullSink final : public core::ByteSink {
public:
    std::size_t Write(const char* data, std::size_t size) override {
        g_sink += static_cast<unsigned char>(data[size / 2]);
        return size;
    }
};

// The same text as a web archive serves it: each byte's glyph in UTF-8, no mark.
std::string AsUtf8File(const std::string& bytes) {
    std::string file;
    file.reserve(3 * bytes.size());
    for (char c : bytes) {
        const char16_t unit = core::Cp437Glyph(static_cast<unsigned char>(c));
        if (unit < 0x80) {
            file += static_cast<char>(unit);
        } else if (unit < 0x800) {
            file += static_cast<char>(0xC0 | unit >> 6);
            file += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            file += static_cast<char>(0xE0 | unit >> 12);
            file += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
            file += static_cast<char>(0x80 | (unit & 0x3F));
        }
    }
    return file;
}

// A file through the program's road: the blocks of its size, a copy when it is cleaned.
std::size_t Load(const std::string& file, bool clean,
                 core::EncodingChoice encoding = core::EncodingChoice::kAutomatic) {
    core::MemorySource source(file);
    core::TextLoad load(source, core::LoadOptionsFor(clean, encoding));
    NullSink copy;
    return load.Run(nullptr, &copy)->size();
}

std::string CrOnly(const std::string& crLf) {
    std::string out;
    out.reserve(crLf.size());
    for (char c : crLf)
        if (c != '\n') out += c;
    return out;
}

void Measure(const char* label, std::size_t size) {
    const std::string file = MakeNfo(size);
    const int rounds = size <= (1u << 20) ? 20 : 5;
    std::string cleaned = file;
    core::CleanBlock(cleaned.data(), cleaned.size());
    const std::string text = core::BuildViewText(cleaned, false);

    std::string block(core::kCopyBlock, '\0');
    Report(label, "copy+clean", size, BestSeconds(rounds, [&] {
        for (std::size_t off = 0; off < file.size(); off += core::kCopyBlock) {
            const std::size_t n = std::min(core::kCopyBlock, file.size() - off);
            std::memcpy(block.data(), file.data() + off, n);
            core::CleanBlock(block.data(), n);
            g_sink += static_cast<unsigned char>(block[n / 2]);
        }
    }));
    Report(label, "split+build", size, BestSeconds(rounds, [&] {
        g_sink += core::BuildViewText(cleaned, false).size();
    }));
    Report(label, "glyphs", size, BestSeconds(rounds, [&] { g_sink += core::ToGlyphs(text).size(); }));
    Report(label, "whole", size, BestSeconds(rounds, [&] {
        const std::string view = core::BuildViewText(file, true);
        g_sink += core::ToGlyphs(view).size();
    }));

    // The Mac file against the same text with CR LF; and, for scale, what a first pass that looks
    // for an LF before reading would cost on it (it finds none, so it reads the whole file).
    const std::string mac = CrOnly(cleaned);
    Report(label, "mac build", mac.size(), BestSeconds(rounds, [&] {
        g_sink += core::BuildViewText(mac, false).size();
    }));
    // The worst case of reading without that pass: CRs taken for breaks all the way, then one LF
    // at the very end joins every line back into one.
    const std::string macThenLf = mac + "\n";
    Report(label, "mac, last lf", macThenLf.size(), BestSeconds(rounds, [&] {
        g_sink += core::BuildViewText(macThenLf, false).size();
    }));
    Report(label, "lf pre-scan", mac.size(), BestSeconds(rounds, [&] {
        g_sink += std::memchr(mac.data(), '\n', mac.size()) == nullptr;
    }));

    const std::string utf16 = AsUtf16File(cleaned);
    std::string utf16Body = utf16.substr(2);
    Report(label, "utf16 decode", utf16.size(), BestSeconds(rounds, [&] {
        core::Utf16Decoder decoder(false);
        g_sink += decoder.Decode(utf16Body).size();
    }));
    Report(label, "utf16 build", utf16.size(), BestSeconds(rounds, [&] {
        g_sink += core::BuildViewText(utf16, true).size();
    }));

    // Each decoder on its own, over what it is made for (the 8-bit and Windows-1252 ones rewrite
    // their block in place, so the same block serves every round).
    std::string eightBit = file;
    Report(label, "dos437 decode", size, BestSeconds(rounds, [&] {
        core::EightBitDecoder decoder(true);
        g_sink += decoder.Decode(eightBit).size();
    }));
    std::string western = file;
    Report(label, "1252 decode", size, BestSeconds(rounds, [&] {
        core::Windows1252Decoder decoder(true);
        g_sink += decoder.Decode(western).size();
    }));
    const std::string utf8 = AsUtf8File(cleaned);
    std::string utf8Body = utf8;
    Report(label, "utf8 decode", utf8.size(), BestSeconds(rounds, [&] {
        core::Utf8Decoder decoder(true);
        g_sink += decoder.Decode(utf8Body).size();
    }));
    Report(label, "utf8 detect", utf8.size(), BestSeconds(rounds, [&] {
        core::Utf8Evidence evidence;
        evidence.Feed(utf8);
        g_sink += evidence.IsUtf8();
    }));

    const double automatic = BestSeconds(rounds, [&] { g_sink += Load(file, true); });
    const double chosen = BestSeconds(rounds, [&] { g_sink += Load(file, true, core::EncodingChoice::kDos437); });
    Report(label, "load cleaned", size, automatic);
    Report(label, "load as dos437", size, chosen);
    Report(label, "load direct", size, BestSeconds(rounds, [&] { g_sink += Load(file, false); }));
    Report(label, "load utf16", utf16.size(), BestSeconds(rounds, [&] { g_sink += Load(utf16, true); }));
    Report(label, "load utf8", utf8.size(), BestSeconds(rounds, [&] { g_sink += Load(utf8, size <= (4u << 20)); }));
    // Plain ASCII is the detection's worst case: nothing tells it apart before the end.
    const std::string ascii(size, 'a');
    const double asciiAutomatic = BestSeconds(rounds, [&] { g_sink += Load(ascii, true); });
    const double asciiChosen = BestSeconds(rounds, [&] { g_sink += Load(ascii, true, core::EncodingChoice::kDos437); });
    std::printf("%-7s detection adds %+.1f%% to an 8-bit load, %+.1f%% to a plain ASCII one\n", label,
                100.0 * (automatic - chosen) / chosen, 100.0 * (asciiAutomatic - asciiChosen) / asciiChosen);
}

}  // namespace

int main() {
    Measure("64KiB", 64u << 10);
    Measure("1MiB", 1u << 20);
    Measure("4MiB", 4u << 20);
    Measure("16MiB", 16u << 20);
    std::printf("(checksum %zu)\n", g_sink);
    return 0;
}
