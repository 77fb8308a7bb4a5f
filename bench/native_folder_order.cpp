// What a step to the next file costs in core: the step's one pass over a folder's names (the
// viewer's names among them, the next one in natural order and its place), against a full sort, for folders of 1,000 to 100,000 files (scene-like names,
// a third of them other extensions, numbers of every length, mixed case). Best of several rounds.
#include "bench/native_timing.hpp"
#include "core/folder_stepping.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using bench::BestSeconds;

std::vector<std::string> FolderNames(std::size_t count) {
    static const char* const kExtensions[] = {".nfo", ".DIZ", ".txt", ".exe", ".Nfo", ".zip"};
    std::vector<std::string> names;
    names.reserve(count);
    unsigned seed = 12345;
    for (std::size_t i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        names.push_back((seed & 1 ? "Some.Release." : "some.release.") + std::to_string(seed % 100000) + "-GRP" +
                        std::to_string(i % 37) + kExtensions[(seed >> 8) % 6]);
    }
    return names;
}

std::size_t g_sink = 0;

}  // namespace

int main() {
    std::printf("folder files | full natural sort (for comparison) | a step (one pass)\n");
    for (const std::size_t count : {1000u, 10000u, 100000u}) {
        const std::vector<std::string> names = FolderNames(count);
        std::vector<std::string> ordered;
        const double order = BestSeconds(5, [&] { ordered = core::SteppingOrder(names); });
        const std::string from = ordered[ordered.size() / 2];
        const double step = BestSeconds(5, [&] {
            g_sink += core::StepFrom(names, from, core::StepDirection::Next)->place.number;
        });
        std::printf("%12zu | %29.2f ms | %14.2f ms\n", count, order * 1e3, step * 1e3);
    }
    return g_sink == 42 ? 1 : 0;
}
