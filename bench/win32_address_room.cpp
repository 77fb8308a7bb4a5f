// How large a file the 32-bit program can hold: the address space it has (free in all, and the
// largest free block), and for each size whether the memory of the worst moment fits: the shown
// text, another text of the same size read beside it, then that one alone with a copy of all of
// it on the clipboard (the bytes, and the UTF-16 glyphs in one block twice as large). The blocks
// are the sizes the program asks for; nothing is touched, so it runs in a moment. Arguments: the
// sizes in MiB (default 512 to 1024). Prints figures only.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "core/text_load.hpp"

namespace {

struct Room {
    unsigned long long free = 0;
    unsigned long long largest = 0;
};

// The largest block the system will reserve now, to the MiB.
std::size_t LargestReservable() {
    std::size_t low = 0, high = std::size_t{4095} << 20;
    while (high - low > (1u << 20)) {
        const std::size_t mid = low + (high - low) / 2;
        if (void* block = ::VirtualAlloc(nullptr, mid, MEM_RESERVE, PAGE_NOACCESS)) {
            ::VirtualFree(block, 0, MEM_RELEASE);
            low = mid;
        } else {
            high = mid;
        }
    }
    return low;
}

// Reserved block after block, largest first, until nothing more is had; then all let go.
Room FreeAddressSpace() {
    Room room;
    std::vector<void*> held;
    for (std::size_t size = LargestReservable(); size >= (1u << 20); size = LargestReservable()) {
        void* block = ::VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
        if (!block) break;
        held.push_back(block);
        room.largest = std::max<unsigned long long>(room.largest, size);
        room.free += size;
    }
    for (void* block : held) ::VirtualFree(block, 0, MEM_RELEASE);
    return room;
}

// The view text a load of `size` bytes reserves: the decoded bytes and a CR LF for lines of 16.
std::size_t TextBlock(std::size_t size) { return size + size / 16 + 64; }

struct Global {
    HGLOBAL memory;
    explicit Global(std::size_t bytes) : memory(::GlobalAlloc(GMEM_MOVEABLE, bytes)) {}
    ~Global() {
        if (memory) ::GlobalFree(memory);
    }
};

const char* Fits(std::size_t mib) {
    const std::size_t size = mib << 20;
    try {
        auto shown = std::make_unique<char[]>(TextBlock(size));
        auto read = std::make_unique<char[]>(TextBlock(size));
        shown.reset();  // the new text replaces the old one
        const Global bytes(size + 1);
        const Global glyphs(2 * size + 2);
        if (!bytes.memory || !glyphs.memory) return "the text fits, a copy of all of it does not";
        return "fits, with a copy of all of it";
    } catch (const std::bad_alloc&) {
        return "two texts do not fit";
    }
}

}  // namespace

int main(int argc, char** argv) {
    const Room room = FreeAddressSpace();
    std::printf("free address space %.0f MiB, largest free block %.0f MiB; the limit is %lld MiB\n",
                static_cast<double>(room.free) / (1 << 20), static_cast<double>(room.largest) / (1 << 20),
                static_cast<long long>(core::kLargestViewableFile >> 20));
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoul(argv[i], nullptr, 10));
    if (sizes.empty()) sizes = {512, 576, 608, 640, 768, 900, 1024};
    for (const std::size_t mib : sizes) std::printf("  %5zu MiB: %s\n", mib, Fits(mib));
    return 0;
}
