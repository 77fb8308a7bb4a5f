#pragma once
// Save as Picture and Copy as Picture: the whole text (every display line, wrap as shown) as a PNG
// or SVG file, and the selected lines (or all) as a picture on the clipboard. Ctrl+E's bitmap
// export is left as it is; these follow its rules for the shown file, the overwrite question and
// the busy state.
#include <string>
#include <vector>

namespace forms {

class TFrmMain;
class FileOpening;

class PictureSaving {
public:
    PictureSaving(TFrmMain& frm, const FileOpening& opening) : frm_(frm), opening_(opening) {}

    void SaveAsPicture();
    void CopyAsPicture();

private:
    // Copies of display lines [first, last): the save lets messages run, and nothing the user
    // does meanwhile (wrap, a resize) may change the picture half way.
    std::vector<std::string> ReadLines(int first, int last) const;
    // Bytes of the longest of display lines [first, last), read in place; at least 1.
    std::size_t LongestLine(int first, int last) const;
    bool ConfirmTarget(const std::string& target);

    TFrmMain& frm_;
    const FileOpening& opening_;
};

}  // namespace forms
