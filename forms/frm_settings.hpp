#pragma once
// The settings dialog: made once at start-up from its template, hidden between showings (its
// controls keep their states), shown modally by the Settings button, which fills and reads it.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/file_associations.hpp"
#include "platform/modal_dialog.hpp"
#include "platform/prompts.hpp"

namespace forms {

class TFrmSettings final : private platform::DialogEvents {
public:
    static constexpr int kDesignedClientWidth = 308;
    static constexpr int kDesignedClientHeight = 221;

    // An error inside the dialog is shown in the error box through prompts.
    TFrmSettings(HWND owner, platform::Prompts& prompts);
    TFrmSettings(const TFrmSettings&) = delete;
    TFrmSettings& operator=(const TFrmSettings&) = delete;
    ~TFrmSettings() override = default;

    HWND Handle() const { return dialog_.Handle(); }
    HWND Control(int id) const { return dialog_.Control(id); }
    bool Showing() const { return dialog_.Showing(); }

    // Filling: a face that no item holds keeps the list's previous selection; a size (a zoomed
    // one) or a colour that no entry holds leaves its list without one.
    void SelectFontName(const std::string& name);
    void SelectPointSize(int points);
    void SelectColours(std::int32_t text, std::int32_t back);
    // Ticks the boxes of the associated extensions; never unticks one.
    void TickAssociated(const core::ExtensionFlags& associated);

    // Runs the dialog, the first time centred over its owner; true when it was closed with OK.
    bool ShowModal();

    // What OK chose; nullopt where a list has no selection.
    std::optional<std::string> ChosenFontName() const;
    std::optional<int> ChosenPointSize() const;
    std::optional<std::int32_t> ChosenTextColour() const;
    std::optional<std::int32_t> ChosenBackColour() const;
    core::ExtensionFlags Ticked() const;

private:
    INT_PTR DialogMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void FillLists();
    void PlaceControls();
    void DrawColourEntry(const DRAWITEMSTRUCT& item) const;
    std::optional<std::string> SelectedText(int id) const;
    std::optional<std::int32_t> SelectedColour(int id) const;

    platform::ModalDialog dialog_;
};

}  // namespace forms
