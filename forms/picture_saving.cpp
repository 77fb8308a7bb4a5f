#include "forms/picture_saving.hpp"

#include <algorithm>
#include <climits>

#include "core/export_geometry.hpp"
#include "core/picture_rules.hpp"
#include "forms/file_opening.hpp"
#include "forms/frm_main.hpp"
#include "platform/clipboard.hpp"
#include "platform/export_bitmap.hpp"
#include "platform/files.hpp"
#include "platform/picture_dialog.hpp"
#include "platform/picture_file.hpp"
#include "platform/unicode.hpp"

namespace forms {
namespace {

constexpr char kCopyFailedText[] = "Cannot copy the picture: the clipboard is in use by another program.";

}  // namespace

std::vector<std::string> PictureSaving::ReadLines(int first, int last) const {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(std::max(0, last - first)));
    for (int index = first; index < last; ++index) lines.emplace_back(frm_.Memo().Line(index));
    return lines;
}

std::size_t PictureSaving::LongestLine(int first, int last) const {
    std::size_t longest = 1;  // an empty text still makes one cell
    for (int index = first; index < last; ++index) longest = std::max(longest, frm_.Memo().Line(index).size());
    return longest;
}

bool PictureSaving::ConfirmTarget(const std::string& target) {
    // Writing over the shown file would replace the text with its own picture.
    if (platform::SameFile(opening_.ShownFullPath(), target)) {
        frm_.Boxes().Warn(core::ExportOverShownFileText(target));
        return false;
    }
    // No is the default: a stray Enter keeps the file.
    return !platform::ExportTargetExists(platform::Widen(target)) ||
           frm_.Boxes().Show(core::kExportOverwriteText, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

void PictureSaving::SaveAsPicture() {
    BusyState& busy = frm_.Busy();
    BusyState::NestedLoopScope running(busy);  // prompts and the drawing pump: a close waits for the end
    BusyState::FlagScope flag(busy, BusyState::Task::Exporting);
    const std::string shownPath = frm_.StatusText(0);
    if (shownPath.empty()) return frm_.Boxes().Warn(core::kExportNoFileText);
    platform::PictureRequest request;
    const auto choice = platform::AskPictureFile(frm_.Boxes().Prompts(), frm_.Handle(),
                                                 core::DefaultPictureName(shownPath), request);
    if (!choice) return;
    // Whole multiples the dialog offers, whatever its controls were left holding.
    request.options.scale = std::clamp(request.options.scale, 1, core::kPictureMaxScale);
    const core::PictureTarget target = core::ChoosePictureTarget(platform::Narrow(choice->path), choice->filterIndex);
    const platform::PictureStyle style = platform::PictureStyleOf(frm_.Memo());
    // Refused before anything is written or any line copied; the lines are counted exactly now,
    // a large wrapped text laid out to its end.
    const int displayLines = frm_.Memo().LineCount();
    const int count = core::ExportLineCount(displayLines, displayLines > 0 ? frm_.Memo().Line(displayLines - 1) : "");
    const core::CellSize cell = platform::MeasurePicture(style).cell;
    if (auto refusal = core::PictureSizeRefusal(core::ScaledPictureExtent(cell, 1, count, request.options.scale)))
        return frm_.Boxes().Warn(*refusal);
    if (auto refusal = core::PictureSizeRefusal(
            core::ScaledPictureExtent(cell, LongestLine(0, count), count, request.options.scale)))
        return frm_.Boxes().Warn(*refusal);
    const std::vector<std::string> lines = ReadLines(0, count);
    if (!ConfirmTarget(target.path)) return;
    // Esc while it draws stops it: the target is left as it was.
    const auto progress = [this, &busy] {
        frm_.ProcessPendingMessages();
        return !busy.CancelRequested();
    };
    const std::wstring path = platform::Widen(target.path);
    if (target.format == core::PictureFormat::Svg)
        platform::SaveSvgPicture(path, lines, style, request.options, progress);
    else
        platform::SavePngPicture(path, lines, style, request.options, progress);
}

void PictureSaving::CopyAsPicture() {
    platform::TextView& view = frm_.Memo();
    const int displayLines = view.LineCount();
    const int count = core::ExportLineCount(displayLines, displayLines > 0 ? view.Line(displayLines - 1) : "");
    if (count == 0) return static_cast<void>(::MessageBeep(MB_OK));  // nothing to draw
    int first = 0, last = count;
    const platform::Selection selection = view.GetSelection();
    if (selection.end > selection.start) {
        auto lineOf = [&view](std::size_t offset) {
            return static_cast<int>(::SendMessageW(view.Handle(), EM_LINEFROMCHAR, offset, 0));
        };
        first = lineOf(selection.start);
        // A selection that ends just after a line break holds none of the next line.
        last = std::min(count, lineOf(selection.end - 1) + 1);
        last = std::max(last, first + 1);
    }
    const platform::PictureStyle style = platform::PictureStyleOf(view);
    const core::CellSize cell = platform::MeasurePicture(style).cell;
    if (auto refusal = core::ClipboardPictureRefusal(core::ScaledPictureExtent(cell, 1, last - first, 1)))
        return frm_.Boxes().Warn(*refusal);
    if (auto refusal =
            core::ClipboardPictureRefusal(core::ScaledPictureExtent(cell, LongestLine(first, last), last - first, 1)))
        return frm_.Boxes().Warn(*refusal);
    const std::vector<std::string> lines = ReadLines(first, last);
    if (!platform::CopyPictureToClipboard(frm_.Handle(), platform::MakeClipboardPicture(lines, style)))
        frm_.Boxes().Warn(kCopyFailedText);
}

}  // namespace forms
