#pragma once
// The main window's controls as the settings store and the settings dialog see them: the view's
// font and colours, the Wrap button, the two check items and the window's place. The place is
// kept in pixels at 96 dpi, as a program the system stretched used to see it: positions at the
// system's DPI (they span every screen), sizes at the window's.
#include <windows.h>

#include "core/settings_store.hpp"

namespace forms {

class TFrmMain;

class MainSettingsHost final : public core::SettingsHost {
public:
    explicit MainSettingsHost(TFrmMain& frm);

    std::int32_t FontColor() const override;
    void SetFontColor(std::int32_t colour) override;
    std::int32_t BackColor() const override;
    void SetBackColor(std::int32_t colour) override;
    std::string FontName() const override;
    void SetFontName(const std::string& name) override;
    int FontPointSize() const override;
    void SetFontPointSize(int points) override;
    int ChosenPointSize() const override;
    void SetChosenPointSize(int points) override;
    bool WrapDown() const override;
    void PressWrap() override;
    bool CopyOnSelect() const override;
    void CheckCopyOnSelect() override;
    bool StayOnTop() const override;
    void CheckStayOnTop() override;
    core::WindowBounds SavedBounds() const override;
    void SetLeft(int left) override;
    void SetTop(int top) override;
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    core::Size OuterSize() const override;
    core::Size ScreenSize() const override;
    void ShowMessage(const std::string& text) override;

private:
    RECT WindowRect() const;
    void MoveTo(int left, int top) const;
    void SizeTo(int width, int height) const;

    TFrmMain& frm_;
};

}  // namespace forms
