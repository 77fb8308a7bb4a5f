// What looking for links adds to painting: the links of every row of a page (40 rows of 100
// cells), page after page down a 64 MiB text, as the painter asks for them; and the link under the
// mouse, as a move over the view asks for it (with the row lay-out it needs). Three texts: the synthetic NFO (art, boxes, prose),
// one with two addresses on every line, and one line of 64 MiB printable bytes with no blank (the
// worst case: every look-up reads the most it may). Best of several rounds.
#include "bench/native_timing.hpp"
#include "bench/synthetic_nfo.hpp"
#include "core/view_links.hpp"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMiB = 1u << 20;
constexpr std::size_t kPageRows = 40;
constexpr int kPages = 1000;
constexpr core::CellWindow kWindow{0, 100};

using bench::BestSeconds;

std::size_t g_sink = 0;

std::string LinkDense(std::size_t size) {
    std::string data;
    data.reserve(size + 128);
    for (std::size_t row = 0; data.size() < size; ++row)
        data += "\xBA  Visit www.example" + std::to_string(row % 97) + ".org or mail group@example.net now.  \xBA\r\n";
    data.resize(size);
    return data;
}

void Measure(const char* name, const std::string& text, long long scrolledCells) {
    core::LineIndex index;
    index.Build(text);
    core::RowLayout rows;
    rows.Reset(index, core::WrapWidth{});
    const std::size_t step = std::max<std::size_t>(1, rows.Count() / kPages);
    const core::CellWindow window{kWindow.first + scrolledCells, kWindow.last + scrolledCells};
    // The rows of the pages, laid out beforehand: only the look-ups are timed.
    std::vector<core::Row> shown;
    for (int page = 0; page < kPages; ++page) {
        const std::size_t top = std::min(rows.Count() - 1, static_cast<std::size_t>(page) * step);
        core::Row row = rows.At(top);
        for (std::size_t r = 0; r < kPageRows; ++r) {
            shown.push_back(row);
            if (top + r + 1 >= rows.Count()) break;
            row = rows.Next(row);
        }
    }
    core::RowLinks links;
    const double paging = BestSeconds(3, [&] {
        for (const core::Row& row : shown) g_sink += links.Of(index.Text(), row, index.HasTabs(), window).size();
    });
    const core::CellGrid grid{8, 16, 3};
    const double hovering = BestSeconds(3, [&] {
        for (int move = 0; move < kPages; ++move) {
            const core::Scroll scroll{static_cast<std::size_t>(move) * step % rows.Count(), scrolledCells * grid.cell};
            const core::Pixel at{grid.margin + (move % 80) * grid.cell + 2, (move % static_cast<int>(kPageRows)) * grid.line + 3};
            g_sink += core::LinkUnder(rows, grid, scroll, at).has_value();
        }
    });
    std::printf("%-38s %7.2f us a row, %7.1f us a page of %zu   %6.2f us a mouse move\n", name,
                paging * 1e6 / static_cast<double>(shown.size()),
                paging * 1e6 / static_cast<double>(shown.size()) * kPageRows, kPageRows, hovering * 1e6 / kPages);
}

}  // namespace

int main() {
    std::printf("Links looked for while painting and under the mouse (64 MiB texts):\n");
    Measure("synthetic NFO", bench::MakeNfo(64 * kMiB), 0);
    Measure("two addresses on every line", LinkDense(64 * kMiB), 0);
    Measure("one 64 MiB line, no blank, far along", std::string(64 * kMiB, 'x'), 32 * static_cast<long long>(kMiB));
    std::printf("(%zu)\n", g_sink % 10);
    return 0;
}
