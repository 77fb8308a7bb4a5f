#pragma once
// Synthetic NFO-like text for the benchmarks: block-art logo lines, box lines and prose in runs of
// twelve lines, CR LF breaks, cut to the size asked for.
#include <cstddef>
#include <string>

namespace bench {

inline std::string ArtLine(std::size_t row) {
    static const char kShades[] = "\xDB\xB0\xB1\xB2\xDC\xDF \xDB\xDB  ";
    std::string line(2, ' ');
    for (std::size_t col = 0; col < 74; ++col) line += kShades[(row * 3 + col * 7 + col / 5) % 11];
    return line;
}

inline std::string BoxLine(std::size_t row) {
    if (row % 3 == 0) return "\xC9" + std::string(76, '\xCD') + "\xBB";
    return "\xBA  Release notes, supplied by the group: install, register, enjoy.        \xBA";
}

inline std::string TextLine(std::size_t row) {
    static const char* kText[] = {
        "  This release brings the full version with all features unlocked and a",
        "  keygen that works on every edition of the program.",
        "",
        "     Greetings to all our friends and to the couriers who keep us going.",
    };
    return kText[row % 4];
}

inline std::string MakeNfo(std::size_t size) {
    std::string data;
    data.reserve(size + 128);
    for (std::size_t row = 0; data.size() < size; ++row) {
        const std::size_t section = (row / 12) % 3;
        data += section == 0 ? ArtLine(row) : section == 1 ? BoxLine(row) : TextLine(row);
        data += "\r\n";
    }
    data.resize(size);
    return data;
}

}  // namespace bench
